// griddemo: the data-aware grid over a scratch list of a few hundred
// documents, set up as the document windows set it.
// Usage: griddemo [--mode buffer|memory|partial] [--grouped [--open dropdown|dialog]] [--shot FILE]
//   --mode     how the grid gets its rows (default buffer: the record buffer)
//   --grouped  grouped by each name's topic and kind, with summaries and
//              header filter buttons (grouping loads every record)
//   --open     opens the leader column's filter drop-down by a click on its
//              header button, or the custom filter dialog through the
//              drop-down's "(Custom...)"
//   --shot     selects three record rows by clicks, saves the form with what
//              --open opened over it as a PNG and exits
#include "dbgrid/CustomFilterDialog.h"
#include "dbgrid/DBGrid.h"
#include "dbgrid/FilterPopupListBox.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tools/griddemo/GridDemoForm.h"
#include "treelist/cvTL.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What --open opens once the form shows.
enum class TOpenPopup { None, DropDown, Dialog };

int Usage() {
    std::fprintf(stderr, "usage: griddemo [--mode buffer|memory|partial] [--grouped [--open dropdown|dialog]]"
                         " [--shot FILE]\n");
    return 2;
}

template <typename T, size_t N>
bool ParseChoice(const char* Text, const std::pair<const char*, T> (&Choices)[N], T& Choice) {
    for (const auto& [name, value] : Choices)
        if (std::strcmp(Text, name) == 0) {
            Choice = value;
            return true;
        }
    return false;
}

const std::pair<const char*, TGridDemoMode> Modes[] = {
    {"buffer", TGridDemoMode::Buffer}, {"memory", TGridDemoMode::Memory}, {"partial", TGridDemoMode::Partial}};
const std::pair<const char*, TOpenPopup> Popups[] = {{"dropdown", TOpenPopup::DropDown},
                                                     {"dialog", TOpenPopup::Dialog}};

// A left click at a client point of the grid, with Keys held; the pointer
// moves there first, as the header's filter button must be hot to be pressed.
void Click(TcvDBGrid* Grid, TPoint Client, WPARAM Keys) {
    const TPoint screen = Grid->ClientToScreen(Client);
    TRect window;
    GetWindowRect(Grid->Handle(), window);
    const TPoint point = {screen.X - window.Left, screen.Y - window.Top};
    using platform_ui::test::SendQtMouse;
    using platform_ui::test::TMouseEventKind;
    SendQtMouse(Grid->Handle(), TMouseEventKind::Move, point, 0, Keys);
    Application->ProcessMessages();
    SendQtMouse(Grid->Handle(), TMouseEventKind::Press, point, MK_LBUTTON, Keys | MK_LBUTTON);
    SendQtMouse(Grid->Handle(), TMouseEventKind::Release, point, MK_LBUTTON, Keys);
    Application->ProcessMessages();
}

// A click on the first shown cell of the Index-th row in view that holds a
// record (group rows cannot be selected).
void ClickRecordRow(TcvDBGrid* Grid, int Index, WPARAM Keys) {
    for (int row = 0; row < Grid->GetVisibleRowCount(); ++row) {
        TcvTreeListNode* node = Grid->GetRowNode(row);
        if (Grid->IsGroupNode(node) || Index-- > 0) continue;
        const TRect cell = Grid->GetCellRect(node, 0);
        Click(Grid, {(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2}, Keys);
        return;
    }
}

// A click on the filter button at the right of the column's header.
void ClickFilterButton(TcvDBGrid* Grid, int Column) {
    for (const TcvTreeListHeaderCellInfo& cell : Grid->CalcDrawInfo().HeaderCells)
        if (cell.Column == Column)
            Click(Grid,
                  {cell.Bounds.Right - 1 - cvTL::FilterButtonWidth / 2, (cell.Bounds.Top + cell.Bounds.Bottom) / 2}, 0);
}

void Type(TWinControl* Control, Word Key, const std::string& Text) {
    platform_ui::test::SendQtKey(Control->Handle(), Key, 0, Text);
    Application->ProcessMessages();
}

// The desktop decorates forms, and a form's picture holds its client alone:
// the shot draws a plain frame and title bar in their place.
constexpr int FrameWidth = 3;

TRect DecoratedPlace(TWinControl* Window) {
    TRect place;
    GetWindowRect(Window->Handle(), place);
    if (!dynamic_cast<TCustomForm*>(Window)) return place;
    return {place.Left - FrameWidth, place.Top - FrameWidth - GetSystemMetrics(SM_CYCAPTION), place.Right + FrameWidth,
            place.Bottom + FrameWidth};
}

void DrawDecoration(TCanvas* Canvas, TWinControl* Window, TRect Place) {
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Place);
    DrawEdge(Canvas->Handle(), &Place, EDGE_RAISED, BF_RECT);
    const TRect title = {Place.Left + FrameWidth, Place.Top + FrameWidth, Place.Right - FrameWidth,
                         Place.Top + FrameWidth + GetSystemMetrics(SM_CYCAPTION) - 1};
    Canvas->Brush()->SetColor(clActiveCaption);
    Canvas->FillRect(title);
    Canvas->Font()->Assign(Window->Font());
    Canvas->Font()->SetStyle({fsBold});
    Canvas->Font()->SetColor(clCaptionText);
    Canvas->TextRect(title, title.Left + 4, title.Top + (title.Height() - Canvas->TextHeight(Window->Caption())) / 2,
                     Window->Caption());
}

// The windows as the screen shows them, each at its place, over a picture
// that spans them all: the drop-down and the dialog are windows of their own,
// which a picture of the form alone leaves out. Scratch holds the pieces.
bool SaveShot(const std::vector<TWinControl*>& Windows, const fs::path& Scratch, const std::string& FileName) {
    TRect all = DecoratedPlace(Windows.front());
    for (TWinControl* window : Windows)
        UnionRect(all, all, DecoratedPlace(window));
    try {
        TBitmap picture;
        picture.SetSize(all.Width(), all.Height());
        TCanvas* canvas = picture.Canvas();
        canvas->Brush()->SetColor(clAppWorkSpace);
        canvas->FillRect({0, 0, all.Width(), all.Height()});
        const std::string piece = (Scratch / "piece.png").string();
        for (TWinControl* window : Windows) {
            TRect place;
            GetWindowRect(window->Handle(), place);
            OffsetRect(place, -all.Left, -all.Top);
            if (dynamic_cast<TCustomForm*>(window)) {
                TRect decorated = DecoratedPlace(window);
                OffsetRect(decorated, -all.Left, -all.Top);
                DrawDecoration(canvas, window, decorated);
            }
            if (!window->SaveImage(piece)) return false;
            TPngImage image;
            image.LoadFromFile(piece);
            canvas->Draw(place.Left, place.Top, &image);
        }
        TPngImage shot;
        shot.Assign(&picture);
        shot.SaveToFile(FileName);
        return true;
    } catch (const Exception& e) {
        std::fprintf(stderr, "griddemo: %s\n", e.Message().c_str());
        return false;
    }
}

// Opens what --open asks for as a user would: a click on the filter button of
// the leader column's header, then for the dialog "(Custom...)", the item
// after "(All)", chosen by keys. The dialog is modal: this returns once it
// has been closed.
void OpenPopup(TcvDBGrid* Grid, TOpenPopup Open) {
    if (Open == TOpenPopup::None) return;
    ClickFilterButton(Grid, Grid->ColumnByFieldName("FZR")->GetIndex());
    if (Open == TOpenPopup::DropDown || !Grid->IsFilterDropDownOpen()) return;
    Type(Grid, VK_DOWN, "");
    Type(Grid, VK_RETURN, "\r");
}

// Opens the popup and saves the shot with it shown; the custom dialog is shot
// by a timer that fires in its modal loop, then cancelled.
bool ShootPopup(TfrmGridDemo* Form, TOpenPopup Open, const fs::path& Scratch, const std::string& FileName) {
    TcvDBGrid* grid = Form->grdDocuments;
    if (Open == TOpenPopup::DropDown) {
        OpenPopup(grid, Open);
        if (!grid->IsFilterDropDownOpen()) {
            std::fprintf(stderr, "griddemo: the filter drop-down did not open\n");
            return false;
        }
        const bool saved = SaveShot({Form, grid->FilterPopup()}, Scratch, FileName);
        Type(grid, VK_ESCAPE, "\x1b");
        return saved;
    }
    bool shown = false, saved = false;
    TTimer timer(nullptr);
    timer.SetInterval(300);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* dialog = dynamic_cast<TfmCustomDialog*>(Screen->Forms(i))) {
                shown = true;
                saved = SaveShot({Form, dialog}, Scratch, FileName);
                dialog->SetModalResult(mrCancel);
            }
    };
    OpenPopup(grid, Open);
    if (!shown) std::fprintf(stderr, "griddemo: the custom filter dialog did not open\n");
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    TGridDemoMode mode = TGridDemoMode::Buffer;
    TOpenPopup open = TOpenPopup::None;
    std::string shot;
    bool grouped = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc) {
            if (!ParseChoice(argv[++i], Modes, mode)) return Usage();
        } else if (std::strcmp(argv[i], "--grouped") == 0) {
            grouped = true;
        } else if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc) {
            if (!ParseChoice(argv[++i], Popups, open)) return Usage();
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = fs::absolute(argv[++i]).string();
        } else {
            return Usage();
        }
    }
    // Only the grouped grid shows filter buttons.
    if (open != TOpenPopup::None && !grouped) return Usage();
    std::string pattern = (fs::temp_directory_path() / "griddemo-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());

    Application->SetTitle("数据表格演示");
    TfrmGridDemo* frmGridDemo = nullptr;
    Application->CreateForm(frmGridDemo);
    frmGridDemo->OpenDocuments((folder / "documents.mdb").string(), mode);
    if (grouped) frmGridDemo->GroupByTopicAndKind();
    TcvDBGrid* grid = frmGridDemo->grdDocuments;
    int result = 0;
    frmGridDemo->Show();
    Application->ProcessMessages();
    if (shot.empty()) {
        OpenPopup(grid, open);
        Application->Run();
    } else {
        for (int row : {1, 3, 4})
            ClickRecordRow(grid, row, row == 1 ? 0 : MK_CONTROL);
        const bool saved = open == TOpenPopup::None ? SaveShot({frmGridDemo}, folder, shot)
                                                    : ShootPopup(frmGridDemo, open, folder, shot);
        if (!saved) {
            std::fprintf(stderr, "griddemo: cannot write %s\n", shot.c_str());
            result = 1;
        }
        // The export moves the dataset, so it runs once the picture is taken.
        std::printf("selected: %s\n", frmGridDemo->SelectedKeys().c_str());
    }
    fs::remove_all(folder);
    return result;
}

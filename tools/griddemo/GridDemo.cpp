// griddemo: the data-aware grid over a scratch list of a few hundred
// documents, set up as the document windows set it.
// Usage: griddemo [--mode buffer|memory|partial] [--grouped] [--shot FILE]
//   --mode     how the grid gets its rows (default buffer: the record buffer)
//   --grouped  grouped by each name's topic and kind, with summaries
//   --shot     selects three rows by clicks, saves the form as a PNG and exits
#include "dbgrid/DBGrid.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tools/griddemo/GridDemoForm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: griddemo [--mode buffer|memory|partial] [--grouped] [--shot FILE]\n");
    return 2;
}

bool ParseMode(const char* Text, TGridDemoMode& Mode) {
    const struct {
        const char* Name;
        TGridDemoMode Mode;
    } modes[] = {{"buffer", TGridDemoMode::Buffer}, {"memory", TGridDemoMode::Memory}, {"partial", TGridDemoMode::Partial}};
    for (const auto& mode : modes)
        if (std::strcmp(Text, mode.Name) == 0) {
            Mode = mode.Mode;
            return true;
        }
    return false;
}

// A left click on the first shown cell of a row, with Keys held.
void ClickRow(TcvDBGrid* Grid, int Row, WPARAM Keys) {
    const TRect cell = Grid->GetCellRect(Grid->GetRowNode(Row), 0);
    const TPoint origin = Grid->ClientToScreen({0, 0});
    TRect window;
    GetWindowRect(Grid->Handle(), window);
    const TPoint point = {(cell.Left + cell.Right) / 2 + origin.X - window.Left,
                          (cell.Top + cell.Bottom) / 2 + origin.Y - window.Top};
    using platform_ui::test::TMouseEventKind;
    platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Press, point, MK_LBUTTON, Keys | MK_LBUTTON);
    platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Release, point, MK_LBUTTON, Keys);
    Application->ProcessMessages();
}

} // namespace

int main(int argc, char** argv) {
    TGridDemoMode mode = TGridDemoMode::Buffer;
    std::string shot;
    bool grouped = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc) {
            if (!ParseMode(argv[++i], mode)) return Usage();
        } else if (std::strcmp(argv[i], "--grouped") == 0) {
            grouped = true;
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = fs::absolute(argv[++i]).string();
        } else {
            return Usage();
        }
    }
    std::string pattern = (fs::temp_directory_path() / "griddemo-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());

    Application->SetTitle("数据表格演示");
    TfrmGridDemo* frmGridDemo = nullptr;
    Application->CreateForm(frmGridDemo);
    frmGridDemo->OpenDocuments((folder / "documents.mdb").string(), mode);
    if (grouped) frmGridDemo->GroupByTopicAndKind();
    int result = 0;
    if (shot.empty()) {
        Application->Run();
    } else {
        frmGridDemo->Show();
        Application->ProcessMessages();
        for (int row : {1, 3, 4})
            ClickRow(frmGridDemo->grdDocuments, row, row == 1 ? 0 : MK_CONTROL);
        if (!frmGridDemo->SaveImage(shot)) {
            std::fprintf(stderr, "griddemo: cannot write %s\n", shot.c_str());
            result = 1;
        }
        // The export moves the dataset, so it runs once the picture is taken.
        std::printf("selected: %s\n", frmGridDemo->SelectedKeys().c_str());
    }
    fs::remove_all(folder);
    return result;
}

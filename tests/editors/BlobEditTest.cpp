// The blob editor in place: its memo popup accepting with OK and dropping
// the edit with Cancel, sized by its grip down to its smallest size (the size
// kept for the next drop-down), a whole Chinese selection, and the picture
// kind round trip; the kinds a column resolves and the cell's icons.
#include "editors/BlobEdit.h"
#include "editors/ExEdtr.h"
#include "editors/PictureValue.h"
#include "platform/data/ADODB.h"
#include "platform/data/DB.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/editors/EditorTestHost.h"
#include "tests/support/ScratchQuery.h"

#include <map>
#include <memory>

namespace {

using namespace editortest;
using platform_ui::test::PostQtMouse;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

class BlobEditTest : public ::testing::Test {
public:
    void SetUp() override { Edit = static_cast<TcvInplaceBlobEdit*>(Hosted.Editor); }
    TCustomcvBlobPopup* Open(const std::string& Value) {
        Hosted.Open(Value);
        Edit->DropDown();
        ProcessMessages();
        return Edit->BlobPopup();
    }
    void ClickButton(TCustomcvBlobPopup* Popup, int Button) {
        const TRect b = Popup->ButtonRect(Button);
        const TPoint at{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
        SendQtMouse(Popup->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
        SendQtMouse(Popup->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
        ProcessMessages();
    }
    // Right-clicks the popup; answers each item's enabling, and clicks the item Choose.
    std::map<std::string, bool> ContextMenu(TCustomcvBlobPopup* Popup, const std::string& Choose = "") {
        std::map<std::string, bool> enabled;
        const TMenuTracker previous = SetMenuTracker([&](TMenuItem* parent, TPoint) -> TMenuItem* {
            TMenuItem* chosen = nullptr;
            for (int i = 0; i < parent->Count(); ++i) {
                TMenuItem* item = parent->Items(i);
                if (item->IsLine()) continue;
                enabled[item->Caption()] = item->Enabled();
                if (item->Caption() == Choose) chosen = item;
            }
            return chosen;
        });
        SendQtMouse(Popup->Handle(), TMouseEventKind::Press, {10, 10}, MK_RBUTTON, MK_RBUTTON);
        SendQtMouse(Popup->Handle(), TMouseEventKind::Release, {10, 10}, MK_RBUTTON, 0);
        ProcessMessages();
        SetMenuTracker(previous);
        return enabled;
    }
    TCustomcvBlobPopup* OpenPicture(const std::string& Blob) {
        Edit->SetBlobKind(bkvPicture);
        return Open(Blob);
    }
    cvExEdtr::TUnitScope Unit;
    HostedEditor Hosted{TcvInplaceBlobEdit::StaticClass()};
    TcvInplaceBlobEdit* Edit = nullptr;
};

TEST_F(BlobEditTest, OKTakesTheMemoOverAndCancelDropsIt) {
    const struct {
        const char* What;
        std::function<void(BlobEditTest&, TCustomcvBlobPopup*)> Close;
        bool Taken;
    } cases[] = {
        {"OK", [](BlobEditTest& t, TCustomcvBlobPopup* p) { t.ClickButton(p, bpbOK); }, true},
        {"Cancel", [](BlobEditTest& t, TCustomcvBlobPopup* p) { t.ClickButton(p, bpbCancel); }, false},
        {"Escape", [](BlobEditTest&, TCustomcvBlobPopup* p) { uitest::Type(p, VK_ESCAPE); }, false},
        {"Ctrl+Enter",
         [](BlobEditTest& t, TCustomcvBlobPopup* p) {
             uitest::Type(p, VK_RETURN, "", MK_CONTROL);
             uitest::Type(t.Edit, VK_CONTROL); // let go of Ctrl, or the next test types with it held
         },
         true},
    };
    for (const auto& c : cases) {
        TCustomcvBlobPopup* popup = Open("旧");
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(IsWindowVisible(popup->Handle())) << c.What;
        EXPECT_EQ(GetFocus(), popup->Handle()) << c.What;
        EXPECT_FALSE(popup->OKEnabled()) << c.What << ": OK waits for a change";
        EXPECT_EQ(popup->Text(), "旧");
        SendMessage(popup->Handle(), EM_SETSEL, 1, 1);
        platform_ui::test::SendQtInputMethodCommit(popup->Handle(), "文本");
        ProcessMessages();
        EXPECT_TRUE(popup->OKEnabled()) << c.What;
        c.Close(*this, popup);
        EXPECT_FALSE(IsWindowVisible(popup->Handle())) << c.What;
        EXPECT_EQ(Edit->BlobValue(), c.Taken ? "旧文本" : "旧") << c.What;
        EXPECT_EQ(Edit->GetModified(), c.Taken) << c.What;
    }
}

TEST_F(BlobEditTest, AcceleratorsAndTabCloseThePopup) {
    Edit->SetMemoWantTabs(false);
    const struct {
        const char* What;
        Word Key;
        WPARAM Keys;
        bool ReadOnly, Taken;
        const char* RowMove;
    } cases[] = {
        {"Alt+O", 'O', MK_ALT, false, true, ""},
        {"Alt+C cancels", 'C', MK_ALT, false, false, ""},
        {"Alt+C closes", 'C', MK_ALT, true, false, ""},
        {"Tab", VK_TAB, 0, false, true, "down"},
        {"Shift+Tab", VK_TAB, MK_SHIFT, false, true, "up"},
    };
    for (const auto& c : cases) {
        Hosted.Host->Modifiable = !c.ReadOnly;
        Hosted.Host->RowMoves.clear();
        TCustomcvBlobPopup* popup = Open("旧");
        if (!c.ReadOnly) {
            SendMessage(popup->Handle(), EM_SETSEL, 1, 1);
            platform_ui::test::SendQtInputMethodCommit(popup->Handle(), "新");
            ProcessMessages();
        }
        uitest::Type(popup, c.Key, c.Key == VK_TAB ? "\t" : "", c.Keys);
        EXPECT_FALSE(IsWindowVisible(popup->Handle())) << c.What;
        EXPECT_EQ(Edit->BlobValue(), c.Taken ? "旧新" : "旧") << c.What;
        EXPECT_EQ(Hosted.Host->RowMoves, std::vector<std::string>(*c.RowMove ? 1 : 0, c.RowMove)) << c.What;
    }
}

TEST_F(BlobEditTest, TheGripSizesThePopupDownToItsMinimumAndTheSizeIsKept) {
    int told = 0;
    Edit->OnPopupSize = [&](TObject*) { ++told; };
    TCustomcvBlobPopup* popup = Open("text");
    ASSERT_EQ(popup->GripCorner(), 3) << "opened right and below";
    TRect before;
    GetWindowRect(popup->Handle(), before);
    EXPECT_EQ(before.Width(), 200);
    EXPECT_EQ(before.Height(), 140);
    const TSize minimum = popup->MinimumSize();
    const TPoint grip{before.Width() - 3, before.Height() - 3};
    const TPoint release{grip.X - 400, grip.Y - 400};
    PostQtMouse(popup->Handle(), TMouseEventKind::Move, release, 0, MK_LBUTTON);
    PostQtMouse(popup->Handle(), TMouseEventKind::Release, release, MK_LBUTTON, 0);
    SendQtMouse(popup->Handle(), TMouseEventKind::Press, grip, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    TRect after;
    GetWindowRect(popup->Handle(), after);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_EQ(after.Width(), minimum.cx);
    EXPECT_EQ(after.Height(), minimum.cy);
    EXPECT_GT(minimum.cx, 0);
    EXPECT_TRUE(IsWindowVisible(popup->Handle())) << "sizing closes nothing";

    uitest::Type(popup, VK_ESCAPE);
    EXPECT_EQ(Edit->PopupWidth(), minimum.cx);
    EXPECT_EQ(Edit->PopupHeight(), minimum.cy);
    EXPECT_EQ(told, 1);
    Open("text");
    GetWindowRect(popup->Handle(), after);
    EXPECT_EQ(after.Width(), minimum.cx) << "the next drop-down keeps the size";
}

TEST_F(BlobEditTest, AReadOnlyPopupOffersCloseAloneAndTakesNothing) {
    Hosted.Host->Modifiable = false;
    TCustomcvBlobPopup* popup = Open("只读");
    EXPECT_EQ(popup->Buttons(), TcvBlobPopupButtons{bpbClose});
    EXPECT_TRUE(IsRectEmpty(popup->ButtonRect(bpbOK)));
    ClickButton(popup, bpbClose);
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(Edit->BlobValue(), "只读");
}

TEST_F(BlobEditTest, TheSelectedTextComesBackWholeHoweverLong) {
    TCustomcvBlobPopup* popup = Open("");
    std::string chinese;
    for (int i = 0; i < 300; ++i)
        chinese += "汉字";
    popup->SetText(chinese);
    popup->SetSelStart(0);
    popup->SetSelLength(600);
    EXPECT_EQ(popup->GetSelLength(), 600);
    EXPECT_EQ(popup->GetSelText(), chinese);
    popup->SetSelStart(2);
    popup->SetSelLength(3);
    EXPECT_EQ(popup->GetSelText(), "汉字汉");
}

TEST_F(BlobEditTest, APictureBlobLoadsIntoThePopupAndOKSavesIt) {
    Edit->SetBlobKind(bkvPicture);
    auto red = uitest::Filled(6, 4, clRed);
    TPicture picture;
    picture.SetGraphic(red.get());
    std::string blob;
    cvExEdtr::SavePictureToString(&picture, blob);
    TCustomcvBlobPopup* popup = Open(blob);
    EXPECT_EQ(popup->Picture()->Width(), 6);
    auto green = uitest::Filled(3, 2, clLime);
    popup->Picture()->SetGraphic(green.get());
    EXPECT_TRUE(popup->OKEnabled());
    ClickButton(popup, bpbOK);
    TPicture back;
    cvExEdtr::LoadPictureFromValue(&back, {}, Edit->BlobValue());
    EXPECT_EQ(back.Width(), 3);
    EXPECT_EQ(Edit->GetEditValue().AsString(), Edit->BlobValue());
}

TEST_F(BlobEditTest, TheEditorsTransparencyDecidesWhetherThePictureShowsThrough) {
    Edit->SetBlobKind(bkvPicture);
    Edit->SetColor(clYellow);
    auto red = uitest::Filled(6, 4, clRed);
    red->Canvas()->SetPixels(0, 3, clLime); // the corner that names the transparent colour
    TPicture picture;
    picture.SetGraphic(red.get());
    std::string blob;
    cvExEdtr::SavePictureToString(&picture, blob);
    const struct {
        Byte Transparency;
        bool Transparent;
        unsigned Corner; // as rendered, 0xRRGGBB
    } cases[] = {{2, true, 0xFFFF00u}, {1, false, 0x00FF00u}};
    for (const auto& c : cases) {
        Edit->SetPictureTransparency(c.Transparency);
        TCustomcvBlobPopup* popup = Open(blob);
        EXPECT_EQ(popup->Picture()->Graphic()->Transparent(), c.Transparent) << int(c.Transparency);
        EXPECT_FALSE(popup->OKEnabled()) << "the transparency is no change of the picture";
        const HWND wnd = popup->Handle();
        UpdateWindow(wnd);
        TPoint corner = popup->ClientToScreen({1, popup->ClientHeight() - 2});
        cvExEdtr::ScreenToWindow(wnd, corner);
        EXPECT_EQ(platform_ui::test::RenderedPixel(wnd, corner.X, corner.Y), c.Corner)
            << int(c.Transparency);
        uitest::Type(popup, VK_ESCAPE);
    }
}

TEST_F(BlobEditTest, APictureLargerThanThePopupScrollsUnlessItIsScaled) {
    Edit->SetBlobKind(bkvPicture);
    Edit->SetPictureAutoSize(false);
    auto big = uitest::Filled(400, 300, clRed);
    big->Canvas()->SetPixels(399, 299, clBlue);
    TPicture picture;
    picture.SetGraphic(big.get());
    std::string blob;
    cvExEdtr::SavePictureToString(&picture, blob);
    TCustomcvBlobPopup* popup = Open(blob);
    const HWND wnd = popup->Handle();
    ASSERT_TRUE(GetWindowLong(wnd, GWL_STYLE) & WS_HSCROLL) << "wider than the popup";
    ASSERT_TRUE(GetWindowLong(wnd, GWL_STYLE) & WS_VSCROLL) << "higher than the popup";
    const int width = popup->ClientWidth(), height = popup->ClientHeight();
    const int line = GetSystemMetrics(SM_CXHSCROLL);
    const struct {
        UINT Msg;
        int Code;
        int Horz, Vert;
    } steps[] = {
        {WM_HSCROLL, SB_LINERIGHT, line, 0},
        {WM_HSCROLL, SB_PAGERIGHT, line + width, 0},
        {WM_HSCROLL, SB_RIGHT, 400 - width, 0},
        {WM_VSCROLL, SB_BOTTOM, 400 - width, 300 - height},
        {WM_HSCROLL, SB_PAGELEFT, std::max(0, 400 - 2 * width), 300 - height},
        {WM_VSCROLL, SB_TOP, std::max(0, 400 - 2 * width), 0},
        {WM_HSCROLL, SB_LEFT, 0, 0},
    };
    for (const auto& step : steps) {
        SendMessage(wnd, step.Msg, step.Code, 0);
        EXPECT_EQ(popup->HorzOffset(), step.Horz) << step.Msg << " " << step.Code;
        EXPECT_EQ(popup->VertOffset(), step.Vert) << step.Msg << " " << step.Code;
        EXPECT_EQ(GetScrollPos(wnd, SB_HORZ), step.Horz);
    }
    SendMessage(wnd, WM_HSCROLL, SB_RIGHT, 0);
    SendMessage(wnd, WM_VSCROLL, SB_BOTTOM, 0);
    UpdateWindow(wnd);
    TPoint corner = popup->ClientToScreen({popup->ClientWidth() - 1, popup->ClientHeight() - 1});
    cvExEdtr::ScreenToWindow(wnd, corner);
    EXPECT_EQ(platform_ui::test::RenderedPixel(wnd, corner.X, corner.Y), 0x0000FFu)
        << "the picture's last pixel in the client's corner";

    // Enlarged beyond the picture, the offsets come back: no empty band on the right or at the bottom.
    SetWindowPos(wnd, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(popup->HorzOffset(), 0);
    EXPECT_EQ(popup->VertOffset(), 0);
    EXPECT_FALSE(GetWindowLong(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << "the whole picture shows";
    uitest::Type(popup, VK_ESCAPE);

    Edit->SetPictureAutoSize(true);
    popup = Open(blob);
    EXPECT_FALSE(GetWindowLong(popup->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << "scaled, not scrolled";
    SendMessage(popup->Handle(), WM_HSCROLL, SB_RIGHT, 0);
    EXPECT_EQ(popup->HorzOffset(), 0);
}

TEST_F(BlobEditTest, ThePictureMenuOffersWhatThePictureAndTheEditorAllow) {
    struct Case {
        const char* What;
        bool Filled, Modifiable, ClipboardPicture, ExtraItems;
        std::map<std::string, bool> Enabled;
    };
    const Case cases[] = {
        {"a picture, a picture to paste",
         true,
         true,
         true,
         true,
         {{"Cu&t", true}, {"&Copy", true}, {"&Paste", true}, {"&Delete", true}, {"&Load...", true},
          {"&Save To...", true}}},
        {"empty, text on the clipboard",
         false,
         true,
         false,
         true,
         {{"Cu&t", false}, {"&Copy", false}, {"&Paste", false}, {"&Delete", false}, {"&Load...", true},
          {"&Save To...", false}}},
        {"read-only copies and saves",
         true,
         false,
         true,
         true,
         {{"Cu&t", false}, {"&Copy", true}, {"&Paste", false}, {"&Delete", false}, {"&Load...", false},
          {"&Save To...", true}}},
        {"no extra items",
         true,
         true,
         true,
         false,
         {{"Cu&t", true}, {"&Copy", true}, {"&Paste", true}, {"&Delete", true}}},
    };
    for (const Case& c : cases) {
        if (c.ClipboardPicture) {
            TPicture picture;
            cvExEdtr::LoadPictureFromValue(&picture, {}, BlobOf(clRed, 2, 2));
            Clipboard()->Assign(&picture);
        } else {
            Clipboard()->SetAsText("no picture");
        }
        Hosted.Host->Modifiable = c.Modifiable;
        Edit->SetShowExPopupItems(c.ExtraItems);
        TCustomcvBlobPopup* popup = OpenPicture(c.Filled ? BlobOf(clRed, 6, 4) : "");
        EXPECT_EQ(ContextMenu(popup), c.Enabled) << c.What;
        uitest::Type(popup, VK_ESCAPE);
    }
    Hosted.Host->Modifiable = true;
    Edit->SetShowPicturePopup(false);
    EXPECT_TRUE(ContextMenu(OpenPicture("")).empty()) << "no menu when the editor asks for none";
}

TEST_F(BlobEditTest, TheMemoMenuEditsTheTextAsTheEditorAllows) {
    const struct {
        const char* What;
        bool Modifiable;
        std::map<std::string, bool> Enabled;
    } cases[] = {
        {"editable",
         true,
         {{"&Undo", false},
          {"&Redo", false},
          {"Cu&t", true},
          {"&Copy", true},
          {"&Paste", true},
          {"&Delete", true},
          {"Select &All", true}}},
        {"read-only copies only",
         false,
         {{"&Undo", false},
          {"&Redo", false},
          {"Cu&t", false},
          {"&Copy", true},
          {"&Paste", false},
          {"&Delete", false},
          {"Select &All", true}}},
    };
    for (const auto& c : cases) {
        Clipboard()->SetAsText("paste me");
        Hosted.Host->Modifiable = c.Modifiable;
        TCustomcvBlobPopup* popup = Open("备忘录");
        popup->SetSelStart(1);
        popup->SetSelLength(1);
        EXPECT_EQ(ContextMenu(popup), c.Enabled) << c.What;
        uitest::Type(popup, VK_ESCAPE);
    }
    Hosted.Host->Modifiable = true;
    TCustomcvBlobPopup* popup = Open("备忘录");
    ContextMenu(popup, "Select &All");
    EXPECT_EQ(popup->GetSelText(), "备忘录");
    ContextMenu(popup, "&Delete");
    EXPECT_EQ(popup->Text(), "");
    EXPECT_TRUE(popup->OKEnabled());
}

TEST_F(BlobEditTest, LoadTakesThePictureChosenInTheDialogWithTheEditorsFilter) {
    TScratchFolder folder;
    TPicture chosen;
    cvExEdtr::LoadPictureFromValue(&chosen, {}, BlobOf(clRed, 5, 3));
    chosen.SaveToFile(folder / "chosen.bmp");
    std::string filter;
    TDialogHookScope answer{[&](const TDialogRequest& r) {
        filter = r.Filter;
        TDialogAnswer a;
        a.Result = IDOK;
        a.Files = {folder / "chosen.bmp"};
        return a;
    }};
    Edit->SetPictureFilter("Bitmaps (*.bmp)|*.bmp");
    TCustomcvBlobPopup* popup = OpenPicture("");
    ContextMenu(popup, "&Load...");
    EXPECT_EQ(filter, "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(popup->Picture()->Width(), 5);
    EXPECT_TRUE(popup->OKEnabled());
    ClickButton(popup, bpbOK);
    TPicture back;
    cvExEdtr::LoadPictureFromValue(&back, {}, Edit->BlobValue());
    EXPECT_EQ(back.Height(), 3);
}

TEST_F(BlobEditTest, TheMemoTakesTheEditorsCaseSelectionBarAndScrollBarSettings) {
    const struct {
        TEditCharCase CharCase;
        bool SelectionBar, HideScrollBars, OEMConvert;
        const char* Cased;
    } cases[] = {
        {ecNormal, true, true, false, "ab cd\r\nefx"},
        {ecUpperCase, false, false, true, "AB CD\r\nEFX"},
        {ecLowerCase, true, false, false, "ab cd\r\nefx"},
    };
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.CharCase);
        Edit->SetMemoCharCase(c.CharCase);
        Edit->SetMemoSelectionBar(c.SelectionBar);
        Edit->SetMemoHideScrollBars(c.HideScrollBars);
        Edit->SetMemoOEMConvert(c.OEMConvert);
        Edit->SetMemoScrollBars(ssVertical);
        TCustomcvBlobPopup* popup = Open("ab cd\nef");
        const DWORD style = GetWindowLong(popup->Handle(), GWL_STYLE);
        EXPECT_EQ((style & ES_OEMCONVERT) != 0, c.OEMConvert) << what;
        EXPECT_EQ((style & ES_DISABLENOSCROLL) != 0, !c.HideScrollBars) << what;
        TRect format;
        SendMessage(popup->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ(format.Left, c.SelectionBar ? 9 : 1) << what;
        // The whole text takes the case when the window is made; typed characters too.
        SendMessage(popup->Handle(), EM_SETSEL, 100, 100);
        uitest::Type(popup, 0, "x");
        EXPECT_EQ(popup->Text(), c.Cased) << what;
        // A click in the selection bar selects its line.
        TRect window;
        GetWindowRect(popup->Handle(), window);
        const TPoint client = popup->ClientToScreen({3, format.Top + 3});
        const TPoint inBar{client.X - window.Left, client.Y - window.Top};
        SendQtMouse(popup->Handle(), TMouseEventKind::Press, inBar, MK_LBUTTON, MK_LBUTTON);
        SendQtMouse(popup->Handle(), TMouseEventKind::Release, inBar, MK_LBUTTON, 0);
        ProcessMessages();
        EXPECT_EQ(popup->GetSelText().substr(0, 5), c.SelectionBar ? std::string(c.Cased).substr(0, 5) : "") << what;
        ClickButton(popup, bpbCancel);
    }
}

TEST_F(BlobEditTest, TheCharCaseOfAnOpenMemoKeepsTheSelectionAndIsNoChange) {
    TCustomcvBlobPopup* popup = Open("abc 汉字 def");
    popup->SetSelStart(4);
    popup->SetSelLength(2);
    popup->SetCharCase(ecUpperCase);
    EXPECT_EQ(popup->Text(), "ABC 汉字 DEF");
    EXPECT_EQ(popup->GetSelText(), "汉字");
    EXPECT_FALSE(popup->OKEnabled());
    ClickButton(popup, bpbCancel);
}

TEST_F(BlobEditTest, TheMemoTakesTheInputMethod) {
    Open("");
    EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled()) << "memos are written in Chinese";
}

TEST(BlobFields, AValueIsWrittenIntoItsFieldAsItsBytesAndEmptyClearsIt) {
    TScratchFolder folder;
    const std::string file = folder / "blobs.db";
    RunSql(file, "create table B (ID integer primary key, NOTE memo, PIC image);"
                 "insert into B values (1, 'old', 'old');");
    const std::string bytes("\x89PNG\0\x01\xff", 7);
    const struct {
        Variant Value;
        bool Null;
        std::string Stored;
    } cases[] = {
        {Variant(bytes), false, bytes},
        {Variant(std::string("第一行\r\n第二行")), false, "第一行\r\n第二行"},
        {Variant(std::string()), true, ""},
        {Null(), true, ""},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<TADOConnection> connection = Connect(file);
        const std::unique_ptr<TADOQuery> query = OpenQuery(connection.get(), "select * from B where ID = 1");
        query->Edit();
        for (const char* name : {"NOTE", "PIC"})
            cvDBEdtr::AssignValueToField(query->FieldByName(name), c.Value);
        query->Post();
        query->Close();
        query->Open();
        for (const char* name : {"NOTE", "PIC"}) {
            EXPECT_EQ(query->FieldByName(name)->IsNull(), c.Null) << name << " " << c.Stored;
            EXPECT_EQ(query->FieldByName(name)->AsString(), c.Stored) << name;
        }
    }
}

TEST(BlobKinds, AColumnsKindResolvesAgainstItsField) {
    TMemoField memo(nullptr);
    TGraphicField graphic(nullptr);
    TBlobField blob(nullptr);
    TStringField text(nullptr);
    const struct {
        TcvBlobKind Kind;
        const TField* Field;
        Byte Expected;
    } cases[] = {
        {bkAuto, &memo, bkvMemo},       {bkAuto, &graphic, bkvPicture}, {bkAuto, &blob, bkvBinary},
        {bkAuto, &text, bkvMemo},       {bkAuto, nullptr, bkvMemo},     {bkPict, &memo, bkvPicture},
        {bkBlob, &graphic, bkvBinary},  {bkOle, &memo, bkvOle},         {bkMemo, &graphic, bkvMemo},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cvDBEdtr::ResolveBlobKind(c.Kind, c.Field), c.Expected) << c.Kind;
}

TEST(BlobKinds, EachKindHasAnEmptyAndAFilledIcon) {
    const struct {
        Byte Kind;
        bool Empty;
        int Icon;
    } cases[] = {
        {bkvPicture, true, 4}, {bkvPicture, false, 5}, {bkvMemo, true, 2},
        {bkvMemo, false, 3},   {bkvOle, false, 7},     {bkvBinary, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TcvBlobEditClassOps::IconIndex(c.Kind, c.Empty), c.Icon) << int(c.Kind) << c.Empty;
}

class BlobCell : public CellImage {
protected:
    cvExEdtr::TUnitScope Unit;
};

TEST_F(BlobCell, AnIconCellPaintsWithoutAWindowAndOleHasNoButton) {
    const auto& ops = static_cast<const TcvBlobEditClassOps&>(TcvInplaceBlobEdit::StaticClass());
    for (Byte kind : {bkvMemo, bkvPicture, bkvOle}) {
        auto viewData = ops.CreateViewData();
        auto& v = static_cast<TcvBlobEditViewData&>(*viewData);
        v.BlobKind = kind;
        v.Images = cvExEdtr::BlobGlyphs();
        v.Brush = Blue;
        v.Bounds = {0, 0, Width, Height};
        const int before = CountWindows();
        ops.DrawCell(DC, v, nullptr);
        EXPECT_EQ(CountWindows(), before);
        EXPECT_EQ(v.ButtonCount, kind == bkvOle ? 0 : 1) << int(kind);
    }
}

} // namespace

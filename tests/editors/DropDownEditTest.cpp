// The drop-down base with a small popup of its own, hosted in the test
// container and driven through real input: the button opens after the posted
// request, keys and the wheel go to the open popup, closing with and without a
// value, the press dragged into the popup, placement, and the buttons' looks
// painted from view data.
#include "editors/DropDownEdit.h"
#include "editors/PopupControl.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace uitest;
using namespace editortest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

// Opens a plain popup that takes no focus; logs how it closes and the steps.
class TTestDropDownEdit : public TcvInplaceDropDownEdit {
public:
    explicit TTestDropDownEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceDropDownEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass() {
        return TcvEditorClass<TTestDropDownEdit, TcvDropDownEditClassOps>::Instance();
    }
    std::vector<std::string> Log;
    TcvInplacePopupControl* PopupList = nullptr;

    void DropDown() override {
        if (!PopupList) {
            PopupList = new TcvInplacePopupControl(this);
            PopupList->SetPopup(true);
            PopupList->SetOwnerEditor(this);
            PopupList->SetBounds(0, 0, 30, 60);
        }
        SetPopup(PopupList);
        DoDropDown();
        PositionPopup(PopupList, true);
        SetDroppedDownFlag(true);
        PopupList->ShowPopup();
    }
    void CloseUp(bool Accept) override {
        if (!PopupList || !IsWindowVisible(PopupList->Handle())) return;
        PopupList->HidePopup();
        Log.push_back(Accept ? "accept" : "cancel");
    }
    void StepValue(int Delta, int) override { Log.push_back(Delta < 0 ? "step up" : "step down"); }
};

bool Shown(TTestDropDownEdit* Edit) {
    return Edit->PopupList && IsWindowVisible(Edit->PopupList->Handle());
}

// Records what a window receives, for message-sequence tables.
class WindowLog {
public:
    explicit WindowLog(HWND Wnd) : FWnd(Wnd) {
        FHook = PushWindowProc(Wnd, [this](HWND w, TMessage& m) {
            Recorder.Records.push_back({w, m.Msg, platform_ui::test::CurrentMessageWasPosted(), m.WParam, m.LParam});
            CallNextWindowProc(w, FHook, m);
        });
    }
    ~WindowLog() {
        if (IsWindow(FWnd)) RemoveWindowProc(FWnd, FHook);
    }
    WindowLog(const WindowLog&) = delete;
    WindowLog& operator=(const WindowLog&) = delete;
    WmRecorder Recorder;

private:
    HWND FWnd;
    TWindowProcedureId FHook{};
};

struct HostedDropDown : HostedEditor {
    TTestDropDownEdit* Edit;
    HostedDropDown() : HostedEditor(TTestDropDownEdit::StaticClass()) {
        Edit = static_cast<TTestDropDownEdit*>(Editor);
        Open("text");
    }
    // The drop-down button in window coordinates of the editor, as the editor lays it out.
    TRect Button() {
        std::unique_ptr<TcvEditViewData> cell = Edit->CreateViewData(false);
        TcvEditViewInfo info;
        Edit->EditorClass().CalcViewInfo(*cell, false, info);
        TRect button{};
        TcvDropDownEditClassOps::ForEachButtonRect(info, *cell, [&](int, const TRect& R) {
            button = R;
            return false;
        });
        return button;
    }
    TPoint ButtonPoint() {
        const TRect button = Button();
        return {(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2};
    }
    void Mouse(TMouseEventKind Kind, TPoint WindowPoint, WPARAM Keys) {
        SendQtMouse(Edit->Handle(), Kind, WindowPoint, Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON, Keys);
    }
    void ClickButton() {
        Mouse(TMouseEventKind::Move, ButtonPoint(), 0);
        Mouse(TMouseEventKind::Press, ButtonPoint(), MK_LBUTTON);
        ProcessMessages();
        Mouse(TMouseEventKind::Release, ButtonPoint(), 0);
        ProcessMessages();
    }
};

TEST(DropDownEdit, AButtonClickOpensAfterThePostedRequestAndTheFormStaysActive) {
    HostedDropDown h;
    WindowLog log(h.Edit->Handle());
    int dropDowns = 0;
    h.Edit->OnDropDown = [&](TObject*) { ++dropDowns; };
    h.ClickButton();
    log.Recorder.Expect({Posted(WM_NCLBUTTONDOWN, HTBORDER), Posted(CM_DROPDOWNPOPUP)},
                        "the press asks for the popup by a posted message");
    EXPECT_TRUE(Shown(h.Edit));
    EXPECT_TRUE(h.Edit->DroppedDown());
    EXPECT_EQ(dropDowns, 1);
    EXPECT_EQ(GetActiveWindow(), h.Form->Handle());
    EXPECT_EQ(GetFocus(), h.Edit->Handle()) << "keys go to the popup through the editor";
    EXPECT_EQ(h.Edit->PressedButton(), -1) << "the release lets the button go";

    h.ClickButton();
    EXPECT_FALSE(Shown(h.Edit)) << "a second click closes";
    EXPECT_EQ(h.Edit->Log, std::vector<std::string>{"cancel"});
    ProcessMessages();
    EXPECT_FALSE(h.Edit->DroppedDown()) << "the popup's CM_POPUPCLOSED ends the drop-down";
}

TEST(DropDownEdit, KeysGoToTheOpenPopupAndCloseIt) {
    struct Case {
        const char* Name;
        bool Open;
        Word Key;
        const char* Text;
        WPARAM Keys;
        std::vector<WmExpected> PopupGets;
        std::vector<std::string> HostCalls;
        std::vector<std::string> Log;
        bool OpenAfter;
    };
    const Case cases[] = {
        {"F4 opens", false, VK_F4, "", 0, {}, {}, {}, true},
        {"Alt+Down opens", false, VK_DOWN, "", MK_ALT, {}, {}, {}, true},
        {"Alt+Up closes accepting", true, VK_UP, "", MK_ALT, {}, {}, {"accept"}, false},
        {"Down moves in the popup, not the host's row",
         true,
         VK_DOWN,
         "",
         0,
         {Sent(WM_KEYDOWN, VK_DOWN)},
         {},
         {},
         true},
        {"a letter goes to the popup", true, 'A', "a", 0, {Sent(WM_KEYDOWN, 'A'), Sent(WM_CHAR, 'a')}, {}, {}, true},
        {"Enter closes accepting and types nothing", true, VK_RETURN, "\r", 0, {}, {}, {"accept"}, false},
        {"Escape closes without a value", true, VK_ESCAPE, "\x1b", 0, {}, {}, {"cancel"}, false},
        {"Enter while closed is the host's", false, VK_RETURN, "\r", 0, {}, {"key 0D"}, {}, false},
    };
    for (const Case& c : cases) {
        HostedDropDown h;
        if (c.Open) {
            Type(h.Edit, VK_F4);
            ASSERT_TRUE(Shown(h.Edit)) << c.Name;
        }
        std::unique_ptr<WindowLog> popupLog;
        if (h.Edit->PopupList) popupLog = std::make_unique<WindowLog>(h.Edit->PopupList->Handle());
        WindowLog editorLog(h.Edit->Handle());
        Type(h.Edit, c.Key, c.Text, c.Keys);
        if (popupLog && c.PopupGets.empty()) {
            EXPECT_TRUE(popupLog->Recorder.Of(WM_KEYDOWN).empty()) << c.Name;
        } else if (popupLog) {
            popupLog->Recorder.Expect(c.PopupGets, c.Name);
        }
        if (c.Key == VK_RETURN && c.Open) {
            EXPECT_TRUE(editorLog.Recorder.Of(WM_CHAR).empty()) << c.Name;
        }
        EXPECT_EQ(h.Host->Calls, c.HostCalls) << c.Name;
        EXPECT_EQ(h.Edit->Log, c.Log) << c.Name;
        EXPECT_EQ(Shown(h.Edit), c.OpenAfter) << c.Name;
        EXPECT_EQ(h.Edit->Text(), "text") << c.Name;
        EXPECT_EQ(h.Host->Row, 5) << c.Name;
        EXPECT_EQ(GetFocus(), h.Edit->Handle()) << c.Name;
    }
}

TEST(DropDownEdit, TheWheelStepsWhileClosedAndScrollsTheOpenPopup) {
    struct Case {
        bool Open;
        int Delta;
        const char* Step;
        WPARAM Scroll;
    };
    const Case cases[] = {{false, 120, "step up", 0},
                          {false, -120, "step down", 0},
                          {true, 120, nullptr, SB_LINEUP},
                          {true, -120, nullptr, SB_LINEDOWN}};
    for (const Case& c : cases) {
        HostedDropDown h;
        if (c.Open) Type(h.Edit, VK_F4);
        std::unique_ptr<WindowLog> popupLog;
        if (h.Edit->PopupList) popupLog = std::make_unique<WindowLog>(h.Edit->PopupList->Handle());
        platform_ui::test::SendQtWheel(h.Edit->Handle(), {5, 5}, c.Delta);
        ProcessMessages();
        if (c.Step) {
            EXPECT_EQ(h.Edit->Log, std::vector<std::string>{c.Step});
        } else {
            EXPECT_TRUE(h.Edit->Log.empty());
            popupLog->Recorder.Expect({Sent(WM_VSCROLL, c.Scroll)}, "one line");
        }
        EXPECT_EQ(h.Host->Calls, std::vector<std::string>{}) << "the host does not scroll";
    }
}

TEST(DropDownEdit, LosingTheFocusClosesWithoutAValue) {
    HostedDropDown h;
    Type(h.Edit, VK_F4);
    ASSERT_TRUE(Shown(h.Edit));
    ::SetFocus(h.Host->Handle());
    ProcessMessages();
    EXPECT_FALSE(Shown(h.Edit));
    EXPECT_EQ(h.Edit->Log, std::vector<std::string>{"cancel"});
}

TEST(DropDownEdit, APressDraggedFromTheButtonIntoThePopupGoesOnThere) {
    HostedDropDown h;
    h.Mouse(TMouseEventKind::Move, h.ButtonPoint(), 0);
    h.Mouse(TMouseEventKind::Press, h.ButtonPoint(), MK_LBUTTON);
    ProcessMessages();
    ASSERT_TRUE(Shown(h.Edit));
    EXPECT_EQ(h.Edit->PressedButton(), 0);
    WindowLog popupLog(h.Edit->PopupList->Handle());
    // Into the popup's client area, in the editor's window coordinates.
    TRect editorWindow;
    GetWindowRect(h.Edit->Handle(), editorWindow);
    const TPoint entry = h.Edit->PopupList->ClientToScreen({5, 7});
    h.Mouse(TMouseEventKind::Move, {entry.X - editorWindow.Left, entry.Y - editorWindow.Top}, MK_LBUTTON);
    ProcessMessages();
    popupLog.Recorder.Expect({Sent(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 7))}, "the press enters the popup");
    EXPECT_EQ(h.Edit->PressedButton(), -1);
    EXPECT_NE(GetCapture(), h.Edit->Handle());
    // Let go, so no later test starts with the button held.
    SendQtMouse(h.Edit->PopupList->Handle(), TMouseEventKind::Release, {5, 7}, MK_LBUTTON, 0);
    ProcessMessages();
}

TEST(DropDownEdit, ThePopupSitsUnderTheContentAsAlignedOrAboveWhenBelowIsFull) {
    struct Case {
        const char* Name;
        TAlignment Alignment;
        int FormTop;
        bool Above;
    };
    const Case cases[] = {
        {"left", taLeftJustify, 10, false},
        {"right", taRightJustify, 10, false},
        {"centre", taCenter, 10, false},
        {"no room below", taLeftJustify, 520, true},
    };
    platform_ui::test::SetTestMonitors({{{0, 0, 800, 600}, {0, 0, 800, 600}}});
    for (const Case& c : cases) {
        HostedDropDown h;
        h.Form->SetTop(c.FormTop);
        ProcessMessages();
        h.Edit->SetPopupAlignment(c.Alignment);
        Type(h.Edit, VK_F4);
        TRect editor, popup;
        GetWindowRect(h.Edit->Handle(), editor);
        GetWindowRect(h.Edit->PopupList->Handle(), popup);
        // The content starts 2 pixels in; the button takes the right end.
        const int left = editor.Left + 2, right = editor.Left + h.Button().Left;
        EXPECT_EQ(popup.Width(), right - left) << c.Name << ": widened to the content";
        if (c.Alignment == taCenter) {
            h.Edit->PopupList->SetWidth(20);
            h.Edit->PositionPopup(h.Edit->PopupList, false);
            GetWindowRect(h.Edit->PopupList->Handle(), popup);
            EXPECT_EQ(popup.Left, (left + right) / 2 - 10) << c.Name;
        } else {
            EXPECT_EQ(popup.Left, left) << c.Name; // as wide as the content, both ends agree
        }
        if (c.Above)
            EXPECT_EQ(popup.Bottom, editor.Top) << c.Name;
        else
            EXPECT_EQ(popup.Top, editor.Bottom) << c.Name;
    }
    platform_ui::test::SetTestMonitors({});
}

// ---- buttons painted from view data ----------------------------------------

// Paints the ellipsis kind, at a set width.
class TEllipsisOps : public TcvDropDownEditClassOps {
public:
    TcvInplaceEdit* CreateEditor(TComponent*) const override { return nullptr; }
    int Width = 16;
    void CalcButtons(TcvDropDownEditViewData& ViewData) const override {
        TcvDropDownEditClassOps::CalcButtons(ViewData);
        ViewData.Buttons[0].Kind = bkEllipsis;
        ViewData.Buttons[0].Width = Width;
    }
};

class DropDownCell : public CellImage {
protected:
    DropDownCell() {
        Width = 60;
        Height = 24;
    }
    // The button's looks: the style, its state and what is painted around it.
    std::unique_ptr<TcvDropDownEditViewData> Cell(TcvEditButtonViewStyle Style, int Hot, int Pressed,
                                                  const TcvInplaceEditClass& Class = TTestDropDownEdit::StaticClass()) {
        std::unique_ptr<TcvEditViewData> data = Class.CreateViewData();
        auto cell = std::unique_ptr<TcvDropDownEditViewData>(static_cast<TcvDropDownEditViewData*>(data.release()));
        cell->BorderStyle = xbsNone;
        cell->ButtonStyle = Style;
        cell->HotButton = Hot;
        cell->PressedButton = Pressed;
        cell->Bounds = {0, 0, Width, Height};
        cell->Brush = Blue;
        cell->BackgroundColor = 0xFF0000;
        return cell;
    }
    TRect ButtonRect(const TcvInplaceEditClass& Class, TcvDropDownEditViewData& Cell) {
        TcvEditViewInfo info;
        Class.CalcViewInfo(Cell, false, info);
        TRect button{};
        TcvDropDownEditClassOps::ForEachButtonRect(info, Cell, [&](int, const TRect& R) {
            button = R;
            return false;
        });
        return button;
    }
    std::set<std::pair<int, int>> PixelsOf(const TRect& R, COLORREF Colour) {
        std::set<std::pair<int, int>> found;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (GetPixel(DC, x, y) == Colour) found.insert({x, y});
        return found;
    }
    void Paint(const TcvInplaceEditClass& Class, TcvDropDownEditViewData& Cell) {
        const TRect all{0, 0, Width, Height};
        FillRect(DC, &all, White);
        Class.DrawCell(DC, Cell, nullptr);
    }
};

TEST_F(DropDownCell, ButtonLooksFollowStyleHotAndPressedWithoutAWindow) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                   text = GetSysColor(COLOR_BTNTEXT), window = GetSysColor(COLOR_WINDOW);
    struct Case {
        const char* Name;
        TcvEditButtonViewStyle Style;
        int Hot, Pressed;
        bool Transparent;
        COLORREF Face;       // in the button, away from the arrow
        COLORREF Arrow;      // the arrow's colour
        COLORREF LeftColumn; // the button's leftmost column, halfway down
    };
    const Case cases[] = {
        {"3D", bts3D, -1, -1, false, face, text, face},
        {"flat", btsFlat, -1, -1, false, face, text, face},
        {"simple: framed with the cell's brush", btsSimple, -1, -1, false, face, text, 0xFF0000},
        {"simple while hot is flat", btsSimple, 0, -1, false, face, text, face},
        {"hot flat, hot", btsHotFlat, 0, -1, false, shadow, window, shadow},
        {"hot flat, pressed", btsHotFlat, 0, 0, false, text, window, shadow},
        {"transparent 3D shows the cell's brush", bts3D, -1, -1, true, 0xFF0000, text, face},
    };
    const int windowsBefore = CountWindows();
    const TcvInplaceEditClass& editorClass = TTestDropDownEdit::StaticClass();
    for (const Case& c : cases) {
        auto cell = Cell(c.Style, c.Hot, c.Pressed);
        cell->ButtonsTransparent = c.Transparent;
        Paint(editorClass, *cell);
        const TRect button = ButtonRect(editorClass, *cell);
        const int middleY = (button.Top + button.Bottom) / 2;
        EXPECT_EQ(GetPixel(DC, button.Left + 3, button.Top + 3), c.Face) << c.Name;
        EXPECT_FALSE(PixelsOf(button, c.Arrow).empty()) << c.Name << ": the arrow";
        EXPECT_EQ(GetPixel(DC, button.Left, middleY), c.LeftColumn) << c.Name;
        EXPECT_EQ(GetPixel(DC, 5, middleY), 0xFF0000u) << c.Name << ": the content";
    }
    EXPECT_EQ(CountWindows(), windowsBefore);
}

TEST_F(DropDownCell, APressedArrowMovesOnePixelAndADisabledOneIsEtched) {
    const TcvInplaceEditClass& editorClass = TTestDropDownEdit::StaticClass();
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    auto cell = Cell(bts3D, -1, -1);
    Paint(editorClass, *cell);
    const TRect button = ButtonRect(editorClass, *cell);
    const auto normal = PixelsOf(button, text);
    ASSERT_FALSE(normal.empty());
    cell->HotButton = cell->PressedButton = 0;
    Paint(editorClass, *cell);
    std::set<std::pair<int, int>> moved;
    for (auto [x, y] : normal)
        moved.insert({x + 1, y + 1});
    EXPECT_EQ(PixelsOf(button, text), moved);

    cell = Cell(bts3D, -1, -1);
    cell->Enabled = false;
    Paint(editorClass, *cell);
    EXPECT_EQ(PixelsOf(button, GetSysColor(COLOR_BTNSHADOW)).count(*normal.begin()), 1u);
    const auto [x, y] = *normal.rbegin();
    EXPECT_EQ(GetPixel(DC, x + 1, y + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(DropDownCell, EllipsisDotsGrowAtSixteenPixels) {
    struct Case {
        TcvEditButtonViewStyle Style;
        int Width;
        size_t DotPixels;
    };
    const Case cases[] = {{bts3D, 15, 3}, {bts3D, 16, 12}, {btsFlat, 15, 12}, {btsFlat, 14, 3}};
    for (const Case& c : cases) {
        TEllipsisOps ops;
        ops.Width = c.Width;
        auto cell = Cell(c.Style, -1, -1, ops);
        Paint(ops, *cell);
        EXPECT_EQ(PixelsOf(ButtonRect(ops, *cell), GetSysColor(COLOR_BTNTEXT)).size(), c.DotPixels)
            << c.Style << " " << c.Width;
    }
}

TEST_F(DropDownCell, AGlyphReplacesTheArrowAndSetsTheWidth) {
    const TcvInplaceEditClass& editorClass = TTestDropDownEdit::StaticClass();
    TBitmap glyph;
    glyph.SetSize(6, 6);
    const TRect all{0, 0, 6, 6};
    HBRUSH red = CreateSolidBrush(0x0000FF);
    FillRect(glyph.Canvas()->Handle(), &all, red);
    DeleteObject(red);
    glyph.SetTransparentColor(clWhite); // nothing of it is transparent
    auto cell = Cell(btsFlat, -1, -1);
    cell->DropDownGlyph = &glyph;
    Paint(editorClass, *cell);
    const TRect button = ButtonRect(editorClass, *cell);
    EXPECT_EQ(button.Width(), 6 + 2 + 1);
    EXPECT_EQ(PixelsOf(button, 0x0000FF).size(), 36u);
    EXPECT_TRUE(PixelsOf(button, GetSysColor(COLOR_BTNTEXT)).empty()) << "no arrow";
}

} // namespace

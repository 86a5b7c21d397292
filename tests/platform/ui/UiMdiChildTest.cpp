// MDI children handled with the mouse: the title bar's hit-test codes, its
// buttons (pushed while held, acting on release), the caption drag and the
// sizing edges, the active and inactive caption colours, the maximised child's
// buttons in the frame's menu bar and the minimised children at the bottom.
#include "UiTestSupport.h"

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::BackingPixel;
using platform_ui::test::PostQtMouse;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

uint32_t Rgb(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The caption's parts of a child, in its window coordinates, from the metrics.
struct CaptionGeometry {
    int Border;
    TRect Bar;
    TCaptionButtons Buttons;
};

CaptionGeometry GeometryOf(TForm* child, bool sizable = true) {
    const int b = GetSystemMetrics(sizable ? SM_CXFRAME : SM_CXDLGFRAME);
    const TRect bar{b, b, child->Width() - b, b + GetSystemMetrics(SM_CYCAPTION) - 1};
    return {b, bar, CaptionButtonRects(bar, false)};
}

TPoint Centre(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// A left click held at Press and let go at Release (window coordinates of the
// window that takes the press); the loop a press starts gets the release.
void ClickAt(HWND wnd, TPoint press, TPoint release) {
    PostQtMouse(wnd, TMouseEventKind::Move, release, 0, MK_LBUTTON);
    PostQtMouse(wnd, TMouseEventKind::Release, release, MK_LBUTTON, 0);
    SendQtMouse(wnd, TMouseEventKind::Press, press, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
}

void ClickAt(HWND wnd, TPoint at) {
    ClickAt(wnd, at, at);
}

// The second press comes once the loop of the first one has ended, as it does
// for a person.
void DoubleClickAt(HWND wnd, TPoint at) {
    ClickAt(wnd, at);
    SendQtMouse(wnd, TMouseEventKind::DoubleClick, at, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(wnd, TMouseEventKind::Release, at, MK_LBUTTON, 0);
    ProcessMessages();
}

int HitTest(TForm* form, TPoint windowPoint) {
    TRect window;
    GetWindowRect(form->Handle(), window);
    return static_cast<int>(SendMessage(
        form->Handle(), WM_NCHITTEST, 0,
        MakeLParam(static_cast<Word>(window.Left + windowPoint.X), static_cast<Word>(window.Top + windowPoint.Y))));
}

// A document window, an MDI child from its making on as the program's are.
class TDocument : public TForm {
public:
    TDocument(TComponent* AOwner, TFormBorderStyle Border, TBorderIcons Icons) : TForm(AOwner) {
        TComponentLoading loading(this);
        SetFormStyle(fsMDIChild);
        SetBorderStyle(Border);
        SetBorderIcons(Icons);
    }
};

// A frame with a menu, the application's main form, and its children.
struct MdiFrame {
    TForm* Frame = nullptr;
    std::vector<TForm*> Children;

    MdiFrame() {
        Application->CreateForm(Frame);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(0, 0, 640, 480);
        auto* menu = new TMainMenu(Frame);
        auto* file = new TMenuItem(Frame);
        file->SetCaption("文件(&F)");
        menu->Items()->Add(file);
        Frame->SetMenu(menu);
        Frame->Show();
        ProcessMessages();
    }
    ~MdiFrame() {
        delete Frame;
        ProcessMessages();
    }

    TForm* NewChild(const std::string& caption, TRect bounds = Bounds(20, 20, 300, 200),
                    TFormBorderStyle border = bsSizeable, TBorderIcons icons = {biSystemMenu, biMinimize, biMaximize}) {
        auto* child = new TDocument(Frame, border, icons);
        child->AfterConstruction();
        child->SetCaption(caption);
        child->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        child->Show();
        ProcessMessages();
        Children.push_back(child);
        return child;
    }

    TRect ClientOfMdi() const {
        TRect r;
        GetClientRect(Frame->ClientHandle(), r);
        return r;
    }

    // The menu bar in the frame's window coordinates, its parting row left out.
    TRect MenuBar() const {
        TRect window;
        GetWindowRect(Frame->Handle(), window);
        const TPoint client = Frame->ClientToScreen(Point(0, 0));
        const int left = client.X - window.Left, bottom = client.Y - window.Top;
        return {left, bottom - GetSystemMetrics(SM_CYMENU) - 1, left + Frame->ClientWidth(), bottom - 1};
    }
};

TEST(UiMdiChild, CaptionAndFrameGiveTheirHitTestCodes) {
    MdiFrame w;
    TForm* sizable = w.NewChild("可调");
    TForm* fixed = w.NewChild("固定", Bounds(40, 40, 300, 200), bsSingle, {biSystemMenu, biMinimize});
    TForm* bare = w.NewChild("无按钮", Bounds(60, 60, 300, 200), bsSizeable, {});
    const CaptionGeometry g = GeometryOf(sizable);
    const CaptionGeometry f = GeometryOf(fixed, false);
    struct Case {
        TForm* Form;
        TPoint At;
        int Code;
        const char* What;
    } cases[] = {
        {sizable, {150, g.Bar.Top + 5}, HTCAPTION, "the bar"},
        {sizable, {150, g.Bar.Bottom}, HTCAPTION, "the row below the bar"},
        {sizable, Centre(g.Buttons.Close), HTCLOSE, "close"},
        {sizable, Centre(g.Buttons.Max), HTMAXBUTTON, "maximise"},
        {sizable, Centre(g.Buttons.Min), HTMINBUTTON, "minimise"},
        {sizable, {g.Bar.Left + 4, g.Bar.Top + 4}, HTSYSMENU, "the icon"},
        {sizable, {150, 150}, HTCLIENT, "the client area"},
        {sizable, {1, 100}, HTLEFT, "left edge"},
        {sizable, {298, 100}, HTRIGHT, "right edge"},
        {sizable, {150, 1}, HTTOP, "top edge"},
        {sizable, {150, 198}, HTBOTTOM, "bottom edge"},
        {sizable, {1, 1}, HTTOPLEFT, "top-left corner"},
        {sizable, {298, 10}, HTTOPRIGHT, "right edge near the top"},
        {sizable, {10, 198}, HTBOTTOMLEFT, "bottom edge near the left"},
        {sizable, {298, 198}, HTBOTTOMRIGHT, "bottom-right corner"},
        {fixed, {1, 100}, HTBORDER, "a fixed frame does not size"},
        {fixed, Centre(f.Buttons.Max), HTMAXBUTTON, "a maximise button without the style stays, disabled"},
        {fixed, Centre(f.Buttons.Close), HTCLOSE, "close of a fixed frame"},
        {bare, Centre(g.Buttons.Close), HTCAPTION, "no system menu, no buttons"},
        {bare, {g.Bar.Left + 4, g.Bar.Top + 4}, HTCAPTION, "no system menu, no icon"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(c.Form, c.At), c.Code) << c.What;
}

TEST(UiMdiChild, CloseButtonClosesThroughCloseQueryAndCloseOnRelease) {
    MdiFrame w;
    TForm* child = w.NewChild("申报书");
    TForm* other = w.NewChild("其他", Bounds(200, 150, 300, 200));
    int queries = 0;
    bool allow = false;
    child->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = allow;
    };
    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    const TPoint close = Centre(GeometryOf(child).Buttons.Close);
    // Let go away from the button: nothing happens, though the press
    // brought the child forward.
    ClickAt(child->Handle(), close, {close.X - 60, close.Y});
    EXPECT_EQ(queries, 0);
    EXPECT_EQ(w.Frame->ActiveMDIChild(), child);
    ClickAt(child->Handle(), close);
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(w.Frame->MDIChildCount(), 2) << "OnCloseQuery refused";
    allow = true;
    ClickAt(child->Handle(), close);
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(w.Frame->MDIChildCount(), 1);
    EXPECT_EQ(w.Frame->ActiveMDIChild(), other);
}

TEST(UiMdiChild, HeldButtonLooksPushedOnlyWhileThePointerIsOverIt) {
    MdiFrame w;
    TForm* child = w.NewChild("文档");
    const HWND wnd = child->Handle();
    const TRect close = GeometryOf(child).Buttons.Close;
    // The pushed face moves the glyph one pixel: compare the button's pixels.
    auto pixels = [&] {
        std::vector<uint32_t> out;
        for (int y = close.Top; y < close.Bottom; ++y)
            for (int x = close.Left; x < close.Right; ++x)
                out.push_back(BackingPixel(wnd, x, y));
        return out;
    };
    const auto up = pixels();
    std::vector<std::vector<uint32_t>> seen;
    std::vector<int> pushed;
    TWindowProcedureId id = 0;
    id = PushWindowProc(wnd, [&](HWND h, TMessage& m) {
        CallNextWindowProc(h, id, m);
        if (m.Msg == WM_NCPAINT) {
            seen.push_back(pixels());
            pushed.push_back(PushedFrameButton(h));
        }
    });
    ClickAt(wnd, Centre(close), {Centre(close).X - 60, Centre(close).Y});
    RemoveWindowProc(wnd, id);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(pushed.front(), HTCLOSE);
    EXPECT_NE(seen.front(), up);
    EXPECT_EQ(pushed.back(), HTNOWHERE);
    EXPECT_EQ(seen.back(), up);
}

TEST(UiMdiChild, CaptionDragMovesAndEdgeDragSizesWithinTheClient) {
    MdiFrame w;
    TForm* child = w.NewChild("文档", Bounds(20, 20, 300, 200));
    ClickAt(child->Handle(), {150, 10}, {180, 35});
    EXPECT_EQ(child->BoundsRect(), Bounds(50, 45, 300, 200));
    // The corner follows the pointer; the size never goes below the minimum.
    ClickAt(child->Handle(), {298, 198}, {338, 228});
    EXPECT_EQ(child->BoundsRect(), Bounds(50, 45, 340, 230));
    ClickAt(child->Handle(), {1, 100}, {500, 100});
    EXPECT_EQ(child->Width(), GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(child->Left() + child->Width(), 390);
    // The pointer counts only as far as the client area's edge, so the point
    // held stays there, above and left of the child.
    ClickAt(child->Handle(), {30, 10}, {-1970, -1990});
    EXPECT_EQ(child->Left(), -30);
    EXPECT_EQ(child->Top(), -10);
}

TEST(UiMdiChild, ActiveChildPaintsTheActiveCaptionAndOthersTheInactiveOne) {
    MdiFrame w;
    TForm* first = w.NewChild("第一", Bounds(10, 10, 300, 200));
    auto* panel = new TPanel(first);
    panel->SetParent(first);
    panel->SetBounds(10, 10, 100, 40);
    TForm* second = w.NewChild("第二", Bounds(330, 10, 280, 200));
    // The bar's top-left pixel is the gradient's first colour.
    auto barColour = [](TForm* child) {
        const int border = GetSystemMetrics(SM_CXFRAME);
        return BackingPixel(child->Handle(), border, border);
    };
    const uint32_t active = Rgb(GetSysColor(COLOR_ACTIVECAPTION));
    const uint32_t inactive = Rgb(GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(barColour(second), active);
    EXPECT_EQ(barColour(first), inactive);
    // The bar's far end is the gradient's last colour, above the buttons.
    const CaptionGeometry g = GeometryOf(second);
    EXPECT_EQ(BackingPixel(second->Handle(), g.Bar.Right - 1, g.Bar.Top),
              Rgb(GetSysColor(COLOR_GRADIENTACTIVECAPTION)));
    // A click on a panel, which takes no focus, activates its child.
    Click(panel, {5, 5});
    EXPECT_EQ(w.Frame->ActiveMDIChild(), first);
    EXPECT_EQ(barColour(first), active);
    EXPECT_EQ(barColour(second), inactive);
    // While another window is active, no child's caption is.
    TForm* other = nullptr;
    CreateFormInstance(other, nullptr);
    other->Show();
    ProcessMessages();
    EXPECT_EQ(barColour(first), inactive);
    delete other;
    SetActiveWindow(w.Frame->Handle());
    ProcessMessages();
    EXPECT_EQ(barColour(first), active);
}

TEST(UiMdiChild, PressInsideAnInactiveChildActivatesItAsThePressedControlAnswers) {
    // The panel sets its own cursor, so it answers WM_SETCURSOR without its
    // parents; the activation must not hang on that.
    struct Case {
        LRESULT Answer; // 0: the control leaves it to its parents
        bool Activates;
        bool PressArrives;
        const char* What;
    } cases[] = {
        {0, true, true, "the parents' answer"},
        {MA_ACTIVATE, true, true, "MA_ACTIVATE"},
        {MA_NOACTIVATE, false, true, "MA_NOACTIVATE"},
        {MA_ACTIVATEANDEAT, true, false, "MA_ACTIVATEANDEAT"},
        {MA_NOACTIVATEANDEAT, false, false, "MA_NOACTIVATEANDEAT"},
    };
    for (const Case& c : cases) {
        MdiFrame w;
        TForm* first = w.NewChild("第一", Bounds(10, 10, 300, 200));
        auto* edit = new TEdit(first);
        edit->SetParent(first);
        edit->SetBounds(10, 100, 100, 24);
        auto* panel = new TPanel(first);
        panel->SetParent(first);
        panel->SetBounds(10, 10, 100, 40);
        panel->SetCursor(crHandPoint);
        TForm* second = w.NewChild("第二", Bounds(330, 10, 280, 200));
        ASSERT_EQ(w.Frame->ActiveMDIChild(), second);
        int asked = 0, presses = 0;
        TWindowProcedureId id = 0;
        id = PushWindowProc(panel->Handle(), [&](HWND h, TMessage& m) {
            if (m.Msg == WM_MOUSEACTIVATE) {
                ++asked;
                EXPECT_EQ(reinterpret_cast<HWND>(m.WParam), w.Frame->Handle()) << c.What;
                EXPECT_EQ(m.LParam, MakeLParam(HTCLIENT, WM_LBUTTONDOWN)) << c.What;
                if (c.Answer) {
                    m.Result = c.Answer;
                    return;
                }
            }
            if (m.Msg == WM_LBUTTONDOWN) ++presses;
            CallNextWindowProc(h, id, m);
        });
        Click(panel);
        EXPECT_EQ(asked, 1) << c.What;
        EXPECT_EQ(presses, c.PressArrives ? 1 : 0) << c.What;
        EXPECT_EQ(w.Frame->ActiveMDIChild(), c.Activates ? first : second) << c.What;
        EXPECT_EQ(FocusedControl(), c.Activates ? static_cast<TWinControl*>(edit) : second) << c.What;
        // A press inside the active child asks nothing.
        if (c.Activates)
            Click(panel);
        else
            Click(second, {150, 100});
        EXPECT_EQ(asked, 1) << c.What;
        RemoveWindowProc(panel->Handle(), id);
    }
}

TEST(UiMdiChild, MaximisedChildPutsItsButtonsInTheFrameMenuBar) {
    MdiFrame w;
    TForm* child = w.NewChild("申报书", Bounds(30, 30, 300, 200));
    const HWND frame = w.Frame->Handle();
    TRect bar = w.MenuBar();
    const TCaptionButtons buttons = CaptionButtonRects(bar, false);
    const uint32_t menu = Rgb(GetSysColor(COLOR_MENU));
    const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    // A button's edge: its top-left pixel is the highlight, the menu colour without.
    auto edge = [&](const TRect& r) { return BackingPixel(frame, r.Left, r.Top); };
    EXPECT_EQ(edge(buttons.Close), menu);
    child->SetWindowState(wsMaximized);
    ProcessMessages();
    EXPECT_EQ(child->ClientWidth(), w.ClientOfMdi().Width()) << "the frame and the caption lie beyond the client";
    EXPECT_EQ(child->ClientHeight(), w.ClientOfMdi().Height());
    for (const TRect& r : {buttons.Min, buttons.Max, buttons.Close}) {
        EXPECT_EQ(edge(r), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
        EXPECT_EQ(BackingPixel(frame, r.Left + 2, r.Top + 2), face);
    }
    EXPECT_EQ(HitTest(w.Frame, Centre(buttons.Max)), HTMENU);
    // Its hidden title bar lies under the client's border, which shows.
    TPoint border{0, 0};
    ClientToScreen(w.Frame->ClientHandle(), border);
    EXPECT_EQ(WindowFromPoint({border.X + 50, border.Y - 1}), w.Frame->ClientHandle());
    EXPECT_EQ(WindowFromPoint({border.X + 50, border.Y}), child->Handle());
    // The middle one restores; the buttons go with the maximised state.
    ClickAt(frame, Centre(buttons.Max));
    EXPECT_EQ(child->WindowState(), wsNormal);
    EXPECT_EQ(child->BoundsRect(), Bounds(30, 30, 300, 200));
    EXPECT_EQ(edge(buttons.Close), menu);
    // Minimise from the bar, then close from it.
    child->SetWindowState(wsMaximized);
    ProcessMessages();
    ClickAt(frame, Centre(buttons.Min));
    EXPECT_EQ(child->WindowState(), wsMinimized);
    child->SetWindowState(wsMaximized);
    ProcessMessages();
    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    ClickAt(frame, Centre(buttons.Close));
    EXPECT_EQ(w.Frame->MDIChildCount(), 0);
    EXPECT_EQ(edge(buttons.Close), menu);
}

TEST(UiMdiChild, MinimisedChildrenLineUpAtTheBottomLeftAndComeBack) {
    MdiFrame w;
    TForm* first = w.NewChild("第一个文档窗口的标题很长", Bounds(10, 10, 300, 200));
    TForm* second = w.NewChild("第二", Bounds(60, 60, 300, 200));
    second->SetWindowState(wsMaximized);
    ProcessMessages();
    ClickAt(w.Frame->Handle(), Centre(CaptionButtonRects(w.MenuBar(), false).Min));
    ClickAt(first->Handle(), Centre(GeometryOf(first).Buttons.Min));
    ASSERT_EQ(first->WindowState(), wsMinimized);
    ASSERT_EQ(second->WindowState(), wsMinimized);
    const int bottom = w.ClientOfMdi().Bottom;
    const int width = GetSystemMetrics(SM_CXMINIMIZED), height = GetSystemMetrics(SM_CYMINIMIZED);
    EXPECT_EQ(second->BoundsRect(), Bounds(0, bottom - height, width, height));
    EXPECT_EQ(first->BoundsRect(), Bounds(width, bottom - height, width, height));
    // A minimised child is all title bar: its minimise button restores.
    const int b = GetSystemMetrics(SM_CXDLGFRAME);
    const TCaptionButtons small = CaptionButtonRects({b, b, width - b, height - b}, false);
    EXPECT_EQ(HitTest(first, {50, 2}), HTCAPTION);
    EXPECT_EQ(HitTest(first, Centre(small.Min)), HTMINBUTTON);
    // A double click on the caption brings each back as it was, and so does
    // showing it again.
    DoubleClickAt(second->Handle(), {50, height / 2});
    EXPECT_EQ(second->WindowState(), wsMaximized);
    second->Hide();
    second->Show();
    EXPECT_EQ(second->WindowState(), wsMaximized);
    ClickAt(first->Handle(), Centre(small.Min));
    EXPECT_EQ(first->WindowState(), wsNormal);
    EXPECT_EQ(first->BoundsRect(), Bounds(10, 10, 300, 200));
}

TEST(UiMdiChild, DoubleClickOnTheCaptionMaximisesAndTheClientResizeFollows) {
    MdiFrame w;
    TForm* child = w.NewChild("文档", Bounds(20, 20, 300, 200));
    DoubleClickAt(child->Handle(), {150, 10});
    EXPECT_EQ(child->WindowState(), wsMaximized);
    w.Frame->SetBounds(0, 0, 560, 400);
    ProcessMessages();
    EXPECT_EQ(child->ClientWidth(), w.ClientOfMdi().Width());
    EXPECT_EQ(child->ClientHeight(), w.ClientOfMdi().Height());
}

} // namespace

namespace {

// Stands in for the person at a popup menu: notes what it shows and where,
// and chooses the item of a caption (none when Choose is empty).
struct MenuChooser {
    std::string Choose;
    std::vector<std::string> Captions; // with the shortcut after a tab
    std::string Enabled;               // the marked letters of the enabled items
    TPoint At{};
    int Opened = 0;
    std::vector<Word> KeysAfter; // typed once the menu has closed
    TMenuTracker Previous;

    MenuChooser() {
        Previous = SetMenuTracker([this](TMenuItem* parent, TPoint at) -> TMenuItem* {
            ++Opened;
            At = at;
            Captions.clear();
            Enabled.clear();
            TMenuItem* chosen = nullptr;
            for (int i = 0; i < parent->Count(); ++i) {
                TMenuItem* item = parent->Items(i);
                std::string caption = item->Caption();
                if (item->ShortCut() != scNone) caption += "\t" + ShortCutToText(item->ShortCut());
                Captions.push_back(caption);
                if (const auto mark = caption.find('&'); mark != std::string::npos && item->Enabled())
                    Enabled += caption[mark + 1];
                if (item->Caption() == Choose) chosen = item;
            }
            for (Word key : KeysAfter) {
                PostMessage(GetFocus(), WM_KEYDOWN, key, 0);
                // Enter and Esc bring their characters, as typing does.
                if (key == VK_RETURN || key == VK_ESCAPE) PostMessage(GetFocus(), WM_CHAR, key, 0);
            }
            KeysAfter.clear();
            return chosen;
        });
    }
    ~MenuChooser() { SetMenuTracker(std::move(Previous)); }
};

// Types a key into the control that has the focus.
void TypeToFocus(Word key, WPARAM keys, const std::string& text = "") {
    ASSERT_NE(FocusedControl(), nullptr);
    Type(FocusedControl(), key, text, keys);
}

TPoint ScreenOf(HWND wnd, TPoint windowPoint) {
    TRect window;
    GetWindowRect(wnd, window);
    return {window.Left + windowPoint.X, window.Top + windowPoint.Y};
}

} // namespace

TEST(UiMdiChild, SystemMenuOffersWhatTheStateAndTheStylesAllow) {
    MdiFrame w;
    TForm* fixed = w.NewChild("固定", Bounds(40, 40, 300, 200), bsSingle, {biSystemMenu, biMinimize});
    TForm* sizable = w.NewChild("可调");
    MenuChooser chooser;
    TypeToFocus(VK_OEM_MINUS, MK_ALT, "-");
    ASSERT_EQ(chooser.Opened, 1);
    EXPECT_EQ(chooser.Captions, (std::vector<std::string>{"还原(&R)", "移动(&M)", "大小(&S)", "最小化(&N)",
                                                          "最大化(&X)", "-", "关闭(&C)\tCtrl+F4"}));
    const CaptionGeometry g = GeometryOf(sizable);
    EXPECT_EQ(chooser.At, ScreenOf(sizable->Handle(), {g.Bar.Left, g.Bar.Bottom})) << "under the icon";
    struct Case {
        TForm* Form;
        TWindowState State;
        const char* Enabled;
    } cases[] = {
        {sizable, wsNormal, "MSNXC"}, {sizable, wsMaximized, "RNC"}, {sizable, wsMinimized, "RMXC"},
        {fixed, wsNormal, "MNC"},     {fixed, wsMinimized, "RMC"},
    };
    for (const Case& c : cases) {
        c.Form->BringToFront();
        c.Form->SetWindowState(c.State);
        ProcessMessages();
        ASSERT_EQ(w.Frame->ActiveMDIChild(), c.Form);
        const int before = chooser.Opened;
        TypeToFocus(VK_OEM_MINUS, MK_ALT, "-");
        EXPECT_EQ(chooser.Opened, before + 1) << c.Form->Caption() << " " << c.State;
        EXPECT_EQ(chooser.Enabled, c.Enabled) << c.Form->Caption() << " " << c.State;
        c.Form->SetWindowState(wsNormal);
        ProcessMessages();
    }
}

TEST(UiMdiChild, SystemMenuOpensFromTheIconAndItsItemsSendTheirCommands) {
    MdiFrame w;
    TForm* child = w.NewChild("申报书", Bounds(30, 30, 300, 200));
    int queries = 0;
    bool allow = false;
    child->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = allow;
    };
    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    const CaptionGeometry g = GeometryOf(child);
    const TPoint icon{g.Bar.Left + 4, g.Bar.Top + 4};
    MenuChooser chooser;
    chooser.Choose = "最大化(&X)";
    ClickAt(child->Handle(), icon);
    EXPECT_EQ(chooser.Opened, 1);
    EXPECT_EQ(child->WindowState(), wsMaximized);
    // Maximised, its icon sits at the left of the frame's menu bar, before the items.
    const TRect bar = w.MenuBar();
    EXPECT_EQ(HitTest(w.Frame, {bar.Left + 4, bar.Top + 4}), HTMENU);
    chooser.Choose = "还原(&R)";
    ClickAt(w.Frame->Handle(), {bar.Left + 4, bar.Top + 4});
    EXPECT_EQ(chooser.Opened, 2);
    EXPECT_EQ(chooser.At, ScreenOf(w.Frame->Handle(), {bar.Left, bar.Bottom}));
    EXPECT_EQ(child->WindowState(), wsNormal);
    // Close asks OnCloseQuery.
    chooser.Choose = "关闭(&C)";
    ClickAt(child->Handle(), icon);
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(w.Frame->MDIChildCount(), 1);
    allow = true;
    ClickAt(child->Handle(), icon);
    ProcessMessages();
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(w.Frame->MDIChildCount(), 0);
}

// A focusable control that counts the characters typed into it.
class CharacterCounter : public TCustomControl {
public:
    explicit CharacterCounter(TComponent* Owner) : TCustomControl(Owner) { SetTabStop(true); }
    int Characters = 0;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_CHAR) ++Characters;
        TCustomControl::WndProc(Message);
    }
};

TEST(UiMdiChild, SystemMenuMoveAndSizeFollowTheArrowKeys) {
    MdiFrame w;
    TForm* child = w.NewChild("文档", Bounds(20, 20, 300, 200));
    auto* typing = new CharacterCounter(child);
    typing->SetParent(child);
    typing->SetBounds(8, 8, 120, 60);
    typing->SetFocus();
    MenuChooser chooser;
    chooser.Choose = "移动(&M)";
    chooser.KeysAfter = {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN};
    TypeToFocus(VK_OEM_MINUS, MK_ALT, "-");
    EXPECT_EQ(child->BoundsRect(), Bounds(36, 28, 300, 200));
    // Sizing: the first arrow picks the edge, the next ones move it.
    chooser.Choose = "大小(&S)";
    chooser.KeysAfter = {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_UP, VK_RETURN};
    TypeToFocus(VK_OEM_MINUS, MK_ALT, "-");
    EXPECT_EQ(child->BoundsRect(), Bounds(36, 28, 316, 200));
    // Esc puts it back.
    chooser.KeysAfter = {VK_DOWN, VK_DOWN, VK_DOWN, VK_ESCAPE};
    TypeToFocus(VK_OEM_MINUS, MK_ALT, "-");
    EXPECT_EQ(child->BoundsRect(), Bounds(36, 28, 316, 200));
    // The Enter or Esc that ended each loop typed nothing into the control.
    EXPECT_EQ(typing->Characters, 0);
}

TEST(UiMdiChild, SecondPressOfADoubleClickOnTheIconClosesTheMenuItOpenedAndTheChild) {
    MdiFrame w;
    TForm* child = w.NewChild("文档");
    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    const CaptionGeometry g = GeometryOf(child);
    MenuChooser chooser; // the menu closes unchosen, as a press outside it does
    ClickAt(child->Handle(), {g.Bar.Left + 4, g.Bar.Top + 4});
    ASSERT_EQ(w.Frame->MDIChildCount(), 1);
    ClickAt(child->Handle(), {g.Bar.Left + 4, g.Bar.Top + 4});
    ProcessMessages();
    EXPECT_EQ(chooser.Opened, 1);
    EXPECT_EQ(w.Frame->MDIChildCount(), 0);
    // So does a double click on a maximised child's icon in the menu bar.
    TForm* maximised = w.NewChild("报表");
    maximised->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    maximised->SetWindowState(wsMaximized);
    ProcessMessages();
    const TRect bar = w.MenuBar();
    DoubleClickAt(w.Frame->Handle(), {bar.Left + 4, bar.Top + 4});
    ProcessMessages();
    EXPECT_EQ(chooser.Opened, 2);
    EXPECT_EQ(w.Frame->MDIChildCount(), 0);
}

TEST(UiMdiChild, CtrlF4ClosesTheActiveChildAndCtrlF6GoesThroughThemAll) {
    MdiFrame w;
    TForm* first = w.NewChild("第一", Bounds(10, 10, 300, 200));
    TForm* second = w.NewChild("第二", Bounds(40, 40, 300, 200));
    TForm* third = w.NewChild("第三", Bounds(70, 70, 300, 200));
    for (TForm* child : {first, second, third}) {
        auto* edit = new TEdit(child);
        edit->SetParent(child);
        child->SetActiveControl(edit);
    }
    struct Step {
        Word Key;
        WPARAM Keys;
        TForm* Active;
    } steps[] = {
        {VK_F6, MK_CONTROL, second},           {VK_F6, MK_CONTROL, first},  {VK_F6, MK_CONTROL, third},
        {VK_F6, MK_CONTROL | MK_SHIFT, first}, {VK_TAB, MK_CONTROL, third}, {VK_TAB, MK_CONTROL | MK_SHIFT, first},
    };
    for (const Step& s : steps) {
        TypeToFocus(s.Key, s.Keys);
        EXPECT_EQ(w.Frame->ActiveMDIChild(), s.Active) << s.Active->Caption();
        EXPECT_EQ(GetParentForm(FocusedControl()), s.Active) << s.Active->Caption();
    }
    // A shortcut of the child's own comes first.
    auto* menu = new TMainMenu(first);
    auto* item = new TMenuItem(first);
    item->SetCaption("保存");
    item->SetShortCut(ShortCut(VK_F4, {ssCtrl}));
    int saves = 0;
    item->OnClick = [&](TObject*) { ++saves; };
    menu->Items()->Add(item);
    first->SetMenu(menu);
    TypeToFocus(VK_F4, MK_CONTROL);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(w.Frame->MDIChildCount(), 3);
    first->SetMenu(nullptr);
    int queries = 0;
    first->OnCloseQuery = [&](TObject*, bool&) { ++queries; };
    first->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    TypeToFocus(VK_F4, MK_CONTROL);
    ProcessMessages();
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(w.Frame->MDIChildCount(), 2);
    EXPECT_NE(w.Frame->ActiveMDIChild(), nullptr);
}

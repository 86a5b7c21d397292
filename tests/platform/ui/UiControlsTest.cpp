// A form built in code with the controls the program's windows use (edit,
// masked edit, combo box, check boxes in a group, page control, tool bar,
// status bar, menu), driven with real keys and clicks; an MDI frame whose
// menu merges the active child's; a Chinese form rendered headless.
#include "UiTestSupport.h"

#include "platform/ui/testhooks/ModalTestHooks.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

template <class T> T* Make(TComponent* owner, TWinControl* parent, TRect bounds) {
    auto* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    return c;
}

// The kind of window the program's document forms are: menu, tool bar,
// pages of fields, status bar.
struct DemoForm {
    TForm* Form = nullptr;
    TMainMenu* Menu = nullptr;
    TMenuItem* FileMenu = nullptr;
    TMenuItem* SaveItem = nullptr;
    TActionList* Actions = nullptr;
    TAction* SaveAction = nullptr;
    TToolBar* ToolBar = nullptr;
    TToolButton* SaveButton = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPageControl* Pages = nullptr;
    TTabSheet* Sheet1 = nullptr;
    TTabSheet* Sheet2 = nullptr;
    TEdit* Name = nullptr;
    TMaskEdit* Year = nullptr;
    TMaskEdit* YearMonth = nullptr;
    TComboBox* Kind = nullptr;
    TGroupBox* Group = nullptr;
    TCheckBox* Check1 = nullptr;
    TCheckBox* Check2 = nullptr;
    TLabel* NameLabel = nullptr;
    TMemo* Notes = nullptr;
    int Saves = 0;

    DemoForm() {
        CreateFormInstance(Form, nullptr);
        TComponentLoading loading(Form);
        Form->SetCaption("项目申报");
        Form->SetBounds(50, 50, 560, 400);
        Form->Font()->SetName("宋体");
        Form->Font()->SetHeight(-12);
        Form->SetKeyPreview(true);

        Actions = new TActionList(Form);
        SaveAction = new TAction(Form);
        SaveAction->SetActionList(Actions);
        SaveAction->SetCaption("保存(&S)");
        SaveAction->SetShortCut(ShortCut('S', {ssCtrl}));
        SaveAction->OnExecute = [this](TObject*) { ++Saves; };

        Menu = new TMainMenu(Form);
        FileMenu = new TMenuItem(Form);
        FileMenu->SetCaption("文件(&F)");
        Menu->Items()->Add(FileMenu);
        SaveItem = new TMenuItem(Form);
        SaveItem->SetAction(SaveAction);
        FileMenu->Add(SaveItem);
        Form->SetMenu(Menu);

        ToolBar = Make<TToolBar>(Form, Form, Rect(0, 0, 560, 29));
        ToolBar->SetFlat(true);
        ToolBar->SetShowCaptions(true);
        ToolBar->SetList(true);
        SaveButton = Make<TToolButton>(Form, ToolBar, Rect(0, 0, 60, 22));
        SaveButton->SetAction(SaveAction);

        StatusBar = Make<TStatusBar>(Form, Form, Rect(0, 0, 560, 19));
        for (int w : {200, 200, 100})
            StatusBar->Panels()->Add()->SetWidth(w);
        StatusBar->Panels()->Items(0)->SetText("当前用户：abc");

        Pages = Make<TPageControl>(Form, Form, Rect(0, 0, 100, 100));
        Pages->SetAlign(alClient);
        Sheet1 = new TTabSheet(Form);
        Sheet1->SetPageControl(Pages);
        Sheet1->SetCaption("基本信息");
        Sheet2 = new TTabSheet(Form);
        Sheet2->SetPageControl(Pages);
        Sheet2->SetCaption("其他");

        NameLabel = Make<TLabel>(Form, Sheet1, Rect(8, 12, 80, 24));
        NameLabel->SetCaption("项目名称(&N)：");
        Name = Make<TEdit>(Form, Sheet1, Rect(100, 8, 300, 29));
        NameLabel->SetFocusControl(Name);
        Year = Make<TMaskEdit>(Form, Sheet1, Rect(100, 36, 180, 57));
        Year->SetEditMask("9999年;0;_");
        YearMonth = Make<TMaskEdit>(Form, Sheet1, Rect(190, 36, 300, 57));
        YearMonth->SetEditMask("9999年99月;0;_");
        Kind = Make<TComboBox>(Form, Sheet1, Rect(100, 64, 250, 85));
        Kind->SetStyle(csDropDownList);
        for (const char* k : {"企业", "高校", "科研院所"})
            Kind->Items()->Add(k);
        Group = Make<TGroupBox>(Form, Sheet1, Rect(8, 96, 300, 170));
        Group->SetCaption("企业性质");
        Check1 = Make<TCheckBox>(Form, Group, Rect(10, 20, 120, 37));
        Check1->SetCaption("国有");
        Check2 = Make<TCheckBox>(Form, Group, Rect(10, 44, 120, 61));
        Check2->SetCaption("民营");
        Notes = Make<TMemo>(Form, Sheet2, Rect(8, 8, 300, 100));
    }
    ~DemoForm() { delete Form; }
};

// A point of a form's menu bar in window coordinates: X pixels from the
// bar's left end, halfway down the bar.
TPoint InMenuBar(TForm* form, int x) {
    const TPoint origin = form->ClientToScreen(Point(0, 0));
    TRect window;
    GetWindowRect(form->Handle(), window);
    return Point(origin.X - window.Left + x, origin.Y - window.Top - 5);
}

COLORREF PixelAt(TWinControl* control, TPoint p) {
    const uint32_t rgb = platform_ui::test::BackingPixel(control->Handle(), p.X, p.Y);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

TEST(UiControls, LayoutPutsBarsAtTheEdgesAndPagesBetween) {
    DemoForm d;
    d.Form->Show();
    const TRect client = d.Form->ClientRect();
    EXPECT_EQ(d.ToolBar->Top(), 0);
    EXPECT_EQ(d.ToolBar->Width(), client.Width());
    EXPECT_EQ(d.StatusBar->Top() + d.StatusBar->Height(), client.Height());
    EXPECT_EQ(d.Pages->Top(), d.ToolBar->Height());
    EXPECT_EQ(d.Pages->Top() + d.Pages->Height(), d.StatusBar->Top());
    EXPECT_TRUE(d.Sheet1->Visible());
    EXPECT_FALSE(d.Sheet2->Visible());
    EXPECT_EQ(d.SaveButton->Caption(), "保存(&S)"); // from the action
    EXPECT_EQ(d.SaveItem->Caption(), "保存(&S)");
    // The last status panel takes what is left.
    EXPECT_EQ(d.StatusBar->PanelRect(2).Left, 400);
}

TEST(UiControls, MaskedEditsKeepOnlyTheTypedCharacters) {
    DemoForm d;
    d.Form->Show();
    d.Year->SetFocus();
    TypeText(d.Year, "2024");
    EXPECT_EQ(d.Year->EditText(), "2024年");
    EXPECT_EQ(d.Year->Text(), "2024");
    d.YearMonth->SetFocus();
    TypeText(d.YearMonth, "202403");
    EXPECT_EQ(d.YearMonth->EditText(), "2024年03月");
    EXPECT_EQ(d.YearMonth->Text(), "202403");
    // Letters do not fit a digit position.
    d.YearMonth->SetText("");
    d.YearMonth->SetSelStart(0);
    TypeText(d.YearMonth, "2a0");
    EXPECT_EQ(d.YearMonth->Text(), "20");
    // Text set by code fills the input positions around the literals.
    d.YearMonth->SetText("199912");
    EXPECT_EQ(d.YearMonth->EditText(), "1999年12月");
    EXPECT_EQ(d.YearMonth->ImeMode(), imDisable);
    EXPECT_EQ(d.Name->ImeMode(), imDontCare);
}

TEST(UiControls, MaskTextWithoutLiteralsAndRequiredPositions) {
    struct Case {
        const char* Mask;
        const char* Text;
        const char* Shown;
        const char* Back;
    };
    const Case cases[] = {
        {"9999年;0;_", "2024", "2024年", "2024"},
        {"9999年99月;0;_", "2024", "2024年__月", "2024"},
        {"9999-99;1;_", "2024-05", "2024-05", "2024-05"},
        {"!>LL-000;0;*", "ab123", "AB-123", "AB123"},
    };
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    for (const Case& c : cases) {
        auto* edit = new TMaskEdit(form);
        edit->SetParent(form);
        edit->SetEditMask(c.Mask);
        edit->SetText(c.Text);
        EXPECT_EQ(edit->EditText(), c.Shown) << c.Mask;
        EXPECT_EQ(edit->Text(), c.Back) << c.Mask;
    }
    // A required digit left empty refuses the value.
    auto* required = new TMaskEdit(form);
    required->SetParent(form);
    required->SetEditMask("0000;0;_");
    required->SetText("12");
    EXPECT_THROW(required->ValidateEdit(), EDBEditError);
    required->SetText("1234");
    EXPECT_NO_THROW(required->ValidateEdit());
    delete form;
}

TEST(UiControls, KeysAndClicksDriveTheWholeForm) {
    DialogRecorder boxes;
    DemoForm d;
    std::vector<std::string> events;
    d.Group->OnExit = [&](TObject*) { events.push_back("group exit"); };
    d.Check1->OnClick = [&](TObject*) { events.push_back("check1 click"); };
    d.Kind->OnChange = [&](TObject*) { events.push_back("kind " + d.Kind->Text()); };
    // Enter moves on, as in the program's editing windows.
    d.Form->OnKeyPress = [&](TObject*, char32_t& key) {
        if (key == U'\r') {
            d.Form->SelectNext(d.Form->ActiveControl(), true, true);
            key = 0;
        }
    };
    d.Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        if (key == VK_RETURN) key = 0;
    };
    d.Form->Show();
    d.Name->SetFocus();
    TypeText(d.Name, "abc");
    EXPECT_EQ(d.Name->Text(), "abc");
    Type(d.Name, VK_RETURN, "\r");
    EXPECT_EQ(FocusedControl(), d.Year);
    Type(d.Year, VK_TAB);
    Type(d.YearMonth, VK_TAB);
    EXPECT_EQ(FocusedControl(), d.Kind);
    Type(d.Kind, VK_DOWN);
    EXPECT_EQ(d.Kind->ItemIndex(), 0);
    Type(d.Kind, VK_TAB);
    EXPECT_EQ(FocusedControl(), d.Check1);
    Type(d.Check1, VK_SPACE, " ");
    EXPECT_TRUE(d.Check1->Checked());
    Type(d.Check1, VK_TAB);
    Type(d.Check2, VK_TAB);      // leaves the group
    d.Check1->SetChecked(false); // by code: OnClick too
    EXPECT_EQ(events, (std::vector<std::string>{"kind 企业", "check1 click", "group exit", "check1 click"}));
    // A shortcut of an action fires from any control of the form.
    d.Name->SetFocus();
    Type(d.Name, 'S', "", MK_CONTROL);
    EXPECT_EQ(d.Saves, 1);
    // A click on the tool button runs the same action.
    Click(d.ToolBar, Point(d.SaveButton->Left() + 5, d.SaveButton->Top() + 5));
    EXPECT_EQ(d.Saves, 2);
    // Clicking the second tab shows the second page; OnShow of the sheet runs.
    int shown = 0;
    d.Sheet2->OnShow = [&](TObject*) { ++shown; };
    const TRect tab = d.Pages->TabRect(1);
    Click(d.Pages, Point(tab.Left + 4, tab.Top + 4));
    EXPECT_EQ(d.Pages->ActivePage(), d.Sheet2);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(d.Sheet1->Visible());
    // The label's accelerator focuses its edit from the other page's memo... after coming back.
    d.Pages->SetActivePageIndex(0);
    d.Kind->SetFocus();
    Type(d.Kind, 'N', "n", MK_ALT);
    EXPECT_EQ(FocusedControl(), d.Name);
    EXPECT_TRUE(boxes.Requests.empty());
}

TEST(UiControls, DisabledActionKeepsItsShortcutFromRunning) {
    DemoForm d;
    d.SaveAction->OnUpdate = [&](TObject*) { d.SaveAction->SetEnabled(false); };
    d.Form->Show();
    d.Name->SetFocus();
    Type(d.Name, 'S', "", MK_CONTROL);
    EXPECT_EQ(d.Saves, 0);
    EXPECT_FALSE(d.SaveButton->Enabled());
    EXPECT_FALSE(d.SaveItem->Enabled());
}

namespace {

struct MdiWorld {
    TForm* Frame = nullptr;
    TMainMenu* FrameMenu = nullptr;
    TMenuItem* FileItem = nullptr;
    TMenuItem* HelpItem = nullptr;
    TAction* OpenAction = nullptr;
    int Opens = 0;

    MdiWorld() {
        Application->CreateForm(Frame);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetCaption("Corvanta2.0");
        Frame->SetBounds(0, 0, 640, 480);
        FrameMenu = new TMainMenu(Frame);
        FileItem = new TMenuItem(Frame);
        FileItem->SetCaption("文件(&A)");
        FileItem->SetGroupIndex(0);
        HelpItem = new TMenuItem(Frame);
        HelpItem->SetCaption("帮助(&H)");
        HelpItem->SetGroupIndex(9);
        FrameMenu->Items()->Add(FileItem);
        FrameMenu->Items()->Add(HelpItem);
        auto* actions = new TActionList(Frame);
        OpenAction = new TAction(Frame);
        OpenAction->SetActionList(actions);
        OpenAction->SetShortCut(ShortCut(VK_F3, {}));
        OpenAction->OnExecute = [this](TObject*) { ++Opens; };
        Frame->SetMenu(FrameMenu);
        Frame->Show();
    }
    ~MdiWorld() { delete Frame; }

    TForm* NewChild(const std::string& caption, std::vector<std::string> menus) {
        TForm* child = nullptr;
        CreateFormInstance(child, Frame);
        child->SetFormStyle(fsMDIChild);
        child->SetCaption(caption);
        auto* menu = new TMainMenu(child);
        for (const auto& m : menus) {
            auto* item = new TMenuItem(child);
            item->SetCaption(m);
            item->SetGroupIndex(3);
            menu->Items()->Add(item);
        }
        child->SetMenu(menu);
        auto* edit = new TEdit(child);
        edit->SetParent(child);
        child->Show();
        edit->SetFocus();
        return child;
    }
};

std::vector<std::string> Captions(TMenu* menu) {
    std::vector<std::string> out;
    for (TMenuItem* item : menu->ShownItems())
        out.push_back(item->Caption());
    return out;
}

} // namespace

TEST(UiControls, MdiChildMenuMergesByGroupIndexWhileActive) {
    MdiWorld w;
    EXPECT_EQ(Captions(w.FrameMenu), (std::vector<std::string>{"文件(&A)", "帮助(&H)"}));
    TForm* request = w.NewChild("项目申报", {"项目申报", "维护"});
    EXPECT_EQ(w.Frame->MDIChildCount(), 1);
    EXPECT_EQ(w.Frame->ActiveMDIChild(), request);
    EXPECT_EQ(Captions(w.FrameMenu), (std::vector<std::string>{"文件(&A)", "项目申报", "维护", "帮助(&H)"}));
    TForm* check = w.NewChild("中期检查表", {"中期检查"});
    EXPECT_EQ(w.Frame->MDIChildCount(), 2);
    EXPECT_EQ(w.Frame->MDIChildren(0), check);
    EXPECT_EQ(Captions(w.FrameMenu), (std::vector<std::string>{"文件(&A)", "中期检查", "帮助(&H)"}));
    // The frame's shortcuts fire while a child has the focus.
    Type(FocusedControl(), VK_F3);
    EXPECT_EQ(w.Opens, 1);
    // Closing a child frees it (its OnClose says so) and the other one's menu comes back.
    check->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    check->Close();
    ProcessMessages();
    EXPECT_EQ(w.Frame->MDIChildCount(), 1);
    EXPECT_EQ(w.Frame->ActiveMDIChild(), request);
    EXPECT_EQ(Captions(w.FrameMenu), (std::vector<std::string>{"文件(&A)", "项目申报", "维护", "帮助(&H)"}));
    delete request;
    EXPECT_EQ(Captions(w.FrameMenu), (std::vector<std::string>{"文件(&A)", "帮助(&H)"}));
}

TEST(UiControls, ChineseFormRendersToAnImage) {
    DemoForm d;
    d.Name->SetText("城市科技计划项目");
    d.Check1->SetChecked(true);
    d.Form->Show();
    ProcessMessages();
    const auto dir = std::filesystem::temp_directory_path() / "corvanta-ui";
    std::filesystem::create_directories(dir);
    const auto file = dir / "demo-form.png";
    ASSERT_TRUE(d.Form->SaveImage(file.string()));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

TEST(UiControls, ActionsOnScreenUpdateWhileTheProgramWaits) {
    DemoForm d;
    bool canSave = false;
    int updates = 0;
    d.SaveAction->OnUpdate = [&](TObject*) {
        ++updates;
        d.SaveAction->SetEnabled(canSave);
    };
    d.Form->Show();
    WaitABit();
    EXPECT_GT(updates, 0);
    EXPECT_FALSE(d.SaveButton->Enabled());
    canSave = true;
    WaitABit();
    EXPECT_TRUE(d.SaveButton->Enabled());
    EXPECT_TRUE(d.SaveItem->Enabled());
}

// Moving a button or a menu item to another action leaves the first one's
// changes and its end behind; the end of the new one unlinks the client.
TEST(UiControls, ARelinkedClientFollowsOnlyItsNewAction) {
    TButton button(nullptr);
    TMenuItem item(nullptr);
    auto first = std::make_unique<TAction>(nullptr);
    auto second = std::make_unique<TAction>(nullptr);
    first->SetCaption("打开");
    second->SetCaption("保存");
    auto relink = [&](auto& client) {
        client.SetAction(first.get());
        client.SetAction(second.get());
        first->SetCaption("另存为");
        EXPECT_EQ(client.Caption(), "保存");
        second->SetCaption("全部保存");
        EXPECT_EQ(client.Caption(), "全部保存");
        second->SetCaption("保存");
    };
    relink(button);
    relink(item);
    first.reset();
    EXPECT_EQ(button.Action(), second.get());
    EXPECT_EQ(item.Action(), second.get());
    second.reset();
    EXPECT_EQ(button.Action(), nullptr);
    EXPECT_EQ(item.Action(), nullptr);
}

TEST(UiControls, OwnerDrawnMenuBarItemsAreDrawnByTheirHook) {
    DemoForm d;
    d.Menu->SetOwnerDraw(true);
    d.FileMenu->OnMeasureItem = [](TObject*, TCanvas*, int& width, int&) { width = 80; };
    d.FileMenu->OnDrawItem = [](TObject*, TCanvas* canvas, TRect rect, bool) {
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(rect);
    };
    d.Form->Show();
    d.Form->Repaint();
    EXPECT_EQ(PixelAt(d.Form, InMenuBar(d.Form, 40)), ColorToRGB(clRed));
    EXPECT_NE(PixelAt(d.Form, InMenuBar(d.Form, 120)), ColorToRGB(clRed));
}

TEST(UiControls, DrawMenuBarPaintsTheBarWithItsNewDrawing) {
    DemoForm d;
    d.Form->Show();
    d.Form->Repaint();
    EXPECT_NE(PixelAt(d.Form, InMenuBar(d.Form, 10)), ColorToRGB(clRed));
    d.Menu->SetOwnerDraw(true);
    d.FileMenu->OnDrawItem = [](TObject*, TCanvas* canvas, TRect rect, bool) {
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(rect);
    };
    UpdateWindow(d.Form->Handle());
    EXPECT_NE(PixelAt(d.Form, InMenuBar(d.Form, 10)), ColorToRGB(clRed)) << "the bar stays as it was painted";
    DrawMenuBar(d.Form->Handle());
    UpdateWindow(d.Form->Handle());
    EXPECT_EQ(PixelAt(d.Form, InMenuBar(d.Form, 10)), ColorToRGB(clRed));
}

TEST(UiControls, AToolBarsCustomDrawingTakesThePlaceOfItsButtons) {
    DemoForm d;
    std::vector<TCustomDrawState> states;
    bool defaultDraw = false;
    d.ToolBar->OnCustomDrawButton = [&](TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& drawn) {
        states.push_back(state);
        bar->Canvas()->Brush()->SetColor(clRed);
        bar->Canvas()->FillRect(button->BoundsRect());
        drawn = defaultDraw;
    };
    d.ToolBar->SetFlat(false); // a raised face covers the whole button
    d.Form->Show();
    const TRect r = d.SaveButton->BoundsRect();
    const auto pixel = [&] {
        d.ToolBar->Repaint();
        return platform_ui::test::RenderedPixel(d.ToolBar->Handle(), r.Left + 2, r.Top + 2);
    };
    EXPECT_EQ(pixel(), 0xFF0000u) << "drawn by the handler alone";
    ASSERT_FALSE(states.empty());
    EXPECT_FALSE(states.back().Contains(cdsHot));
    defaultDraw = true;
    EXPECT_NE(pixel(), 0xFF0000u) << "the bar draws its button over the handler's drawing";
    d.SaveButton->SetEnabled(false);
    pixel();
    EXPECT_TRUE(states.back().Contains(cdsDisabled));
}

TEST(UiControls, PopupMenuRunsOnPopupThenTheChosenItem) {
    DemoForm d;
    auto* popup = new TPopupMenu(d.Form);
    auto* first = new TMenuItem(d.Form);
    first->SetCaption("导出项目");
    auto* second = new TMenuItem(d.Form);
    second->SetCaption("导入项目");
    popup->Items()->Add(first);
    popup->Items()->Add(second);
    std::vector<std::string> events;
    popup->OnPopup = [&](TObject*) { events.push_back("popup"); };
    second->OnClick = [&](TObject*) { events.push_back("import"); };
    d.Name->SetPopupMenu(popup);
    TMenuTracker previous = SetMenuTracker([&](TMenuItem* parent, TPoint) {
        events.push_back("shown " + std::to_string(parent->Count()));
        return parent->Items(1);
    });
    d.Form->Show();
    // A right click asks for the context menu of the control under it.
    SendQtMouse(d.Name->Handle(), TMouseEventKind::Press, {5, 5}, MK_RBUTTON, MK_RBUTTON);
    SendQtMouse(d.Name->Handle(), TMouseEventKind::Release, {5, 5}, MK_RBUTTON, 0);
    ProcessMessages();
    SetMenuTracker(previous);
    EXPECT_EQ(events, (std::vector<std::string>{"popup", "shown 2", "import"}));
}

TEST(UiControls, AltAndALetterOpensTheMenuThatMarksIt) {
    DemoForm d;
    std::vector<std::string> shown;
    TMenuTracker previous = SetMenuTracker([&](TMenuItem* parent, TPoint) -> TMenuItem* {
        shown.push_back(parent->Caption());
        return parent->Items(0);
    });
    d.Form->Show();
    d.Kind->SetFocus();
    Type(d.Kind, 'F', "f", MK_ALT);
    SetMenuTracker(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"文件(&F)"}));
    EXPECT_EQ(d.Saves, 1); // the chosen item ran its action
    // A control's accelerator comes before the menu's.
    Type(d.Kind, 'N', "n", MK_ALT);
    EXPECT_EQ(FocusedControl(), d.Name);
    EXPECT_EQ(shown.size(), 1u);
}

TEST(UiControls, AltAndALetterClicksTheToolButtonThatMarksIt) {
    DemoForm d;
    d.Form->Show();
    d.Name->SetFocus();
    Type(d.Name, 'S', "s", MK_ALT);
    EXPECT_EQ(d.Saves, 1);
    d.SaveAction->SetEnabled(false);
    Type(d.Name, 'S', "s", MK_ALT);
    EXPECT_EQ(d.Saves, 1) << "a disabled button is not clicked";
    EXPECT_EQ(d.Name->Text(), "");
}

TEST(UiControls, SelectedTabStandsRaisedAndJoinsItsPage) {
    DemoForm d;
    d.Form->Show();
    d.Pages->Repaint();
    const auto pixel = [&](int x, int y) { return PixelAt(d.Pages, Point(x, y)); };
    const TRect selected = d.Pages->TabRect(0), other = d.Pages->TabRect(1);
    const int pageTop = other.Bottom; // where an unselected tab stands on the page's edge
    const int selectedMiddle = (selected.Left + selected.Right) / 2, otherMiddle = (other.Left + other.Right) / 2;
    // Taller than its neighbour: its top edge lies above the other's.
    EXPECT_EQ(pixel(selectedMiddle, selected.Top - 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(otherMiddle, other.Top - 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(otherMiddle, other.Top), GetSysColor(COLOR_BTNHIGHLIGHT));
    // The page's light top edge runs under the other tab but not under the selected one.
    EXPECT_EQ(pixel(otherMiddle, pageTop + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(selectedMiddle, pageTop + 1), GetSysColor(COLOR_BTNFACE));
    // Its dark right edge stays whole beside the next tab, down into the page's edge.
    EXPECT_EQ(pixel(selected.Right + 1, pageTop - 3), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(pixel(selected.Right + 1, pageTop + 1), GetSysColor(COLOR_3DDKSHADOW));

    d.Pages->SetActivePage(d.Sheet2);
    d.Pages->Repaint();
    EXPECT_EQ(pixel(selectedMiddle, pageTop + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(otherMiddle, pageTop + 1), GetSysColor(COLOR_BTNFACE));
}

TEST(UiControls, AHiddenPageGivesBackItsImagesAndShowsWholeAgain) {
    using platform_ui::test::BackingImageBytes;
    using platform_ui::test::BackingPixels;
    DemoForm d;
    d.Form->Show();
    ProcessMessages();
    EXPECT_EQ(BackingImageBytes(d.Sheet2->Handle()), 0u) << "never shown, never painted";
    const std::vector<uint32_t> sheet = BackingPixels(d.Sheet1->Handle());
    const std::vector<uint32_t> group = BackingPixels(d.Group->Handle());

    d.Pages->SetActivePage(d.Sheet2);
    ProcessMessages();
    EXPECT_EQ(BackingImageBytes(d.Sheet1->Handle()), 0u);
    EXPECT_EQ(BackingImageBytes(d.Group->Handle()), 0u) << "the group box on the hidden page";
    EXPECT_GT(BackingImageBytes(d.Sheet2->Handle()), 0u);

    d.Pages->SetActivePage(d.Sheet1);
    ProcessMessages();
    EXPECT_EQ(BackingPixels(d.Sheet1->Handle()), sheet) << "painted in full again";
    EXPECT_EQ(BackingPixels(d.Group->Handle()), group);
}

TEST(UiControls, TheOpenMenusTitleIsPressedInTheBar) {
    DemoForm d;
    d.Form->Show();
    const TPoint edge = InMenuBar(d.Form, 0); // the first title's left edge
    COLORREF whileOpen = 0;
    TMenuTracker previous = SetMenuTracker([&](TMenuItem*, TPoint) -> TMenuItem* {
        whileOpen = PixelAt(d.Form, edge);
        return nullptr;
    });
    SendQtMouse(d.Form->Handle(), TMouseEventKind::Press, InMenuBar(d.Form, 5), MK_LBUTTON, MK_LBUTTON);
    SetMenuTracker(previous);
    EXPECT_EQ(whileOpen, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(d.Form, edge), GetSysColor(COLOR_MENU));
}

TEST(UiControls, AMenuOpenedFromTheKeyboardStartsOnItsFirstItem) {
    DemoForm d;
    d.Form->Show();
    d.Name->SetFocus();
    const HWND wnd = d.Form->Handle();
    const TPoint title = InMenuBar(d.Form, 5);
    const struct {
        const char* Name;
        std::function<void()> Open;
        std::string Highlighted;
    } cases[] = {
        {"Alt and the letter", [&] { Type(d.Name, 'F', "f", MK_ALT); }, "保存(&S)\tCtrl+S"},
        {"a click on the title", [&] { SendQtMouse(wnd, TMouseEventKind::Press, title, MK_LBUTTON, MK_LBUTTON); }, ""},
    };
    for (const auto& c : cases) {
        platform_ui::test::TShownMenu shown;
        platform_ui::test::CloseNextMenu(shown);
        c.Open();
        SendQtMouse(wnd, TMouseEventKind::Release, title, MK_LBUTTON, 0);
        ASSERT_TRUE(shown.Seen) << c.Name;
        EXPECT_EQ(shown.ActiveItem, c.Highlighted) << c.Name;
    }
    EXPECT_EQ(d.Saves, 0); // closed without a choice
}

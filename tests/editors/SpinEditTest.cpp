// The spin editor hosted in the test container and driven through real
// input: steps by keys, the wheel and the buttons within the range, typing
// filtered by the value type, validation, a button held down repeating, and
// the buttons painted from view data without a window.
#include "editors/SpinEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "editors/CalcEdit.h"
#include "editors/HyperLinkEdit.h"
#include "editors/TimeEdit.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

struct HostedSpinEdit : HostedEditor {
    TcvInplaceSpinEdit* Edit;
    HostedSpinEdit() : HostedEditor(TcvInplaceSpinEdit::StaticClass()) {
        Edit = static_cast<TcvInplaceSpinEdit*>(Editor);
    }
    // The middle of a button in the editor's window coordinates.
    TPoint ButtonPoint(int Button) {
        std::unique_ptr<TcvEditViewData> cell = Edit->CreateViewData(false);
        TcvEditViewInfo info;
        const auto& ops = static_cast<const TcvSpinEditClassOps&>(Edit->EditorClass());
        ops.CalcViewInfo(*cell, false, info);
        const TRect column = ops.ButtonColumn(info, *cell);
        const int quarter = column.Height() / 4;
        const int middle = (column.Top + column.Bottom) / 2;
        return {(column.Left + column.Right) / 2, Button == sbUp ? middle - quarter : middle + quarter};
    }
    void Mouse(TMouseEventKind Kind, TPoint At, WPARAM Keys) {
        SendQtMouse(Edit->Handle(), Kind, At, Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON, Keys);
        ProcessMessages();
    }
    void Press(int Button) {
        Mouse(TMouseEventKind::Move, ButtonPoint(Button), 0);
        Mouse(TMouseEventKind::Press, ButtonPoint(Button), MK_LBUTTON);
    }
    void Release(TPoint At) { Mouse(TMouseEventKind::Release, At, 0); }
};

TEST(SpinEdit, KeysAndTheWheelStepWithinTheRange) {
    struct Case {
        const char* Name;
        double Min, Max, Increment;
        int ValueType;
        bool CtrlIncrement;
        const char* Start;
        Word Key;      // 0: the wheel
        WPARAM Keys;   // held with the key
        int WheelDelta;
        const char* Text;
        int HostRow;
    };
    const Case cases[] = {
        {"Up by one", 0, 0, 1, svtInteger, false, "2", VK_UP, 0, 0, "3", 5},
        {"Up stops at the maximum", 0, 10, 3, svtInteger, false, "9", VK_UP, 0, 0, "10", 5},
        {"Down stops at the minimum", 0, 10, 3, svtInteger, false, "1", VK_DOWN, 0, 0, "0", 5},
        {"float steps", 0, 0, 0.5, svtFloat, false, "1.5", VK_UP, 0, 0, "2", 5},
        {"integer steps round halves to even", 0, 0, 0.5, svtInteger, false, "2", VK_UP, 0, 0, "2", 5},
        {"with Ctrl increment Up is the host's", 0, 0, 1, svtInteger, true, "2", VK_UP, 0, 0, "2", 4},
        {"with Ctrl increment Ctrl+Up steps", 0, 0, 1, svtInteger, true, "2", VK_UP, MK_CONTROL, 0, "3", 5},
        {"the wheel up", 0, 0, 1, svtInteger, false, "2", 0, 0, 120, "3", 5},
        {"the wheel down", 0, 0, 1, svtInteger, false, "2", 0, 0, -120, "1", 5},
    };
    for (const Case& c : cases) {
        HostedSpinEdit h;
        h.Edit->SetValueType(c.ValueType);
        h.Edit->SetMinMaxValues(c.Min, c.Max);
        h.Edit->SetIncrement(c.Increment);
        h.Edit->SetUseCtrlIncrement(c.CtrlIncrement);
        h.Open(c.Start);
        if (c.Key)
            Type(h.Edit, c.Key, "", c.Keys);
        else
            platform_ui::test::SendQtWheel(h.Edit->Handle(), {5, 5}, c.WheelDelta);
        ProcessMessages();
        EXPECT_EQ(h.Edit->Text(), c.Text) << c.Name;
        EXPECT_EQ(h.Host->Row, c.HostRow) << c.Name;
        EXPECT_EQ(h.Edit->GetModified(), c.HostRow == 5) << c.Name << ": a step marks the editor modified";
        EXPECT_EQ(h.Edit->PressedButton(), sbNone) << c.Name << ": the key's release ends the press";
    }
}

TEST(SpinEdit, AStepInAReadOnlyEditorBeeps) {
    HostedSpinEdit h;
    h.Open("4");
    h.Edit->SetReadOnly(true);
    DialogRecorder dialogs;
    Type(h.Edit, VK_UP);
    EXPECT_EQ(h.Edit->Text(), "4");
    EXPECT_EQ(dialogs.Count(TDialogKind::Beep), 1);
}

TEST(SpinEdit, TypingKeepsToTheValueType) {
    struct Case {
        const char* Name;
        int ValueType;
        bool EditorEnabled;
        const char* Typed;
        const char* Text;
        int Beeps;
    };
    const Case cases[] = {
        {"digits and signs", svtInteger, true, "-12+", "-12+", 0},
        {"letters refused", svtInteger, true, "1a2", "12", 1},
        {"no separator for integers", svtInteger, true, "1.5", "15", 1},
        {"both separators make the locale's for floats", svtFloat, true, "1,5", "1.5", 0},
        {"nothing typed while the editor is disabled", svtInteger, false, "12", "0", 2},
    };
    for (const Case& c : cases) {
        HostedSpinEdit h;
        h.Edit->SetValueType(c.ValueType);
        h.Edit->SetEditorEnabled(c.EditorEnabled);
        h.Open("0");
        h.Edit->SelectAllText();
        DialogRecorder dialogs;
        TypeText(h.Edit, c.Typed);
        EXPECT_EQ(h.Edit->Text(), c.Text) << c.Name;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.Name;
    }
}

TEST(SpinEdit, ADisabledEditorTakesNoPasteNorDeletion) {
    HostedSpinEdit h;
    h.Edit->SetEditorEnabled(false);
    h.Open("42");
    Clipboard()->SetAsText("7");
    h.Edit->SelectAllText();
    Type(h.Edit, 'V', "\x16", MK_CONTROL);
    Type(h.Edit, VK_DELETE);
    Type(h.Edit, VK_BACK, "\b");
    SendMessage(h.Edit->Handle(), WM_PASTE, 0, 0);
    SendMessage(h.Edit->Handle(), WM_CLEAR, 0, 0);
    EXPECT_EQ(h.Edit->Text(), "42");
    Type(h.Edit, VK_UP);
    EXPECT_EQ(h.Edit->Text(), "43") << "the keys still step";
}

TEST(SpinEdit, ValidationClampsAndRewritesTheText) {
    struct Case {
        const char* Name;
        int ValueType;
        double Min, Max;
        const char* Text;
        const char* After;
    };
    const Case cases[] = {
        {"an integer editor reads 2.5 as no number", svtInteger, -3.7, 0, "2.5", "-3"},
        {"above the maximum", svtInteger, 0, 10, "15", "10"},
        {"below the minimum", svtFloat, 1.5, 10, "-2", "1.5"},
        {"empty gives the minimum", svtFloat, 1.5, 10, "", "1.5"},
        {"a float normalised", svtFloat, 0, 0, "+2.50", "2.5"},
    };
    for (const Case& c : cases) {
        HostedSpinEdit h;
        h.Edit->SetValueType(c.ValueType);
        h.Edit->SetMinMaxValues(c.Min, c.Max);
        h.Open("1");
        h.Edit->SetText(c.Text);
        h.Edit->SetModified(true);
        h.Edit->ValidateEdit();
        EXPECT_EQ(h.Edit->Text(), c.After) << c.Name;
    }
}

TEST(SpinEdit, AHeldButtonStepsAgainAfterTheDelayWhileThePointerStaysOnIt) {
    HostedSpinEdit h;
    h.Open("0");
    h.Press(sbUp);
    EXPECT_EQ(h.Edit->Text(), "1") << "one step at once";
    EXPECT_EQ(h.Edit->PressedButton(), sbUp);
    EXPECT_TRUE(h.Edit->Repeating());
    // Ticks by hand: each steps while the pointer is on the pressed button.
    h.Edit->Perform(WM_TIMER, TcvInplaceSpinEdit::RepeatTimerId);
    EXPECT_EQ(h.Edit->Text(), "2");
    h.Mouse(TMouseEventKind::Move, h.ButtonPoint(sbDown), MK_LBUTTON);
    h.Edit->Perform(WM_TIMER, TcvInplaceSpinEdit::RepeatTimerId);
    EXPECT_EQ(h.Edit->Text(), "2") << "off the button the steps pause";
    EXPECT_TRUE(h.Edit->Repeating()) << "without stopping the timer";
    h.Mouse(TMouseEventKind::Move, h.ButtonPoint(sbUp), MK_LBUTTON);
    h.Edit->Perform(WM_TIMER, TcvInplaceSpinEdit::RepeatTimerId);
    EXPECT_EQ(h.Edit->Text(), "3") << "back on it they resume";
    h.Release(h.ButtonPoint(sbUp));
    EXPECT_EQ(h.Edit->PressedButton(), sbNone);
    EXPECT_FALSE(h.Edit->Repeating()) << "the end of the press stops the timer";
    EXPECT_TRUE(h.Edit->GetModified());

    // A second quick press repeats as the first did.
    h.Press(sbDown);
    EXPECT_EQ(h.Edit->Text(), "2");
    h.Release(h.ButtonPoint(sbDown));
    h.Press(sbDown);
    EXPECT_EQ(h.Edit->Text(), "1");
    EXPECT_TRUE(h.Edit->Repeating()) << "every press starts the repeat";

    // The real timer: the first repeat after 400 ms, then one per 100 ms.
    std::vector<DWORD> steps;
    h.Edit->OnChange = [&](TObject*) { steps.push_back(GetTickCount()); };
    h.Release(h.ButtonPoint(sbDown));
    h.Edit->SetText("0");
    steps.clear();
    const DWORD start = GetTickCount();
    h.Press(sbUp);
    while (GetTickCount() - start < 3000 && steps.size() < 4)
        platform_ui::test::PumpQt(10);
    h.Release(h.ButtonPoint(sbUp));
    ASSERT_EQ(steps.size(), 4u);
    // Timers may fire a few milliseconds early or late under load.
    EXPECT_GE(steps[1] - start, 400u - 50) << "the first repeat waits";
    EXPECT_GE(steps[2] - steps[1], 100u - 50);
    EXPECT_LT(steps[2] - steps[1], 400u - 50) << "the later ones come faster";
    platform_ui::test::PumpQt(250);
    EXPECT_EQ(h.Edit->Text(), "4") << "nothing after the release";
}

TEST(SpinEdit, TheClickThatOpenedTheEditorOnACellsButtonSteps) {
    HostedSpinEdit h;
    h.Open("5");
    const TPoint window = h.ButtonPoint(sbDown);
    TRect frame;
    GetWindowRect(h.Edit->Handle(), frame);
    const TPoint host = h.Host->ScreenToClient({frame.Left + window.X, frame.Top + window.Y});
    h.Edit->ForwardMouseDown(host.X, host.Y);
    EXPECT_EQ(h.Edit->Text(), "4");
    EXPECT_EQ(h.Edit->PressedButton(), sbDown);
    h.Release(window);
    EXPECT_EQ(h.Edit->PressedButton(), sbNone);
}

TEST(SpinEdit, ADoubleClickOnAButtonStepsTwice) {
    HostedSpinEdit h;
    h.Open("0");
    h.Press(sbUp);
    h.Release(h.ButtonPoint(sbUp));
    h.Mouse(TMouseEventKind::DoubleClick, h.ButtonPoint(sbUp), MK_LBUTTON);
    h.Release(h.ButtonPoint(sbUp));
    EXPECT_EQ(h.Edit->Text(), "2") << "its second press steps as the first did";
    EXPECT_FALSE(h.Edit->Repeating());
}

TEST(SpinEdit, InputMethodsFollowTheEditorKind) {
    struct Case {
        const char* Name;
        const TcvInplaceEditClass& Class;
        bool Enabled;
    };
    const Case cases[] = {
        {"spin", TcvInplaceSpinEdit::StaticClass(), false},
        {"time", TcvInplaceTimeEdit::StaticClass(), false},
        {"calculator", TcvInplaceCalcEdit::StaticClass(), false},
        {"hyperlink", TcvInplaceHyperLinkEdit::StaticClass(), true},
    };
    for (const Case& c : cases) {
        HostedEditor h(c.Class);
        h.Open("");
        platform_ui::test::PumpQt(0);
        ASSERT_EQ(platform_ui::test::QtFocusObjectWindow(), h.Editor->Handle()) << c.Name;
        EXPECT_EQ(platform_ui::test::QtInputMethodEnabled(), c.Enabled) << c.Name;
    }
}

class SpinCell : public CellImage {
protected:
    SpinCell() {
        Width = 60;
        Height = 24;
    }
    std::unique_ptr<TcvSpinEditViewData> Cell(int Hot, int Pressed, bool Shown) {
        std::unique_ptr<TcvEditViewData> data = TcvInplaceSpinEdit::StaticClass().CreateViewData();
        auto cell = std::unique_ptr<TcvSpinEditViewData>(static_cast<TcvSpinEditViewData*>(data.release()));
        cell->BorderStyle = xbsNone;
        cell->ButtonStyle = bts3D;
        cell->HotButton = Hot;
        cell->PressedButton = Pressed;
        cell->ButtonsShown = Shown;
        cell->Bounds = {0, 0, Width, Height};
        cell->Brush = Blue;
        cell->BackgroundColor = 0xFF0000;
        return cell;
    }
};

TEST_F(SpinCell, ButtonsPaintWithoutAWindowAndHideWhenNotShown) {
    const auto& ops = static_cast<const TcvSpinEditClassOps&>(TcvInplaceSpinEdit::StaticClass());
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const int windows = CountWindows();
    struct Case {
        const char* Name;
        int Hot, Pressed;
        COLORREF UpTopLeft; // the up button's top-left pixel
    };
    const Case cases[] = {
        {"raised", sbNone, sbNone, GetSysColor(COLOR_3DLIGHT)},
        {"pressed up is sunken", sbUp, sbUp, GetSysColor(COLOR_BTNSHADOW)},
    };
    for (const Case& c : cases) {
        auto cell = Cell(c.Hot, c.Pressed, true);
        const TRect all{0, 0, Width, Height};
        FillRect(DC, &all, White);
        ops.DrawCell(DC, *cell, nullptr);
        TcvEditViewInfo info;
        ops.CalcViewInfo(*cell, false, info);
        const TRect column = ops.ButtonColumn(info, *cell);
        EXPECT_EQ(column.Width() % 2 + (column.Width() >= 13), 2) << "odd and at least 13";
        EXPECT_EQ(column.Right, Width - 2);
        const int middle = (column.Top + column.Bottom) / 2;
        int upArrow = 0, downArrow = 0;
        for (int y = column.Top; y < column.Bottom; ++y)
            for (int x = column.Left; x < column.Right; ++x)
                if (GetPixel(DC, x, y) == text) ++(y < middle ? upArrow : downArrow);
        EXPECT_GT(upArrow, 0) << c.Name;
        EXPECT_EQ(upArrow, downArrow) << c.Name << ": the same arrow, turned";
        EXPECT_EQ(GetPixel(DC, column.Left, column.Top), c.UpTopLeft) << c.Name;
        EXPECT_EQ(GetPixel(DC, 5, Height / 2), 0xFF0000u) << c.Name << ": the content";
    }
    auto hidden = Cell(sbNone, sbNone, false);
    TcvEditViewInfo info;
    ops.CalcViewInfo(*hidden, false, info);
    EXPECT_EQ(info.Content.Right, Width - 2) << "no button column when the buttons hide";
    EXPECT_EQ(CountWindows(), windows);
}

} // namespace

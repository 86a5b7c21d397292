// The calculator keypad on a shown form, driven by typed keys and mouse
// clicks: key sequences and what the display shows after them, the error
// state, memory with its disabled keys, paste, and a display that is no
// number.
#include "editors/Calculator.h"
#include "editors/EditorTexts.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/WmRecorder.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace uitest;

namespace {

// A calculator whose display is a string.
class TTestCalculator : public TCustomcvCalculator {
public:
    using TCustomcvCalculator::TCustomcvCalculator;
    std::string Shown = "0";
    void GetDisplayText(std::string& Text) override { Text = Shown; }
    void SetDisplayText(const std::string& Text) override { Shown = Text; }
};

struct CalculatorOnForm {
    TForm* Form = nullptr;
    TTestCalculator* Calc = nullptr;
    int Errors = 0;
    int Results = 0;
    CalculatorOnForm() {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(20, 20, 320, 240);
        Calc = new TTestCalculator(Form);
        Calc->SetParent(Form);
        Calc->OnError = [this](TObject*) { ++Errors; };
        Calc->OnResult = [this](TObject*) { ++Results; };
        Form->Show();
        SettleActivation();
        Calc->SetFocus();
        ProcessMessages();
    }
    ~CalculatorOnForm() { delete Form; }
    CalculatorOnForm(const CalculatorOnForm&) = delete;
    CalculatorOnForm& operator=(const CalculatorOnForm&) = delete;

    // Characters as typed, except: L R M P are Ctrl+L (MC), Ctrl+R (MR),
    // Ctrl+M (MS), Ctrl+P (M+); C is the C key; r is the R key (1/x); '\n'
    // is Enter; '\x7f' is Delete (CE).
    void Keys(const std::string& Sequence) {
        for (char c : Sequence) {
            if (std::string("LRMP").find(c) != std::string::npos)
                Type(Calc, static_cast<Word>(c), "", MK_CONTROL);
            else if (c == 'C' || c == 'r')
                Type(Calc, static_cast<Word>(c == 'r' ? 'R' : 'C'), std::string(1, c == 'r' ? 'r' : 'c'));
            else if (c == '\n')
                Type(Calc, VK_RETURN, "\r");
            else if (c == '\x7f')
                Type(Calc, VK_DELETE);
            else
                TypeText(Calc, std::string(1, c));
        }
    }
};

TEST(Calculator, KeySequencesShowTheirResults) {
    struct Case {
        const char* Sequence;
        int Precision;
        const char* Display;
        int Beeps;
    };
    const Case cases[] = {
        {"2+3=", 13, "5", 0},
        {"2+3\n", 13, "5", 0},
        {"2+3%", 13, "2.06", 0},   // 3 % of 2 added
        {"50*10%", 13, "5", 0},    // 10 % of 50
        {"100/8%", 13, "1250", 0}, // divided by 8 %
        {"9@", 13, "3", 0},        // sqrt
        {"4r", 13, "0.25", 0},     // 1/x
        {"2+9@=", 13, "5", 0},     // sqrt of the operand, then the pending +
        {"2+3==", 13, "5", 0},     // "=" again repeats nothing
        {"1.5+1=", 13, "2.5", 0},
        {"1,5+1=", 13, "16", 0}, // the locale's separator is ".": "," is no key
        {"1..5", 13, "1.5", 0},
        {"123\b", 13, "12", 0},
        {"5\b", 13, "0", 0},
        {"5-=\b", 13, "0", 0},     // Back on a shown result starts a new number
        {"7-9=", 13, "-2", 0},
        {"12345", 3, "123", 2},    // digits beyond the precision beep
        {"12345", 1, "12", 3},     // at least two digits
        {"2/3=", 13, "0.6666666666667", 0},
        {"5+\x7f" "2=", 13, "2", 0}, // CE drops the pending operation
        {"5MC3LR", 13, "0", 0},      // MS, C, MC, MR: the memory was cleared
        {"5MC3+R=", 13, "8", 0},     // MR counts as a typed operand
        {"5MP3R", 13, "10", 0},      // M+ adds the display to the memory
    };
    for (const Case& c : cases) {
        CalculatorOnForm h;
        DialogRecorder dialogs;
        h.Calc->SetPrecision(c.Precision);
        h.Keys(c.Sequence);
        EXPECT_EQ(h.Calc->Shown, c.Display) << c.Sequence;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.Sequence;
        EXPECT_EQ(h.Errors, 0) << c.Sequence;
    }
}

TEST(Calculator, AnErrorLeavesOnlyByCOrCE) {
    struct Case {
        const char* Sequence;
    };
    const Case cases[] = {{"5/0="}, {"0r"}, {"4-9=@"}};
    for (const Case& c : cases) {
        for (const char* leave : {"C", "\x7f"}) {
            CalculatorOnForm h;
            DialogRecorder dialogs;
            h.Keys(c.Sequence);
            EXPECT_EQ(h.Calc->Shown, SCalculatorError) << c.Sequence;
            EXPECT_EQ(h.Calc->State(), TCustomcvCalculator::csError);
            h.Keys("7+");
            EXPECT_EQ(h.Calc->Shown, SCalculatorError) << "other keys keep the error";
            EXPECT_EQ(h.Errors, 3) << c.Sequence << ": every key re-enters it";
            EXPECT_EQ(dialogs.Count(TDialogKind::Beep), 3) << c.Sequence;
            h.Keys(leave);
            EXPECT_EQ(h.Calc->Shown, "0") << c.Sequence;
            h.Keys("7+1=");
            EXPECT_EQ(h.Calc->Shown, "8") << c.Sequence;
        }
    }
}

TEST(Calculator, ADisplayThatIsNoNumberReadsAsZero) {
    CalculatorOnForm h;
    h.Calc->Shown = "abc";
    EXPECT_EQ(h.Calc->GetValue(), 0);
    h.Keys("+");
    h.Keys("2=");
    EXPECT_EQ(h.Calc->Shown, "2");
    h.Calc->Shown = "";
    EXPECT_EQ(h.Calc->GetValue(), 0);
}

TEST(Calculator, PasteTakesANumberWithTheCurrencyStringAndBlanks) {
    struct Case {
        std::string Clipboard;
        const char* Display;
    };
    const Case cases[] = {
        {" " + FormatSettings.CurrencyString + "12.5 ", "12.5"},
        {"12" + FormatSettings.CurrencyString, "12"},
        {"twelve", "7"}, // ignored
    };
    for (const Case& c : cases) {
        CalculatorOnForm h;
        h.Keys("7");
        Clipboard()->SetAsText(c.Clipboard);
        Type(h.Calc, 'V', "\x16", MK_CONTROL);
        EXPECT_EQ(h.Calc->Shown, c.Display) << c.Clipboard << " by Ctrl+V";
        h.Keys("C7");
        Type(h.Calc, VK_INSERT, "", MK_SHIFT);
        EXPECT_EQ(h.Calc->Shown, c.Display) << c.Clipboard << " by Shift+Insert";
        h.Keys("+1=");
        EXPECT_EQ(StrToFloat(h.Calc->Shown), StrToFloat(c.Display) + 1) << c.Clipboard;
    }
}

// The colours painted inside a key.
std::set<uint32_t> KeyColours(TTestCalculator* Calc, int Key) {
    std::set<uint32_t> colours;
    const TRect r = Calc->KeyRect(Key);
    const TPoint origin = Calc->ClientOrigin();
    TRect window;
    GetWindowRect(Calc->Handle(), window);
    const int dx = origin.X - window.Left, dy = origin.Y - window.Top;
    for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
        for (int x = r.Left + 3; x < r.Right - 3; ++x)
            colours.insert(platform_ui::test::BackingPixel(Calc->Handle(), x + dx, y + dy));
    return colours;
}

TEST(Calculator, MouseClicksComputeAndMemoryKeysShowDisabledWhileEmpty) {
    CalculatorOnForm h;
    const auto click = [&](int Key) {
        const TRect r = h.Calc->KeyRect(Key);
        Click(h.Calc, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    };
    click(cbNum0 + 6);
    click(cbMultiply);
    click(cbNum0 + 7);
    click(cbEqual);
    EXPECT_EQ(h.Calc->Shown, "42");
    EXPECT_EQ(h.Results, 1);

    const uint32_t red = 0xFF0000; // 0x00RRGGBB
    UpdateWindow(h.Calc->Handle());
    EXPECT_FALSE(h.Calc->KeyEnabled(cbMR));
    EXPECT_EQ(KeyColours(h.Calc, cbMR).count(red), 0u) << "MR is drawn disabled";
    click(cbMS);
    UpdateWindow(h.Calc->Handle());
    EXPECT_TRUE(h.Calc->KeyEnabled(cbMR));
    EXPECT_EQ(KeyColours(h.Calc, cbMR).count(red), 1u) << "MR in red once memory holds 42";
    EXPECT_DOUBLE_EQ(static_cast<double>(h.Calc->Memory()), 42.0);
}

TEST(Calculator, TheLayoutKeepsItsProportionsAndGrowsWithTheSize) {
    CalculatorOnForm h;
    EXPECT_EQ(h.Calc->ClientWidth(), 210);
    EXPECT_EQ(h.Calc->ClientHeight(), 139);
    const int keyWidth = h.Calc->KeyRect(cbNum0).Width();
    h.Calc->SetBounds(0, 0, 420, 280);
    ProcessMessages();
    EXPECT_GT(h.Calc->KeyRect(cbNum0).Width(), keyWidth);
    EXPECT_EQ(h.Calc->KeyRect(cbClear).Right, h.Calc->KeyRect(cbEqual).Right) << "C over =";
    EXPECT_LE(h.Calc->KeyRect(cbEqual).Bottom, h.Calc->ClientHeight());
}

} // namespace

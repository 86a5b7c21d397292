// The time editor hosted in the test container: Up and Down step the part
// the caret stands in and never wrap past midnight, each position takes only
// the digits a time can hold there, and the value keeps its date.
#include "editors/TimeEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace uitest;
using namespace editortest;

namespace {

struct HostedTimeEdit : HostedEditor {
    TcvInplaceTimeEdit* Edit;
    explicit HostedTimeEdit(cvExEdtr::TcvTimeEditFormat Format = cvExEdtr::tfHourMinSec)
        : HostedEditor(TcvInplaceTimeEdit::StaticClass()) {
        Edit = static_cast<TcvInplaceTimeEdit*>(Editor);
        Edit->SetTimeEditFormat(Format);
    }
    void OpenAt(TDateTime Time, int Caret) {
        Host->BeginInitEditor();
        Edit->SetEditValue(Time);
        Edit->SetModified(false);
        Host->EndInitEditor();
        Edit->ShowEditor({10, 10, 90, 28});
        ProcessMessages();
        Edit->SetSelStart(Caret);
    }
};

TEST(TimeEdit, UpAndDownStepThePartAtTheCaret) {
    struct Case {
        const char* Name;
        cvExEdtr::TcvTimeEditFormat Format;
        TDateTime Start;
        int Caret;
        Word Key;
        const char* Text;
        int CaretAfter; // in the same part
    };
    using namespace cvExEdtr;
    const Case cases[] = {
        {"hours", tfHourMinSec, EncodeTime(8, 30, 0, 0), 0, VK_UP, "09:30:00", 1},
        {"a separator belongs to the part before it", tfHourMinSec, EncodeTime(8, 30, 0, 0), 2, VK_UP, "09:30:00", 1},
        {"minutes", tfHourMinSec, EncodeTime(23, 30, 0, 0), 3, VK_UP, "23:31:00", 4},
        {"seconds carry into the minutes", tfHourMinSec, EncodeTime(8, 30, 59, 0), 7, VK_UP, "08:31:00", 7},
        {"no step past midnight forward", tfHourMinSec, EncodeTime(23, 30, 0, 0), 0, VK_UP, "23:30:00", 0},
        {"no step past midnight backward", tfHourMinSec, EncodeTime(0, 0, 0, 0), 6, VK_DOWN, "00:00:00", 6},
        {"hours and minutes", tfHourMin, EncodeTime(8, 30, 0, 0), 4, VK_DOWN, "08:29", 4},
        {"hours only", tfHour, EncodeTime(8, 0, 0, 0), 1, VK_DOWN, "07", 1},
    };
    for (const Case& c : cases) {
        HostedTimeEdit h(c.Format);
        h.OpenAt(c.Start, c.Caret);
        Type(h.Edit, c.Key);
        EXPECT_EQ(h.Edit->Text(), c.Text) << c.Name;
        EXPECT_EQ(h.Edit->GetSelStart(), c.CaretAfter) << c.Name;
    }
}

TEST(TimeEdit, EachPositionTakesTheDigitsATimeHoldsThere) {
    struct Case {
        const char* Name;
        int Caret;
        const char* Typed;
        const char* Text;
        int Beeps;
    };
    const Case cases[] = {
        {"3 cannot start the hours", 0, "3", "00:00:00", 1},
        {"after 2 no 4", 0, "24", "20:00:00", 1},
        {"after 2 a 3", 0, "23", "23:00:00", 0},
        {"after 1 any digit", 0, "19", "19:00:00", 0},
        {"minutes start below 6", 3, "6", "00:00:00", 1},
        {"seconds start below 6", 6, "59", "00:00:59", 0},
    };
    for (const Case& c : cases) {
        HostedTimeEdit h;
        h.OpenAt(0, c.Caret);
        DialogRecorder dialogs;
        TypeText(h.Edit, c.Typed);
        EXPECT_EQ(h.Edit->Text(), c.Text) << c.Name;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.Name;
    }
}

TEST(TimeEdit, TheValueKeepsItsDate) {
    HostedTimeEdit h;
    h.OpenAt(0, 0);
    EXPECT_EQ(h.Edit->GetEditValue().VarType(), varCurrency) << "no time and no date";
    EXPECT_EQ(h.Edit->GetEditValue().AsFloat(), 0.0);

    h.OpenAt(EncodeTime(8, 30, 0, 0), 0);
    EXPECT_NEAR(h.Edit->GetEditValue().AsFloat(), 0.3541666, 1e-6);

    const TDateTime day = EncodeDate(2024, 3, 5);
    h.OpenAt(day + EncodeTime(12, 0, 0, 0), 3);
    EXPECT_EQ(h.Edit->Text(), "12:00:00");
    Type(h.Edit, VK_UP);
    EXPECT_NEAR(h.Edit->GetEditValue().AsFloat(), day + EncodeTime(12, 1, 0, 0), 1e-9) << "the date handed back";
    EXPECT_TRUE(h.Edit->GetModified());

    h.Host->BeginInitEditor();
    h.Edit->SetTime(EncodeTime(6, 0, 0, 0));
    h.Host->EndInitEditor();
    EXPECT_EQ(h.Edit->Text(), "06:00:00");
    h.Host->Modifiable = false;
    h.Edit->SetTime(EncodeTime(7, 0, 0, 0));
    EXPECT_EQ(h.Edit->Text(), "06:00:00") << "a host that refuses changes keeps the time";
}

TEST(TimeEdit, EveryTimeOfEveryDayShowsAndKeepsItsDay) {
    struct Case {
        const char* Name;
        TDateTime Value;
        const char* Text;
        TDateTime AfterUpInTheHours;
    };
    const TDateTime day = EncodeDate(2024, 3, 5), beforeZero = EncodeDate(1899, 12, 29);
    // Before 1899-12-30 the day is negative and the time of day counts away from zero.
    const Case cases[] = {
        {"the last second of a day", day + EncodeTime(23, 59, 59, 500), "23:59:59", day + EncodeTime(23, 59, 59, 500)},
        {"a time before 1899-12-30", beforeZero - EncodeTime(6, 0, 0, 0), "06:00:00",
         beforeZero - EncodeTime(7, 0, 0, 0)},
        {"the day 1899-12-30 itself", EncodeTime(6, 0, 0, 0), "06:00:00", EncodeTime(7, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HostedTimeEdit h;
        h.OpenAt(day + EncodeTime(8, 0, 0, 0), 0); // the row before
        h.OpenAt(c.Value, 0);
        EXPECT_EQ(h.Edit->Text(), c.Text);
        EXPECT_NEAR(h.Edit->GetEditValue().AsFloat(), c.Value, 1e-9) << "handed back as it came";
        Type(h.Edit, VK_UP);
        EXPECT_NEAR(h.Edit->GetEditValue().AsFloat(), c.AfterUpInTheHours, 1e-9);
    }
}

} // namespace

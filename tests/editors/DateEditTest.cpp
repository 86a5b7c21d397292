// The date editor standalone on a form and hosted in the test container,
// with a fixed clock: typed and keyword dates through validation, the
// calendar opened by its button and driven by keys and the mouse, the time
// kept across a choice, the date mask following the locale, a quiet revert
// while the host takes the editor down, and a date cell painted from view data.
#include "editors/DateEdit.h"
#include "editors/GridDate.h"
#include "editors/GridDatePopup.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

std::string DateText(TDateTime D) {
    return D == NullDate ? "none" : FormatDateTime("yyyy-mm-dd", D);
}

// A standalone date editor whose data says the field is required.
class TRequiredDefinition : public TcvEditDataDefinition {
public:
    bool GetRequired() override { return true; }
};
class TRequiredDateOps : public TStandaloneClass<TcvInplaceDateEdit, TcvDropDownEditClassOps> {
public:
    static const TRequiredDateOps& Instance() {
        static const TRequiredDateOps instance;
        return instance;
    }
    std::unique_ptr<TcvEditDataDefinition> CreateDataDefinition() const override {
        return std::make_unique<TRequiredDefinition>();
    }
};

class DateEditTest : public ::testing::Test {
protected:
    using Standalone = TStandaloneClass<TcvInplaceDateEdit, TcvDropDownEditClassOps>;
    void SetUp() override {
        FormatSettings.ShortDateFormat = "yyyy-MM-dd";
        FormatSettings.DateSeparator = '-';
        FormatSettings.FirstDayOfWeek = 6; // Sunday
        cvGrDate::InitFirstDayOfWeek();
    }
    void TearDown() override {
        FormatSettings.ShortDateFormat = SavedFormat;
        FormatSettings.DateSeparator = SavedSeparator;
        FormatSettings.FirstDayOfWeek = SavedFirstDay;
        cvGrDate::InitFirstDayOfWeek();
    }
    TcvGridDatePopup* OpenCalendar(TcvInplaceDateEdit* Edit) {
        Type(Edit, VK_F4);
        EXPECT_TRUE(Edit->DatePopup() && IsWindowVisible(Edit->DatePopup()->Handle()));
        return Edit->DatePopup();
    }
    // A client point of the calendar in its window coordinates, as the mouse hooks take them.
    static TPoint WindowPoint(TWinControl* Control, TPoint ClientPoint) {
        TRect window;
        GetWindowRect(Control->Handle(), window);
        const TPoint screen = Control->ClientToScreen(ClientPoint);
        return {screen.X - window.Left, screen.Y - window.Top};
    }
    static TPoint DayPoint(TcvGridDatePopup* Popup, TDateTime D) {
        for (int y = 0; y < Popup->ClientHeight(); y += 2)
            for (int x = 0; x < Popup->ClientWidth(); x += 2)
                if (Popup->DateAtPos({x, y}) == D && Popup->DateAtPos({x - 3, y - 3}) == D &&
                    Popup->DateAtPos({x + 3, y + 3}) == D)
                    return {x, y};
        ADD_FAILURE() << DateText(D) << " is not shown";
        return {};
    }
    static void Mouse(TWinControl* Control, TMouseEventKind Kind, TPoint WindowPoint, WPARAM Keys) {
        SendQtMouse(Control->Handle(), Kind, WindowPoint, Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON, Keys);
        ProcessMessages();
    }
    static void ClickAt(TWinControl* Control, TPoint ClientPoint) {
        Mouse(Control, TMouseEventKind::Press, WindowPoint(Control, ClientPoint), MK_LBUTTON);
        Mouse(Control, TMouseEventKind::Release, WindowPoint(Control, ClientPoint), 0);
    }

    const std::string SavedFormat = FormatSettings.ShortDateFormat;
    const char SavedSeparator = FormatSettings.DateSeparator;
    const Byte SavedFirstDay = FormatSettings.FirstDayOfWeek;
    const TDateTime Today = EncodeDate(2024, 3, 13);
    TClockScope Clock{Today + 0.5};
};

TEST_F(DateEditTest, TypedTextBecomesADateOrIsRefused) {
    struct Case {
        const char* Name;
        const char* Typed;
        TDateOnError OnError;
        bool Validation;
        bool HandlerSupplies;
        const char* Date;
        int Boxes;
    };
    const Case cases[] = {
        {"a keyword date", "today +3", deNull, false, false, "2024-03-16", 0},
        {"a date in the locale's format", "2024-02-29", deNull, false, false, "2024-02-29", 0},
        {"unreadable gives no date", "zzz", deNull, false, false, "none", 0},
        {"unreadable gives today", "zzz", deToday, false, false, "2024-03-13", 0},
        {"unreadable is refused", "zzz", deNull, true, false, "2024-01-01", 1},
        {"the handler mends it", "zzz", deNull, true, true, "2024-12-24", 0},
    };
    for (const Case& c : cases) {
        EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
        DialogRecorder dialogs;
        f.Edit->SetDate(EncodeDate(2024, 1, 1));
        f.Edit->SetDateOnError(c.OnError);
        f.Edit->SetDateValidation(c.Validation);
        std::string handlerSaw;
        f.Edit->OnDateValidateInput = [&](TObject*, const std::string& Text, TDateTime& Date, std::string&,
                                          bool& Error) {
            handlerSaw = Text;
            if (!c.HandlerSupplies) return;
            Date = EncodeDate(2024, 12, 24);
            Error = false;
        };
        f.Edit->SelectAllText();
        TypeText(f.Edit, c.Typed);
        Type(f.Edit, VK_RETURN, "\r");
        EXPECT_EQ(DateText(f.Edit->GetDate()), c.Date) << c.Name;
        EXPECT_EQ(dialogs.Count(TDialogKind::MessageBox), c.Boxes) << c.Name;
        if (c.Boxes) {
            EXPECT_EQ(dialogs.Boxes()[0].Text, "Invalid Date.") << c.Name;
            EXPECT_EQ(dialogs.Count(TDialogKind::Beep), 1) << c.Name;
            EXPECT_EQ(f.Edit->Text(), c.Typed) << c.Name << ": the text stays as typed";
            EXPECT_EQ(GetFocus(), f.Edit->Handle()) << c.Name;
        } else {
            EXPECT_EQ(f.Edit->Text(), cvExEdtr::DateToText(f.Edit->GetDate())) << c.Name;
        }
        if (c.Validation) {
            EXPECT_EQ(handlerSaw, c.Typed) << c.Name;
        }
    }
}

TEST_F(DateEditTest, AnEmptyTextIsNoDateAndANullValue) {
    EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
    f.Edit->SetEditValue(VarFromDateTime(Today));
    EXPECT_EQ(f.Edit->Text(), "2024-03-13");
    int changes = 0;
    f.Edit->OnDateChange = [&](TObject*) { ++changes; };
    f.Edit->SelectAllText();
    Type(f.Edit, VK_DELETE);
    Type(f.Edit, VK_RETURN, "\r");
    EXPECT_EQ(f.Edit->GetDate(), NullDate);
    EXPECT_TRUE(f.Edit->GetEditValue().IsNull());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(f.Edit->GetModified());
}

TEST_F(DateEditTest, TheButtonOpensTheCalendarAndADragIntoItChoosesThere) {
    EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
    f.Edit->SetDate(Today);
    TRect window;
    GetWindowRect(f.Edit->Handle(), window);
    const TPoint button{window.Width() - 8, window.Height() / 2};
    Mouse(f.Edit, TMouseEventKind::Move, button, 0);
    Mouse(f.Edit, TMouseEventKind::Press, button, MK_LBUTTON);
    TcvGridDatePopup* popup = f.Edit->DatePopup();
    ASSERT_TRUE(popup && IsWindowVisible(popup->Handle()));
    EXPECT_EQ(GetActiveWindow(), f.Form->Handle()) << "the form stays active";
    EXPECT_EQ(GetFocus(), popup->Handle()) << "the calendar takes the keyboard";
    EXPECT_TRUE(f.Edit->IsFocused());

    const TDateTime target = Today + 9;
    const TPoint day = popup->ClientToScreen(DayPoint(popup, target));
    const TPoint overDay{day.X - window.Left, day.Y - window.Top};
    Mouse(f.Edit, TMouseEventKind::Move, overDay, MK_LBUTTON);
    EXPECT_EQ(DateText(popup->GetSelStart()), DateText(target)) << "the press goes on in the calendar";
    Mouse(f.Edit, TMouseEventKind::Release, overDay, 0);
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(DateText(f.Edit->GetDate()), "2024-03-22");
    EXPECT_TRUE(f.Edit->GetModified());
    EXPECT_EQ(GetFocus(), f.Edit->Handle());
    EXPECT_FALSE(f.Edit->DroppedDown());
}

TEST_F(DateEditTest, TheCalendarsKeysAndButtonsGiveTheirDates) {
    enum Action { Key, TodayButton, ClearButton, NextMonthArrow, MonthListBelow };
    struct Case {
        const char* Name;
        std::vector<std::pair<Action, Word>> Steps;
        const char* Date;
        const char* Text;
    };
    const Case cases[] = {
        {"Down and Enter: a week on", {{Key, VK_DOWN}, {Key, VK_RETURN}}, "2024-02-08", "2024-02-08"},
        {"PgDn and Enter: a month on", {{Key, VK_NEXT}, {Key, VK_RETURN}}, "2024-03-01", "2024-03-01"},
        {"Escape keeps the date", {{Key, VK_RIGHT}, {Key, VK_ESCAPE}}, "2024-02-01", "2024-02-01"},
        {"Today", {{TodayButton, 0}}, "2024-03-13", "2024-03-13"},
        {"Clear", {{ClearButton, 0}}, "none", ""},
        {"the arrow shows the next month, a click chooses there", {{NextMonthArrow, 0}}, "2024-03-15", "2024-03-15"},
        {"the month list below shows the next month", {{MonthListBelow, 0}}, "2024-03-15", "2024-03-15"},
    };
    for (const Case& c : cases) {
        EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
        f.Edit->SetDate(EncodeDate(2024, 2, 1));
        TcvGridDatePopup* popup = OpenCalendar(f.Edit);
        ASSERT_TRUE(popup) << c.Name;
        for (auto [action, key] : c.Steps) {
            switch (action) {
            case Key:
                Type(popup, key);
                break;
            case TodayButton:
            case ClearButton: {
                const TRect r = action == TodayButton ? popup->TodayRect() : popup->ClearRect();
                ClickAt(popup, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
                break;
            }
            case NextMonthArrow:
                ClickAt(popup, {popup->ClientWidth() - popup->ColumnWidth() / 2, popup->CaptionHeight() / 2});
                ClickAt(popup, DayPoint(popup, EncodeDate(2024, 3, 15)));
                break;
            case MonthListBelow: {
                const TPoint caption{popup->ClientWidth() / 2, popup->CaptionHeight() / 2};
                Mouse(popup, TMouseEventKind::Press, WindowPoint(popup, caption), MK_LBUTTON);
                ASSERT_TRUE(popup->MonthList()) << c.Name;
                const int rowHeight = popup->MonthList()->ClientHeight() / 7;
                const TPoint below{caption.X, caption.Y + rowHeight};
                Mouse(popup, TMouseEventKind::Move, WindowPoint(popup, below), MK_LBUTTON);
                Mouse(popup, TMouseEventKind::Release, WindowPoint(popup, below), 0);
                ClickAt(popup, DayPoint(popup, EncodeDate(2024, 3, 15)));
                break;
            }
            }
        }
        EXPECT_EQ(DateText(f.Edit->GetDate()), c.Date) << c.Name;
        EXPECT_EQ(f.Edit->Text(), c.Text) << c.Name;
        EXPECT_FALSE(IsWindowVisible(popup->Handle())) << c.Name;
        EXPECT_EQ(GetFocus(), f.Edit->Handle()) << c.Name;
    }
}

TEST_F(DateEditTest, AChosenDayKeepsTheTimeOfTheOpeningDate) {
    struct Case {
        const char* Name;
        TDateTime Start;
        bool SaveTime;
        TDateTime Expected;
    };
    const TDateTime day = EncodeDate(2024, 3, 13);
    const Case cases[] = {
        {"after 1899", day + 0.75, true, day + 1 + 0.75},
        {"before 1899 the time counts down", -1000.75, true, -999.75},
        {"without SaveTime only the day", day + 0.75, false, day + 1},
    };
    for (const Case& c : cases) {
        EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
        f.Edit->SetSaveTime(c.SaveTime);
        f.Edit->SetDate(c.Start);
        TcvGridDatePopup* popup = OpenCalendar(f.Edit);
        ASSERT_TRUE(popup) << c.Name;
        Type(popup, VK_RIGHT);
        Type(popup, VK_RETURN);
        EXPECT_NEAR(f.Edit->GetDate(), c.Expected, 1e-6) << c.Name;
    }
}

TEST_F(DateEditTest, TheCalendarShowsTheButtonsAsked) {
    struct Case {
        const char* Name;
        const TcvInplaceEditClass* Class;
        TDateButtons Buttons;
        bool Today, Clear;
    };
    const Case cases[] = {
        {"both by default", &Standalone::Instance(), {btnToday, btnClear}, true, true},
        {"only Today", &Standalone::Instance(), {btnToday}, true, false},
        {"a required field has no Clear", &TRequiredDateOps::Instance(), {btnToday, btnClear}, true, false},
    };
    for (const Case& c : cases) {
        EditorOnForm<TcvInplaceDateEdit> f(*c.Class);
        f.Edit->SetDateButtons(c.Buttons);
        TcvGridDatePopup* popup = OpenCalendar(f.Edit);
        ASSERT_TRUE(popup) << c.Name;
        EXPECT_EQ(popup->ShowToday(), c.Today) << c.Name;
        EXPECT_EQ(popup->ShowClear(), c.Clear) << c.Name;
    }
}

TEST_F(DateEditTest, AReadOnlyEditorNeverDropsDown) {
    EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
    f.Edit->SetReadOnly(true);
    Type(f.Edit, VK_F4);
    Type(f.Edit, VK_DOWN, "", MK_ALT);
    EXPECT_EQ(f.Edit->DatePopup(), nullptr);
}

TEST_F(DateEditTest, TheMaskFollowsTheLocaleWhenItChanges) {
    EditorOnForm<TcvInplaceDateEdit> f(Standalone::Instance());
    f.Edit->SetDate(Today);
    f.Edit->SetUseEditMask(true);
    EXPECT_EQ(f.Edit->EditMask(), "!9999-99-99;1; ");
    EXPECT_EQ(f.Edit->Text(), "2024-03-13");
    EXPECT_FALSE(platform_ui::test::QtInputMethodEnabled()) << "dates take no input method";

    FormatSettings.ShortDateFormat = "dd/MM/yyyy";
    FormatSettings.DateSeparator = '/';
    FormatSettings.FirstDayOfWeek = 0; // Monday
    f.Edit->Perform(CM_WININICHANGE); // as the application sends it once the settings are re-read
    EXPECT_EQ(f.Edit->EditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(f.Edit->Text(), "13/03/2024");
    EXPECT_EQ(cvGrDate::FirstDayOfWeek(), 1);
    EXPECT_EQ(DateText(f.Edit->GetDate()), "2024-03-13");

    f.Edit->SetDate(NullDate);
    EXPECT_EQ(f.Edit->GetValueText(), "") << "the blank mask is no text";
    f.Edit->SetUseEditMask(false);
    EXPECT_EQ(f.Edit->EditMask(), "");
    EXPECT_EQ(f.Edit->StoredValues() & cvsvEditMask, 0);
}

TEST_F(DateEditTest, AMistypedDateWhileTheHostTakesItDownChangesNothing) {
    HostedEditor h(TcvInplaceDateEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceDateEdit*>(h.Editor);
    h.Open("2024-01-05");
    // The user empties the text and leaves; coming back saves that as the
    // text to restore, modified.
    Type(edit, VK_DELETE);
    ::SetFocus(h.Host->Handle());
    ::SetFocus(edit->Handle());
    ProcessMessages();
    TypeText(edit, "zzz");
    ASSERT_TRUE(edit->GetModified());
    edit->SetHostHiding(true);
    EXPECT_NO_THROW(edit->ValidateEdit());
    EXPECT_FALSE(edit->GetModified()) << "the host writes nothing back";
    EXPECT_EQ(edit->GetDate(), NullDate);
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(CellImage, ADateCellPaintsItsTextAndButtonWithoutAWindow) {
    const int windowsBefore = CountWindows();
    const TcvInplaceEditClass& dateClass = TcvInplaceDateEdit::StaticClass();
    std::unique_ptr<TcvEditViewData> cell = dateClass.CreateViewData();
    cell->BorderStyle = xbsNone;
    cell->ButtonStyle = btsFlat;
    cell->Bounds = {0, 0, Width, Height};
    cell->Brush = White;
    cell->BackgroundColor = 0xFFFFFF;
    cell->TextColor = 0x000000;
    cell->Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    cell->Value = std::string("13");
    dateClass.DrawCell(DC, *cell, nullptr);
    EXPECT_EQ(CountWindows(), windowsBefore);
    TcvEditViewInfo info;
    dateClass.CalcViewInfo(*cell, false, info);
    const auto count = [&](const TRect& R, COLORREF Colour) {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += GetPixel(DC, x, y) == Colour;
        return n;
    };
    EXPECT_GT(count(info.Content, 0x000000), 0) << "the text";
    const TRect button{info.Content.Right, info.Content.Top, Width - 2, info.Content.Bottom};
    EXPECT_GT(count(button, GetSysColor(COLOR_BTNFACE)), 0) << "the button's face";
    EXPECT_GT(count(button, GetSysColor(COLOR_BTNTEXT)), 0) << "its arrow";
}

} // namespace

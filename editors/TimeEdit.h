// The time editor: the spin editor on a time mask (hh:nn:ss, hh:nn or hh).
// Its buttons, keys and wheel step the part the caret stands in by an hour,
// a minute or a second, never past midnight either way; the date of the value
// put into it is kept and handed back with the time.
#pragma once

#include "editors/ExEdtr.h"
#include "editors/SpinEdit.h"

class TcvInplaceTimeEdit : public TcvInplaceSpinEdit {
public:
    explicit TcvInplaceTimeEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());

    static const TcvInplaceEditClass& StaticClass();

    // The time of day, a fraction of a day.
    TDateTime GetTime() const { return FTime; }
    // While the host fills the editor, else when the value may change.
    void SetTime(TDateTime Value);
    cvExEdtr::TcvTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
    // The format and its edit mask.
    void SetTimeEditFormat(cvExEdtr::TcvTimeEditFormat Value);

    // One hour, minute or second by the part the caret stands in.
    double GetIncrement() override;
    // The edit text as a time; 0 when it is none.
    double GetValue() override;
    // The digits each position of the time takes.
    bool IsValidSpinChar(char32_t Key) override;
    // A time from 00:00:00 to 23:59:59 (anything else is ignored), the caret
    // kept in its part.
    void SetValue(double Value) override;
    void SetEditValue(const Variant& Value) override;
    // A currency zero for no time and no date, else date and time as a float.
    Variant GetEditValue() override;

private:
    // 'H', 'N' or 'S': the part of the display format at the caret; a
    // separator belongs to the part before it.
    char CurrentPart();

    TDateTime FDatePart = 0;
    TDateTime FTime = 0;
    cvExEdtr::TcvTimeEditFormat FTimeEditFormat = cvExEdtr::tfHourMinSec;
};

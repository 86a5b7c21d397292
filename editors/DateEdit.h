// The date editor: a drop-down editor whose text is read as a date (keyword
// dates such as "today +3" included), validated by DateOnError and
// DateValidation, and whose popup is the month calendar. Date and text move
// together: storing a date rewrites the text, typing marks the date pending
// until the next validation or drop-down reads the text back.
#pragma once

#include "editors/DropDownEdit.h"
#include "editors/ExEdtr.h"
#include "platform/rtl/Classes.h"

#include <functional>
#include <memory>
#include <string>

class TcvGridDatePopup;

enum TDateButton { btnToday, btnClear };
using TDateButtons = TSet<TDateButton>;
enum TDateOnError { deToday, deNull };

using TcvDateValidateInput = std::function<void(TObject* Sender, const std::string& Text, TDateTime& Date,
                                                std::string& ErrorText, bool& Error)>;

class TcvInplaceDateEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceDateEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceDateEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // NullDate stands for no date.
    TDateTime GetDate() const { return FDate; }
    // Stores Value (and rewrites the text) while the host fills the editor,
    // else when the value may change; an equal date only while the text is
    // pending.
    void SetDate(TDateTime Value);
    TDateButtons DateButtons() const { return FDateButtons; }
    void SetDateButtons(TDateButtons Value) { FDateButtons = Value; }
    // The date an unreadable text gives while DateValidation is off.
    TDateOnError DateOnError() const { return FDateOnError; }
    void SetDateOnError(TDateOnError Value) { FDateOnError = Value; }
    // An unreadable text is refused (OnDateValidateInput may still mend it).
    bool DateValidation() const { return FDateValidation; }
    void SetDateValidation(bool Value) { FDateValidation = Value; }
    // A day chosen in the calendar keeps the time of the date it opened with.
    bool SaveTime() const { return FSaveTime; }
    void SetSaveTime(bool Value) { FSaveTime = Value; }
    bool UseEditMask() const { return FUseEditMask; }
    // Rebuilds the date mask when the value changes.
    void SetUseEditMask(bool Value);
    // The calendar, once the editor has dropped down.
    TcvGridDatePopup* DatePopup() const { return FPopup.get(); }

    TNotifyEvent OnDateChange;
    TcvDateValidateInput OnDateValidateInput;

    // The date editor's virtual operation.
    virtual void DoDateValidateInput(const std::string& Text, TDateTime& Date, std::string& ErrorText, bool& Error);

    void SetEditValue(const Variant& Value) override;
    Variant GetEditValue() override;
    void Changed() override;
    bool IsStateFlagSet() override { return false; }
    std::string GetValueText() override;
    bool ValidatesOnEnter() override { return true; }
    void ValidateEdit() override;
    void DropDown() override;

    void WndProc(TMessage& Message) override;

private:
    void InternalSetDate(TDateTime Value);
    void UpdateDateMask();
    // The calendar's choice: the day, with the opening date's time when SaveTime.
    void DateSelected(TObject* Sender);
    // True while the text is the mask's blank text.
    bool ShowsBlankMask();

    TDateTime FDate = NullDate;
    TDateButtons FDateButtons{btnToday, btnClear};
    TDateTime FDropDownDate = NullDate;
    TDateOnError FDateOnError = deNull;
    std::unique_ptr<TcvGridDatePopup> FPopup;
    bool FDateValidation = false;
    bool FSaveTime = true;
    bool FPending = false;
    bool FUseEditMask = false;
    // While set, text changes fire no OnChange and date changes no OnDateChange.
    int FNotifyLock = 0;
};

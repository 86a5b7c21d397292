// The time editor: the part at the caret decides the step and the digits a
// position takes; values outside one day are ignored rather than wrapped.
#include "editors/TimeEdit.h"

#include "editors/Container.h"
#include "editors/GridDate.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"

#include <cctype>

namespace {

const cvExEdtr::TcvTimeFormat& FormatOf(cvExEdtr::TcvTimeEditFormat Format) {
    return cvExEdtr::TimeFormats[static_cast<size_t>(Format)];
}

// The first position of each part in the edit text.
constexpr int HourStart = 0, MinuteStart = 3, SecondStart = 6;

} // namespace

const TcvInplaceEditClass& TcvInplaceTimeEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceTimeEdit, TcvSpinEditClassOps>::Instance();
}

TcvInplaceTimeEdit::TcvInplaceTimeEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceSpinEdit(AOwner, Class) {
    SetEditMask(FormatOf(FTimeEditFormat).EditMask);
    // The whole edit text is the value, blanks and all.
    SetIgnoreMaskBlank(true);
}

void TcvInplaceTimeEdit::SetTime(TDateTime Value) {
    if (Value == FTime) return;
    TCustomcvContainer* host = GetContainer();
    if ((host && host->FillingEditor()) || CanModify()) SetValue(Value);
}

void TcvInplaceTimeEdit::SetTimeEditFormat(cvExEdtr::TcvTimeEditFormat Value) {
    if (FTimeEditFormat == Value) return;
    FTimeEditFormat = Value;
    SetEditMask(FormatOf(Value).EditMask);
}

char TcvInplaceTimeEdit::CurrentPart() {
    const std::string format = UpperCase(FormatOf(FTimeEditFormat).Format);
    const int length = std::min(static_cast<int>(format.size()), static_cast<int>(GetEditText().size()));
    if (length <= 0) return 0;
    int index = std::clamp(GetSelStart(), 0, length - 1);
    if (std::string("HNS").find(format[static_cast<size_t>(index)]) == std::string::npos)
        index = std::max(index - 1, 0);
    return format[static_cast<size_t>(index)];
}

double TcvInplaceTimeEdit::GetIncrement() {
    switch (CurrentPart()) {
    case 'H':
        return cvExEdtr::OneHour;
    case 'N':
        return cvExEdtr::OneMinute;
    case 'S':
        return cvExEdtr::OneSecond;
    default:
        return 0;
    }
}

double TcvInplaceTimeEdit::GetValue() {
    TDateTime value = 0;
    return TryStrToTime(GetEditText(), value) ? value : 0;
}

bool TcvInplaceTimeEdit::IsValidSpinChar(char32_t Key) {
    if (Key < 0x20) return true;
    if (!EditorEnabled()) return false;
    const int position = GetSelStart();
    const bool digit = Key >= U'0' && Key <= U'9';
    const auto upTo = [&](char32_t Last) { return digit && Key <= Last; };
    if (position == HourStart) return upTo(U'2');
    if (position == HourStart + 1 && GetEditText().substr(0, 1) == "2") return upTo(U'3');
    if (position == MinuteStart || position == SecondStart) return upTo(U'5');
    return true;
}

void TcvInplaceTimeEdit::SetValue(double Value) {
    // The last second of the day is whole: 23:59:59.5 shows as 23:59:59.
    if (Value < cvExEdtr::MinTime || Value >= cvExEdtr::MaxTime + cvExEdtr::OneSecond) return;
    const int caret = HandleAllocated() ? GetSelStart() : 0;
    const int partStart = caret < MinuteStart ? HourStart + 1 : caret < SecondStart ? MinuteStart + 1 : SecondStart + 1;
    FTime = Value;
    std::string text;
    try {
        text = FormatDateTime(FormatOf(FTimeEditFormat).Format, Value);
    } catch (const Exception&) {
        text = TimeToStr(cvGrDate::TimeOfDateTime(Now()));
    }
    SetText(text);
    if (HandleAllocated()) SendMessage(FHandle, EM_SETSEL, partStart, partStart + 1);
}

void TcvInplaceTimeEdit::SetEditValue(const Variant& Value) {
    const bool modified = GetModified();
    if (Value.IsNull() || Value.IsEmpty() || VarToStr(Value).empty()) {
        FDatePart = 0;
        SetValue(0);
    } else {
        const TDateTime value = Value.AsDateTime();
        FDatePart = static_cast<TDateTime>(cvGrDate::TruncDateTime(value));
        SetValue(cvGrDate::TimeOfDateTime(value));
    }
    SetModified(modified);
}

Variant TcvInplaceTimeEdit::GetEditValue() {
    if (FTime == 0 && FDatePart == 0) return Variant::FromCurrency(0);
    return Variant(cvGrDate::CombineDateTime(FDatePart, FTime));
}

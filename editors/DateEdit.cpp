// The date editor: the date stored with its text, validation of typed dates,
// the calendar popup opened on the text's date and its choice taken back.
#include "editors/DateEdit.h"

#include "editors/EditorTexts.h"
#include "editors/GridDate.h"
#include "editors/GridDatePopup.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EditMask.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

const TcvInplaceEditClass& TcvInplaceDateEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDateEdit, TcvDropDownEditClassOps>::Instance();
}

TcvInplaceDateEdit::TcvInplaceDateEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class) {
    // The text never starts as the component's name.
    SetControlStyle(ControlStyle() - csSetCaption);
    // The calendar takes the keyboard itself.
    SetKeysToPopup(false);
}

TcvInplaceDateEdit::~TcvInplaceDateEdit() {
    SetPopup(nullptr);
    FPopup.reset();
}

void TcvInplaceDateEdit::SetDate(TDateTime Value) {
    if (Value == FDate && !FPending) return;
    TCustomcvContainer* host = GetContainer();
    if ((host && host->FillingEditor()) || CanModify()) InternalSetDate(Value);
}

void TcvInplaceDateEdit::SetUseEditMask(bool Value) {
    if (FUseEditMask == Value) return;
    FUseEditMask = Value;
    UpdateDateMask();
}

void TcvInplaceDateEdit::DoDateValidateInput(const std::string& Text, TDateTime& Date, std::string& ErrorText,
                                             bool& Error) {
    if (OnDateValidateInput) OnDateValidateInput(this, Text, Date, ErrorText, Error);
}

void TcvInplaceDateEdit::InternalSetDate(TDateTime Value) {
    const TDateTime old = FDate;
    FDate = Value;
    TcvInplaceMaskEdit::SetText(cvExEdtr::DateToEditText(IsMasked(), Value));
    FPending = false;
    if (FNotifyLock == 0 && FDate != old) Fire(OnDateChange, this);
}

void TcvInplaceDateEdit::SetEditValue(const Variant& Value) {
    ++FNotifyLock;
    TScopeGuard unlock([this] { --FNotifyLock; });
    const bool none = Value.IsNull() || Value.IsEmpty() || VarToStr(Value).empty();
    LoadValue([&] { InternalSetDate(none ? NullDate : Value.AsDateTime()); });
}

Variant TcvInplaceDateEdit::GetEditValue() {
    return FDate == NullDate ? Null() : VarFromDateTime(FDate);
}

void TcvInplaceDateEdit::Changed() {
    if (FNotifyLock == 0) TcvInplaceDropDownEdit::Changed();
    FPending = true;
}

bool TcvInplaceDateEdit::ShowsBlankMask() {
    return IsMasked() && GetEditText() == FormatMaskText(ParseEditMask(EditMask()), "");
}

std::string TcvInplaceDateEdit::GetValueText() {
    return ShowsBlankMask() ? std::string() : TcvInplaceDropDownEdit::GetValueText();
}

void TcvInplaceDateEdit::UpdateDateMask() {
    ++FNotifyLock;
    TScopeGuard unlock([this] { --FNotifyLock; });
    TcvInplaceTextEdit::SetText("");
    if (FUseEditMask) {
        SetEditMask(cvExEdtr::DateEditMask());
    } else {
        InternalSetEditMask("");
        SetStoredValues(StoredValues() & ~cvsvEditMask);
    }
    InternalSetDate(FDate);
}

void TcvInplaceDateEdit::ValidateEdit() {
    const TDateTime fallback = FDateOnError == deNull ? NullDate : Date();
    if (GetModified()) {
        const std::string text = GetText();
        bool error = FDateValidation;
        bool failed = false;
        TDateTime date = fallback;
        if (IsMasked() ? ShowsBlankMask() : text.empty()) {
            date = NullDate;
        } else if (!cvExEdtr::TextToDate(text, date)) {
            failed = true;
            date = fallback;
        }
        if (error || failed) {
            if (HostHiding()) {
                // Taken down by the host: never raise, and leave nothing modified
                // that the host would write back as a null date.
                if (DataDefinition()) {
                    DataDefinition()->DataChanged();
                    SelectAllText();
                } else {
                    RestoreOriginalText();
                }
                ++FNotifyLock;
                TScopeGuard unlock([this] { --FNotifyLock; });
                FDate = NullDate;
                TcvInplaceTextEdit::SetText("");
                FPending = false;
                SetModified(false);
                return;
            }
            error = failed && FDateValidation;
            std::string errorText = SInvalidDate;
            DoDateValidateInput(text, date, errorText, error);
            if (error) {
                if (!ComponentState().Contains(csDesigning)) {
                    MarkInvalidInput();
                    if (HandleAllocated() && IsWindowVisible(FHandle)) SetFocus();
                }
                MessageBeep(0);
                throw EcvEditInvalidInput(errorText);
            }
        }
        SetDate(date);
        SetModified(true);
    }
    TcvInplaceDropDownEdit::ValidateEdit();
}

void TcvInplaceDateEdit::DropDown() {
    if (DroppedDown() || !IsEditable()) return;
    if (!FPopup) {
        FPopup = std::make_unique<TcvGridDatePopup>(nullptr);
        FPopup->SetPopup(true);
    } else if (FPopup->HandleAllocated()) {
        // Made afresh with the settings below when shown.
        DestroyWindow(FPopup->Handle());
    }
    FPopup->SetOwnerEditor(this);
    SetPopup(FPopup.get());
    DoDropDown();

    FPopup->SetBorderStyle(GetPopupBorder());
    FPopup->SetShadow(Style()->Shadow());
    FPopup->SetFont(Font());
    FPopup->SetShowToday(FDateButtons.Contains(btnToday));
    FPopup->SetShowClear(FDateButtons.Contains(btnClear) && !(DataDefinition() && DataDefinition()->GetRequired()));
    FPopup->OnDateSelected = nullptr;

    TDateTime shown = Date();
    if (!ShowsBlankMask()) {
        TDateTime parsed = NullDate;
        if (cvExEdtr::TextToDate(GetText(), parsed)) FDropDownDate = parsed;
    }
    if (FDropDownDate != NullDate) shown = static_cast<TDateTime>(cvGrDate::TruncDateTime(FDropDownDate));
    FPopup->SetFirstDate(shown);
    FPopup->SetSelectDate(shown);
    FPopup->OnDateSelected = [this](TObject* Sender) { DateSelected(Sender); };
    FPopup->AdjustSize();

    PositionPopup(FPopup.get(), false);
    SetDroppedDownFlag(true);
    FPopup->ShowPopup();
    ::SetFocus(FPopup->Handle());
}

void TcvInplaceDateEdit::DateSelected(TObject* Sender) {
    (void)Sender;
    TDateTime chosen = FPopup->GetSelStart();
    if (FSaveTime && chosen != NullDate) {
        chosen = cvGrDate::CombineDateTime(chosen, cvGrDate::TimeOfDateTime(FDropDownDate));
    }
    SetDate(chosen);
    SetModified(true);
}

void TcvInplaceDateEdit::WndProc(TMessage& Message) {
    if (Message.Msg == CM_WININICHANGE) {
        TcvInplaceDropDownEdit::WndProc(Message);
        cvGrDate::InitFirstDayOfWeek();
        UpdateDateMask();
        return;
    }
    TcvInplaceDropDownEdit::WndProc(Message);
}

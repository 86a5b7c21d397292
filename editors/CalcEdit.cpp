// The calculator editor and its keypad popup: the keys that close the popup,
// the editor's text as the keypad's display, and the drop-down that builds
// the keypad from the editor's settings.
#include "editors/CalcEdit.h"

#include "editors/EditorTexts.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

// ---- TcvPopupCalculator --------------------------------------------------------

TcvPopupCalculator::TcvPopupCalculator(TComponent* AOwner) : TCustomcvCalculator(AOwner) {
    SetPopup(true);
}

void TcvPopupCalculator::GetDisplayText(std::string& Text) {
    Text = FEditor ? FEditor->GetText() : "0";
}

void TcvPopupCalculator::SetDisplayText(const std::string& Text) {
    if (!FEditor || !FEditor->CanModify()) return;
    FEditor->SetText(Text);
    FEditor->SetModified(true);
}

void TcvPopupCalculator::HidePopup() {
    TCustomcvCalculator::HidePopup();
    if (FEditor && FEditor->GetText() == SCalculatorError) {
        FEditor->SetText("0");
        FEditor->SetModified(true);
    }
}

void TcvPopupCalculator::CreateParams(TCreateParams& Params) {
    TCustomcvCalculator::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TcvPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
    const bool alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && alt) || Key == VK_F4 || Key == VK_ESCAPE) {
        HidePopup();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN) {
        // The result first, then the close.
        TCustomcvCalculator::KeyDown(Key, Shift);
        HidePopup();
        Key = 0;
        return;
    }
    TCustomcvCalculator::KeyDown(Key, Shift);
}

void TcvPopupCalculator::KeyPress(char32_t& Key) {
    const char32_t typed = Key;
    TCustomcvCalculator::KeyPress(Key);
    if (typed == U'=' && FQuickClose) HidePopup();
}

// ---- TcvInplaceCalcEdit --------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceCalcEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceCalcEdit, TcvDropDownEditClassOps>::Instance();
}

TcvInplaceCalcEdit::TcvInplaceCalcEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class) {
    // The keypad takes the keyboard itself.
    SetKeysToPopup(false);
}

TcvInplaceCalcEdit::~TcvInplaceCalcEdit() {
    SetPopup(nullptr);
    FPopupCalculator.reset();
}

void TcvInplaceCalcEdit::DropDown() {
    if (DroppedDown() || !IsEditable()) return;
    if (!FPopupCalculator)
        FPopupCalculator = std::make_unique<TcvPopupCalculator>(nullptr);
    else if (FPopupCalculator->HandleAllocated())
        // Made afresh with the settings below when shown.
        DestroyWindow(FPopupCalculator->Handle());
    TcvPopupCalculator* calculator = FPopupCalculator.get();
    calculator->SetOwnerEditor(this);
    SetPopup(calculator);
    DoDropDown();
    calculator->SetBorderStyle(GetPopupBorder());
    calculator->SetShadow(Style()->Shadow());
    calculator->SetEditor(this);
    calculator->SetQuickClose(FQuickClose);
    calculator->SetFont(Font());
    calculator->SetShowFocusRect(false);
    calculator->SetBeepOnError(FBeepOnError);
    calculator->SetButtonStyle(FButtonStyle);
    calculator->SetShowButtonFrame(FShowButtonFrame);
    calculator->SetPrecision(FPrecision);
    // Laid out with its frame, so it is placed at its final size.
    calculator->HandleNeeded();
    calculator->LayoutKeys();
    PositionPopup(calculator, false);
    SetDroppedDownFlag(true);
    calculator->ShowPopup();
    ::SetFocus(calculator->Handle());
}

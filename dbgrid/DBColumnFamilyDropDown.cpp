// The drop-down and date columns.
#include "dbgrid/DBColumnFamilyDropDown.h"

#include "dbgrid/DBColumnFamilyUpdate.h"
#include "dbgrid/FilterEdit.h"
#include "platform/data/DB.h"
#include "platform/ui/Graphics.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListControl.h"
#include "treelist/TreeListNode.h"

namespace {

// The tree list's second option word carries the grid's "show buttons
// always" in this bit; without it no cell paints a button.
constexpr unsigned ShowButtonAlwaysBit = 1u << 24;

} // namespace

const TcvInplaceEditClass& TcvInplaceDBTreeListDropDownEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListDropDownEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListDateEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListDateEdit, TcvDropDownEditClassOps>::Instance();
}

// Drop-down column ----------------------------------------------------------------------

TcvDBTreeListDropDownColumn::TcvDBTreeListDropDownColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {}

TcvDBTreeListDropDownColumn::~TcvDBTreeListDropDownColumn() = default;

void TcvDBTreeListDropDownColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListDropDownColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        SetShowButtonStyle(source->FShowButtonStyle);
        SetButtonGlyph(source->FButtonGlyph.get());
        FDropDownRows = source->FDropDownRows;
        FDropDownWidth = source->FDropDownWidth;
        FImmediateDropDown = source->FImmediateDropDown;
        FImmediatePopup = source->FImmediatePopup;
        FPopupAlignment = source->FPopupAlignment;
        FPopupBorder = source->FPopupBorder;
        OnEditButtonClick = source->OnEditButtonClick;
    });
}

void TcvDBTreeListDropDownColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FShowButtonStyle = TcvShowButtonStyle::sbDefault;
    FButtonGlyph.reset();
    FDropDownRows = 7;
    FDropDownWidth = 0;
    FImmediatePopup = false;
    FPopupAlignment = taLeftJustify;
    FPopupBorder = pbDefault;
}

const TcvInplaceEditClass& TcvDBTreeListDropDownColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListDropDownEdit::StaticClass();
}

void TcvDBTreeListDropDownColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* dropDown = dynamic_cast<TcvInplaceDropDownEdit*>(Editor);
    if (!dropDown) return;
    dropDown->SetButtonGlyph(HasButtonGlyph() ? FButtonGlyph.get() : nullptr);
    dropDown->SetDropDownRows(FDropDownRows);
    dropDown->SetDropDownWidth(FDropDownWidth);
    dropDown->SetImmediateDropDown(FImmediateDropDown);
    dropDown->SetImmediatePopup(FImmediatePopup);
    dropDown->SetPopupAlignment(FPopupAlignment);
    dropDown->SetPopupBorder(FPopupBorder);
    dropDown->OnCloseUp = [this](TObject* Sender, Variant& Value, bool& Accept) { DoCloseUp(Sender, Value, Accept); };
    dropDown->OnButtonClick = [this](TObject* Sender, int Index) { DoEditButtonClick(Sender, Index); };
}

void TcvDBTreeListDropDownColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitFilterEdit(Editor);
    if (auto* dropDown = dynamic_cast<TcvInplaceDropDownEdit*>(Editor)) {
        dropDown->OnCloseUp = nullptr;
        dropDown->OnButtonClick = nullptr;
    }
}

void TcvDBTreeListDropDownColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    auto* dropDown = dynamic_cast<TcvDropDownEditViewData*>(&ViewData);
    if (!dropDown) return;
    dropDown->DropDownGlyph = HasButtonGlyph() ? FButtonGlyph.get() : nullptr;
    dropDown->ButtonsHidden = !ShowsButtonInCell(Cell.Node);
}

void TcvDBTreeListDropDownColumn::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
    (void)Sender, (void)Value, (void)Accept;
}

void TcvDBTreeListDropDownColumn::DoEditButtonClick(TObject* Sender, int AbsoluteIndex) {
    (void)Sender, (void)AbsoluteIndex;
    if (OnEditButtonClick) OnEditButtonClick(this);
}

bool TcvDBTreeListDropDownColumn::ShowsButtonInCell(TcvTreeListNode* Node) const {
    if (FShowButtonStyle == TcvShowButtonStyle::sbNone || !TreeList() ||
        !(TreeList()->OptionsEx() & ShowButtonAlwaysBit))
        return false;
    return FShowButtonStyle == TcvShowButtonStyle::sbAlways || (Node && Node == TreeList()->FocusedNode());
}

void TcvDBTreeListDropDownColumn::SetShowButtonStyle(TcvShowButtonStyle Value) {
    if (Value == FShowButtonStyle) return;
    FShowButtonStyle = Value;
    Changed(false);
}

TBitmap* TcvDBTreeListDropDownColumn::ButtonGlyph() const {
    if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
    return FButtonGlyph.get();
}

void TcvDBTreeListDropDownColumn::SetButtonGlyph(TBitmap* Value) {
    if (!Value || Value->Empty())
        FButtonGlyph.reset();
    else
        ButtonGlyph()->Assign(Value);
    Changed(false);
}

bool TcvDBTreeListDropDownColumn::HasButtonGlyph() const {
    return FButtonGlyph && !FButtonGlyph->Empty();
}

// Date column ---------------------------------------------------------------------------

TcvDBTreeListDateColumn::TcvDBTreeListDateColumn(TComponent* AOwner) : TcvDBTreeListDropDownColumn(AOwner) {}

void TcvDBTreeListDateColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListDateColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        FDateButtons = source->FDateButtons;
        FDateOnError = source->FDateOnError;
        FDateValidation = source->FDateValidation;
        FSaveTime = source->FSaveTime;
        FUseEditMask = source->FUseEditMask;
        OnDateValidateInput = source->OnDateValidateInput;
    });
}

void TcvDBTreeListDateColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    FDateButtons = {btnToday, btnClear};
    FDateOnError = deToday;
    FDateValidation = false;
    FSaveTime = true;
    FUseEditMask = false;
}

const TcvInplaceEditClass& TcvDBTreeListDateColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListDateEdit::StaticClass();
}

void TcvDBTreeListDateColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* date = dynamic_cast<TcvInplaceDateEdit*>(Editor);
    if (!date) return;
    date->SetDateButtons(FDateButtons);
    date->SetDateOnError(FDateOnError);
    date->SetDateValidation(FDateValidation);
    date->SetSaveTime(FSaveTime);
    date->SetUseEditMask(FUseEditMask);
    date->OnDateValidateInput = [this](TObject* Sender, const std::string& Text, TDateTime& Date,
                                       std::string& ErrorText,
                                       bool& Error) { DoDateValidateInput(Sender, Text, Date, ErrorText, Error); };
}

void TcvDBTreeListDateColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* date = dynamic_cast<TcvInplaceDateEdit*>(Editor);
    if (!Field() || !date) return TcvDBTreeListDropDownColumn::InitEditValue(Node, Editor, Value);
    date->SetDate(Field()->IsNull() ? NullDate : Field()->AsDateTime());
    Value = VarFromDateTime(date->GetDate());
}

void TcvDBTreeListDateColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* date = dynamic_cast<TcvInplaceDateEdit*>(Editor);
    if (!Field() || !date) return TcvDBTreeListDropDownColumn::ApplyEditorValue(Node, Editor, Value);
    if (date->GetDate() == NullDate)
        Field()->Clear();
    else
        Field()->SetAsDateTime(date->GetDate());
    Node->GetValue(GetIndex(), Value);
}

bool TcvDBTreeListDateColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field()) return TcvDBTreeListDropDownColumn::IsValueCurrent(Value);
    if (Field()->IsNull()) return Value == Variant(int32_t(NullDate));
    return Variant(Field()->AsFloat()) == Value;
}

const TcvInplaceEditClass& TcvDBTreeListDateColumn::GetFilterEditClass() const {
    return TCustomcvFilterDateEdit::StaticClass();
}

void TcvDBTreeListDateColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitFilterEdit(Editor);
    if (auto* date = dynamic_cast<TcvInplaceDateEdit*>(Editor)) date->OnDateValidateInput = nullptr;
}

void TcvDBTreeListDateColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* date = dynamic_cast<TcvInplaceDateEdit*>(Editor);
    if (!date) return TcvDBTreeListDropDownColumn::GetFilterEditValue(Editor, Value, Text);
    Value = date->GetDate() == NullDate ? Null() : VarFromDateTime(date->GetDate());
    Text = date->Text();
}

void TcvDBTreeListDateColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* date = dynamic_cast<TCustomcvFilterDateEdit*>(Editor);
    if (!date) return TcvDBTreeListDropDownColumn::SetFilterEditValue(Editor, Value);
    date->SetDate(VarIsNull(Value) ? NullDate : Value.AsDateTime());
}

void TcvDBTreeListDateColumn::DoDateValidateInput(TObject* Sender, const std::string& Text, TDateTime& Date,
                                                  std::string& ErrorText, bool& Error) {
    (void)Sender;
    if (OnDateValidateInput) OnDateValidateInput(this, Text, Date, ErrorText, Error);
}

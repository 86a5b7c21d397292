// The drop-down and date columns.
#include "dbgrid/DBColumnFamilyDropDown.h"

#include "dbgrid/DBColumnFamilyShared.h"
#include "dbgrid/DBTreeListControl.h"
#include "dbgrid/FilterEdit.h"
#include "platform/data/DB.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListControl.h"
#include "treelist/TreeListNode.h"

namespace {

// The filter dialog's operators a listed value allows: equal, not equal,
// blank, not blank.
constexpr TcvFilterOperatorCodes ListFilterOperators = (1 << 0) | (1 << 1) | (1 << 6) | (1 << 7);

// The kind of edit button each style asks for.
TcvEditButtonKind ButtonKindOf(TcvEditButtonStyle Style) {
    switch (Style) {
    case ebsDown:
        return bkDown;
    case ebsGlyph:
        return bkGlyph;
    default:
        return bkEllipsis;
    }
}

} // namespace

const TcvInplaceEditClass& TcvInplaceDBTreeListDropDownEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListDropDownEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListDateEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListDateEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListButtonEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListButtonEdit, TcvButtonEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListImageEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListImageEdit, TcvImageEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListPickEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListPickEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListCalcEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListCalcEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListLookupEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListLookupEdit, TcvDropDownEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListMRUEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListMRUEdit, TcvMRUEditClassOps>::Instance();
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
        FListWidth = source->FListWidth;
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
    FListWidth = 0;
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
    dropDown->ShowsButtonsHook = [this](bool Default) { return ShowsEditButton(Default); };
}

void TcvDBTreeListDropDownColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitFilterEdit(Editor);
    if (auto* dropDown = dynamic_cast<TcvInplaceDropDownEdit*>(Editor)) {
        dropDown->OnCloseUp = nullptr;
        dropDown->OnButtonClick = nullptr;
        dropDown->ShowsButtonsHook = nullptr;
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

bool TcvDBTreeListDropDownColumn::ShowsEditButton(bool Default) const {
    if (!IsEditorEnabled() || FShowButtonStyle == TcvShowButtonStyle::sbNone) return false;
    return FShowButtonStyle == TcvShowButtonStyle::sbAlways || Default;
}

bool TcvDBTreeListDropDownColumn::ShowsButtonInCell(TcvTreeListNode* Node) const {
    return ::ShowsButtonInCell(FShowButtonStyle, *this, Node);
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

// Button column -------------------------------------------------------------------------

TcvDBTreeListButtonColumn::TcvDBTreeListButtonColumn(TComponent* AOwner)
    : TcvDBTreeListDropDownColumn(AOwner),
      FButtons(std::make_unique<TcvEditButtons>(this, CollectionItemClass<TcvEditButton>())),
      FGlyph(std::make_unique<TBitmap>()) {
    FButtons->Add();
}

TcvDBTreeListButtonColumn::~TcvDBTreeListButtonColumn() = default;

void TcvDBTreeListButtonColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListButtonColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        FButtonOnly = source->FButtonOnly;
        SetButtons(source->FButtons.get());
        SetEditButtonStyle(source->FEditButtonStyle);
        FClickKey = source->FClickKey;
        SetGlyph(source->FGlyph.get());
        FHideEditCursor = source->FHideEditCursor;
        OnButtonClick = source->OnButtonClick;
    });
}

void TcvDBTreeListButtonColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    ResetButtons();
    FButtonOnly = false;
    FEditButtonStyle = ebsEllipsis;
    FClickKey = ShortCut(VK_RETURN, {ssCtrl});
    FGlyph = std::make_unique<TBitmap>();
    FHideEditCursor = false;
}

const TcvInplaceEditClass& TcvDBTreeListButtonColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListButtonEdit::StaticClass();
}

void TcvDBTreeListButtonColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* button = dynamic_cast<TcvInplaceButtonEdit*>(Editor);
    if (!button) return;
    button->SetButtons(FButtons.get());
    button->SetClickKey(FClickKey);
    button->SetViewMode(FButtonOnly       ? TcvInplaceButtonEdit::vmButtonsOnly
                        : FHideEditCursor ? TcvInplaceButtonEdit::vmNoCaret
                                          : TcvInplaceButtonEdit::vmEditable);
    button->OnButtonClick = [this](TObject* Sender, int Index) { DoButtonClick(Sender, Index); };
}

void TcvDBTreeListButtonColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* button = dynamic_cast<TcvButtonEditViewData*>(&ViewData);
    if (!button) return;
    button->EditButtons = button->ButtonsHidden ? nullptr : FButtons.get();
    button->ButtonsOnly = FButtonOnly;
}

void TcvDBTreeListButtonColumn::DoButtonClick(TObject* Sender, int AbsoluteIndex) {
    (void)Sender;
    if (OnButtonClick) OnButtonClick(this, AbsoluteIndex);
}

void TcvDBTreeListButtonColumn::SetButtons(TcvEditButtons* Value) {
    FButtons->Assign(Value);
}

void TcvDBTreeListButtonColumn::SetEditButtonStyle(TcvEditButtonStyle Value) {
    if (Value == FEditButtonStyle) return;
    FEditButtonStyle = Value;
    if (Value == ebsSimple) {
        FButtons->Clear();
    } else {
        if (FButtons->Count() == 0) FButtons->Add();
        FButtons->GetItem(0)->SetKind(ButtonKindOf(Value));
    }
    Changed(false);
}

void TcvDBTreeListButtonColumn::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    if (FButtons->Count() > 0) FButtons->GetItem(0)->SetGlyph(Value);
}

void TcvDBTreeListButtonColumn::ResetButtons() {
    FButtons->RestoreDefaults();
    FButtons->Clear();
    FButtons->Add();
}

// Image column --------------------------------------------------------------------------

TcvDBTreeListImageColumn::TcvDBTreeListImageColumn(TComponent* AOwner)
    : TcvDBTreeListDropDownColumn(AOwner), FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()), FValues(std::make_unique<TStringList>()),
      FImagesChangeLink(std::make_unique<TChangeLink>()), FLargeImagesChangeLink(std::make_unique<TChangeLink>()) {
    SetMinWidth(16);
    SetAlignment(taLeftJustify);
    const auto repaint = [this](TObject*) { Changed(false); };
    FImagesChangeLink->OnChange = repaint;
    FLargeImagesChangeLink->OnChange = repaint;
}

TcvDBTreeListImageColumn::~TcvDBTreeListImageColumn() {
    SetImages(nullptr);
    SetLargeImages(nullptr);
}

void TcvDBTreeListImageColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListImageColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        SetDefaultImages(source->FDefaultImages);
        SetDescriptions(source->FDescriptions.get());
        SetImageIndexes(source->FImageIndexes.get());
        SetValues(source->FValues.get());
        SetImages(source->FImages);
        SetLargeImages(source->FLargeImages);
        FIncremental = source->FIncremental;
        SetMultiLineText(source->FMultiLineText);
        SetShowDescription(source->FShowDescription);
        OnCloseUp = source->OnCloseUp;
    });
}

void TcvDBTreeListImageColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    SetMinWidth(16);
    FDefaultImages = true;
    FDescriptions->Clear();
    FImageIndexes->Clear();
    FValues->Clear();
    SetImages(nullptr);
    SetLargeImages(nullptr);
    FIncremental = false;
    FMultiLineText = false;
    FShowDescription = false;
}

const TcvInplaceEditClass& TcvDBTreeListImageColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListImageEdit::StaticClass();
}

void TcvDBTreeListImageColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* image = dynamic_cast<TcvInplaceImageEdit*>(Editor);
    if (!image) return;
    image->SetDefaultImages(FDefaultImages);
    image->SetDescriptions(FDescriptions.get());
    image->SetImages(FImages);
    image->SetImageIndexes(FImageIndexes.get());
    image->SetIncremental(FIncremental);
    image->SetLargeImages(FLargeImages);
    image->SetMultiLineText(FMultiLineText);
    image->SetShowDescription(FShowDescription);
    image->SetValues(FValues.get());
}

void TcvDBTreeListImageColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* image = dynamic_cast<TcvImageEditViewData*>(&ViewData);
    if (!image) return;
    image->DefaultImages = FDefaultImages;
    image->Descriptions = FDescriptions.get();
    image->Images = FImages;
    image->ImageIndexes = FImageIndexes.get();
    image->ShowDescription = FShowDescription;
    image->Values = FValues.get();
    if (FMultiLineText) image->VerticalTextMode = 3;
}

void TcvDBTreeListImageColumn::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
    (void)Sender;
    if (OnCloseUp) OnCloseUp(this, Value, Accept);
}

const TcvInplaceEditClass& TcvDBTreeListImageColumn::GetFilterEditClass() const {
    return TCustomcvFilterImageEdit::StaticClass();
}

void TcvDBTreeListImageColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* image = dynamic_cast<TcvInplaceImageEdit*>(Editor);
    if (!image) return TcvDBTreeListDropDownColumn::GetFilterEditValue(Editor, Value, Text);
    const std::string text = image->Text();
    Text = DescriptionOf(text);
    int description = -1;
    int imageIndex = -1;
    FindValue(text, description, imageIndex);
    Value = imageIndex == -1 ? Null() : Variant(text);
}

TcvFilterOperatorCodes TcvDBTreeListImageColumn::GetFilterOperators() const {
    return ListFilterOperators;
}

void TcvDBTreeListImageColumn::ConvertDisplayText(const Variant& Value, std::string& Text) const {
    Text = DescriptionOf(VarToStr(Value));
}

void TcvDBTreeListImageColumn::GetExportText(const Variant& Value, bool HTML, std::string& Result) const {
    (void)HTML;
    Result = VarToStr(Value);
    ConvertDisplayText(Value, Result);
}

std::string TcvDBTreeListImageColumn::DescriptionOf(const std::string& Value) const {
    int description = -1;
    int imageIndex = -1;
    FindValue(Value, description, imageIndex);
    return description >= 0 ? FDescriptions->Get(description) : Value;
}

void TcvDBTreeListImageColumn::FindValue(const std::string& Value, int& DescriptionIndex, int& ImageIndex) const {
    TcvInplaceImageEdit::FindValueIndexes(Value, FImageIndexes.get(), DescriptionIndex, ImageIndex, FDefaultImages,
                                          FValues.get(), FDescriptions.get());
}

void TcvDBTreeListImageColumn::SetDefaultImages(bool Value) {
    SetPaintFlag(FDefaultImages, Value);
}

TStrings* TcvDBTreeListImageColumn::Descriptions() const {
    return FDescriptions.get();
}

void TcvDBTreeListImageColumn::SetDescriptions(TStrings* Value) {
    FDescriptions->Assign(Value);
    Changed(false);
}

TStrings* TcvDBTreeListImageColumn::ImageIndexes() const {
    return FImageIndexes.get();
}

void TcvDBTreeListImageColumn::SetImageIndexes(TStrings* Value) {
    FImageIndexes->Assign(Value);
    Changed(false);
}

TStrings* TcvDBTreeListImageColumn::Values() const {
    return FValues.get();
}

void TcvDBTreeListImageColumn::SetValues(TStrings* Value) {
    FValues->Assign(Value);
    Changed(false);
}

void TcvDBTreeListImageColumn::SetImages(TCustomImageList* Value) {
    ReplaceImageList(FImages, FImagesChangeLink.get(), Value);
}

void TcvDBTreeListImageColumn::SetLargeImages(TCustomImageList* Value) {
    ReplaceImageList(FLargeImages, FLargeImagesChangeLink.get(), Value);
}

void TcvDBTreeListImageColumn::SetMultiLineText(bool Value) {
    SetPaintFlag(FMultiLineText, Value);
}

void TcvDBTreeListImageColumn::SetShowDescription(bool Value) {
    SetPaintFlag(FShowDescription, Value);
}

void TcvDBTreeListImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
    TcvDBTreeListDropDownColumn::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FLargeImages) FLargeImages = nullptr;
}

void TcvDBTreeListImageColumn::SetPaintFlag(bool& Flag, bool Value) {
    if (Value == Flag) return;
    Flag = Value;
    Changed(false);
}

void TcvDBTreeListImageColumn::ReplaceImageList(TCustomImageList*& Target, TChangeLink* Link,
                                                TCustomImageList* Value) {
    if (Value == Target) return;
    if (Target) {
        Target->UnRegisterChanges(Link);
        // One list may serve as both: its removal must still reach the other.
        const TCustomImageList* other = &Target == &FImages ? FLargeImages : FImages;
        if (other != Target) Target->RemoveFreeNotification(this);
    }
    Target = Value;
    if (Target) {
        Target->RegisterChanges(Link);
        Target->FreeNotification(this);
    }
    Changed(false);
}

// Pick column ---------------------------------------------------------------------------

TcvDBTreeListPickColumn::TcvDBTreeListPickColumn(TComponent* AOwner)
    : TcvDBTreeListDropDownColumn(AOwner), FItems(std::make_unique<TStringList>()) {
    SetImmediateDropDown(true);
}

TcvDBTreeListPickColumn::~TcvDBTreeListPickColumn() = default;

void TcvDBTreeListPickColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListPickColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        FCanDeleteText = source->FCanDeleteText;
        FDropDownListStyle = source->FDropDownListStyle;
        SetItems(source->FItems.get());
        FItemsSorted = source->FItemsSorted;
        FRevertable = source->FRevertable;
        OnCloseUp = source->OnCloseUp;
    });
}

void TcvDBTreeListPickColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    SetImmediateDropDown(true);
    FCanDeleteText = false;
    FDropDownListStyle = false;
    FItems->Clear();
    FItemsSorted = false;
    FRevertable = false;
}

const TcvInplaceEditClass& TcvDBTreeListPickColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListPickEdit::StaticClass();
}

void TcvDBTreeListPickColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* pick = dynamic_cast<TcvInplacePickEdit*>(Editor);
    if (!pick) return;
    pick->SetDropDownListStyle(FDropDownListStyle);
    pick->SetItems(FItems.get());
    pick->SetItemsSorted(FItemsSorted);
    pick->SetCanDeleteText(FCanDeleteText);
    pick->SetRevertable(FRevertable);
}

void TcvDBTreeListPickColumn::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
    (void)Sender;
    if (OnCloseUp) OnCloseUp(this, Value, Accept);
}

const TcvInplaceEditClass& TcvDBTreeListPickColumn::GetFilterEditClass() const {
    return TCustomcvFilterPickEdit::StaticClass();
}

TStrings* TcvDBTreeListPickColumn::Items() const {
    return FItems.get();
}

void TcvDBTreeListPickColumn::SetItems(TStrings* Value) {
    FItems->Assign(Value);
}

// Calc column ---------------------------------------------------------------------------

void TcvDBTreeListCalcColumn::Assign(TPersistent* Source) {
    TcvDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TcvDBTreeListCalcColumn*>(Source)) {
        FBeepOnError = source->FBeepOnError;
        FButtonStyle = source->FButtonStyle;
        FPrecision = source->FPrecision;
        FQuickClose = source->FQuickClose;
        FShowButtonFrame = source->FShowButtonFrame;
    }
}

void TcvDBTreeListCalcColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    FBeepOnError = true;
    FButtonStyle = bsStandard;
    FPrecision = 13;
    FQuickClose = false;
    FShowButtonFrame = false;
}

const TcvInplaceEditClass& TcvDBTreeListCalcColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListCalcEdit::StaticClass();
}

void TcvDBTreeListCalcColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* calc = dynamic_cast<TcvInplaceCalcEdit*>(Editor);
    if (!calc) return;
    calc->SetBeepOnError(FBeepOnError);
    calc->SetButtonStyle(FButtonStyle);
    calc->SetPrecision(FPrecision);
    calc->SetQuickClose(FQuickClose);
    calc->SetShowButtonFrame(FShowButtonFrame);
}

const TcvInplaceEditClass& TcvDBTreeListCalcColumn::GetFilterEditClass() const {
    return TCustomcvFilterCalcEdit::StaticClass();
}

// Lookup column -------------------------------------------------------------------------

void TcvDBTreeListLookupColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListLookupColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        FCanDeleteText = source->FCanDeleteText;
        FClearKey = source->FClearKey;
        FListFieldName = source->FListFieldName;
        FListFieldIndex = source->FListFieldIndex;
        OnCloseUp = source->OnCloseUp;
    });
}

void TcvDBTreeListLookupColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    FCanDeleteText = false;
    FClearKey = 0;
    FListFieldName.clear();
    FListFieldIndex = 0;
}

const TcvInplaceEditClass& TcvDBTreeListLookupColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListLookupEdit::StaticClass();
}

void TcvDBTreeListLookupColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* lookup = dynamic_cast<TcvInplaceLookupEdit*>(Editor);
    if (!lookup) return;
    lookup->SetClearKey(FClearKey);
    lookup->SetLookupField(Field());
    lookup->SetListFieldName(FListFieldName);
    lookup->SetCanDeleteText(FCanDeleteText);
}

void TcvDBTreeListLookupColumn::DoCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
    (void)Sender;
    if (OnCloseUp) OnCloseUp(this, Value, Accept);
}

const TcvInplaceEditClass& TcvDBTreeListLookupColumn::GetFilterEditClass() const {
    return TCustomcvFilterLookupEdit::StaticClass();
}

void TcvDBTreeListLookupColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitFilterEdit(Editor);
    if (auto* lookup = dynamic_cast<TcvInplaceLookupEdit*>(Editor)) {
        lookup->SetCanDeleteText(true);
        lookup->SetTextEditable(true);
    }
}

void TcvDBTreeListLookupColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* lookup = dynamic_cast<TcvInplaceLookupEdit*>(Editor);
    if (!lookup) return TcvDBTreeListDropDownColumn::GetFilterEditValue(Editor, Value, Text);
    Value = lookup->LookupKeyValue();
    Text = lookup->Text();
}

void TcvDBTreeListLookupColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* lookup = dynamic_cast<TCustomcvFilterLookupEdit*>(Editor);
    if (!lookup) return TcvDBTreeListDropDownColumn::SetFilterEditValue(Editor, Value);
    lookup->SetLookupKeyValue(Value);
}

void TcvDBTreeListLookupColumn::GetNodeValue(TcvTreeListNode* Node, Variant& Value) const {
    auto* node = dynamic_cast<TcvDBTreeListControlNode*>(Node);
    Value = node ? node->StoredKeyValue(GetIndex()) : Variant();
    if (VarIsEmpty(Value)) Value = Null();
}

TcvFilterOperatorCodes TcvDBTreeListLookupColumn::GetFilterOperators() const {
    return ListFilterOperators;
}

// MRU column ----------------------------------------------------------------------------

TcvDBTreeListMRUColumn::TcvDBTreeListMRUColumn(TComponent* AOwner) : TcvDBTreeListPickColumn(AOwner) {
    SetImmediateDropDown(false);
}

void TcvDBTreeListMRUColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListMRUColumn*>(Source);
    if (!source) return TcvDBTreeListPickColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListPickColumn::Assign(Source);
        FMaxItemCount = source->FMaxItemCount;
        SetShowEllipsis(source->FShowEllipsis);
        OnButtonClick = source->OnButtonClick;
    });
}

void TcvDBTreeListMRUColumn::RestoreDefaults() {
    TcvDBTreeListPickColumn::RestoreDefaults();
    SetImmediateDropDown(false);
    FMaxItemCount = 7;
    FShowEllipsis = true;
}

const TcvInplaceEditClass& TcvDBTreeListMRUColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListMRUEdit::StaticClass();
}

void TcvDBTreeListMRUColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListPickColumn::InitEditor(Editor);
    auto* mru = dynamic_cast<TcvInplaceMRUEdit*>(Editor);
    if (!mru) return;
    mru->SetMaxItemCount(FMaxItemCount);
    mru->SetShowEllipsis(FShowEllipsis);
    mru->OnButtonClick = [this](TObject* Sender) { DoButtonClick(Sender); };
}

void TcvDBTreeListMRUColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    TcvDBTreeListPickColumn::ApplyEditorValue(Node, Editor, Value);
    if (auto* mru = dynamic_cast<TcvInplaceMRUEdit*>(Editor)) SetItems(mru->Items());
}

void TcvDBTreeListMRUColumn::DoButtonClick(TObject* Sender) {
    (void)Sender;
    if (OnButtonClick) OnButtonClick(this);
}

void TcvDBTreeListMRUColumn::SetShowEllipsis(bool Value) {
    if (Value == FShowEllipsis) return;
    FShowEllipsis = Value;
    Changed(true);
}

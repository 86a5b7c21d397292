// The button editor: its button collection, the layout of the buttons from
// view data (cells get them without a window) and the clicks on them.
#include "editors/ButtonEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"

namespace {

// The collection a new button joins, refused when it is full.
TCollection* RoomFor(TCollection* Collection) {
    if (Collection && Collection->Count() >= TcvEditButtons::MaxCount)
        throw Exception(Format("Too many buttons ( >= %d)", TcvEditButtons::MaxCount));
    return Collection;
}

} // namespace

// ---- TcvEditButton -----------------------------------------------------------

TcvEditButton::TcvEditButton(TCollection* Collection) : TCollectionItem(nullptr) {
    // Joins once its members are set: the collection's update lays the editor out with it.
    SetCollection(RoomFor(Collection));
}

TcvEditButton::~TcvEditButton() = default;

void TcvEditButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    if (Value && Collection())
        for (int i = 0; i < Collection()->Count(); ++i)
            static_cast<TcvEditButton*>(Collection()->Items(i))->FDefault = false;
    FDefault = Value;
    Changed(true);
}

TBitmap* TcvEditButton::Glyph() {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

TBitmap* TcvEditButton::ShownGlyph() const {
    return FGlyph && !FGlyph->Empty() ? FGlyph.get() : nullptr;
}

void TcvEditButton::SetGlyph(TBitmap* Value) {
    if (Value)
        Glyph()->Assign(Value);
    else
        FGlyph.reset();
    Changed(true);
}

void TcvEditButton::SetKind(TcvEditButtonKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    Changed(true);
}

void TcvEditButton::SetLeftAlignment(bool Value) {
    if (FLeftAlignment == Value) return;
    FLeftAlignment = Value;
    Changed(true);
}

void TcvEditButton::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed(true);
}

void TcvEditButton::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed(true);
}

void TcvEditButton::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvEditButton*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    std::unique_ptr<TUpdateGuard<TCollection>> guard;
    if (Collection()) guard = std::make_unique<TUpdateGuard<TCollection>>(Collection());
    RestoreDefaults();
    SetDefault(source->FDefault);
    SetGlyph(source->ShownGlyph());
    SetKind(source->FKind);
    SetLeftAlignment(source->FLeftAlignment);
    SetVisible(source->FVisible);
    SetWidth(source->FWidth);
}

void TcvEditButton::RestoreDefaults() {
    FGlyph.reset();
    SetKind(bkEllipsis);
    SetLeftAlignment(false);
    SetVisible(true);
    SetWidth(0);
}

// ---- TcvEditButtons ----------------------------------------------------------

TcvEditButtons::TcvEditButtons(TPersistent* Owner, TCollectionItemClass ItemClass)
    : TCollection(std::move(ItemClass)), FOwner(Owner) {}

TcvEditButton* TcvEditButtons::Add() {
    return static_cast<TcvEditButton*>(TCollection::Add());
}

TcvEditButton* TcvEditButtons::GetItem(int Index) const {
    return static_cast<TcvEditButton*>(Items(Index));
}

void TcvEditButtons::RestoreDefaults() {
    TUpdateGuard<TCollection> guard(this);
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->RestoreDefaults();
}

int TcvEditButtons::VisibleCount() const {
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Visible()) ++count;
    return count;
}

TcvEditButton* TcvEditButtons::VisibleItem(int Index) const {
    const int index = VisibleIndexToIndex(Index);
    return index == -1 ? nullptr : GetItem(index);
}

int TcvEditButtons::VisibleIndexToIndex(int Index) const {
    if (Index < 0) return -1;
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Visible() && Index-- == 0) return i;
    return -1;
}

void TcvEditButtons::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    const auto* owner = dynamic_cast<const TComponent*>(FOwner);
    if (owner && owner->ComponentState().Contains(csLoading)) return;
    if (Count() == 1) GetItem(0)->FDefault = true;
}

TcvInplaceEditButtons::TcvInplaceEditButtons(TPersistent* Owner, TCollectionItemClass ItemClass)
    : TcvEditButtons(Owner, std::move(ItemClass)) {}

void TcvInplaceEditButtons::Update(TCollectionItem* Item) {
    TcvEditButtons::Update(Item);
    if (auto* editor = dynamic_cast<TcvInplaceButtonEdit*>(Owner())) editor->PropertiesChanged();
}

// ---- TcvButtonEditClassOps ---------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvButtonEditClassOps::CreateViewData() const {
    return std::make_unique<TcvButtonEditViewData>();
}

void TcvButtonEditClassOps::CalcButtons(TcvDropDownEditViewData& ViewData) const {
    TcvDropDownEditClassOps::CalcButtons(ViewData);
    auto* v = dynamic_cast<TcvButtonEditViewData*>(&ViewData);
    if (!v || !v->EditButtons || v->ButtonsHidden) return;
    v->Buttons.fill({});
    v->ButtonCount = v->EditButtons->VisibleCount();
    for (int i = 0; i < v->ButtonCount; ++i) {
        const TcvEditButton* source = v->EditButtons->VisibleItem(i);
        TcvEditButtonViewInfo& button = v->Buttons[static_cast<size_t>(i)];
        button.Glyph = source->ShownGlyph();
        button.Tag = i;
        button.Kind = source->Kind();
        button.LeftAlignment = source->LeftAlignment();
        button.Width = source->Width() != 0 ? source->Width() : GetButtonWidth(*v, button);
    }
}

void TcvButtonEditClassOps::CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const {
    TcvDropDownEditClassOps::CalcViewInfo(ViewData, CalcSize, ViewInfo);
    auto* v = dynamic_cast<TcvButtonEditViewData*>(&ViewData);
    if (!v || !v->ButtonsOnly) return;
    if (v->ButtonCount > 0) {
        TcvEditButtonViewInfo& last = v->Buttons[static_cast<size_t>(v->ButtonCount - 1)];
        const int spare = std::max(0, ViewInfo.Content.Width());
        last.Width += spare;
        if (last.LeftAlignment)
            ViewInfo.Content.Left += spare;
        else
            ViewInfo.Content.Right -= spare;
    }
    ViewInfo.Content.Right = ViewInfo.Content.Left;
}

// ---- TcvInplaceButtonEdit ----------------------------------------------------

const TcvInplaceEditClass& TcvInplaceButtonEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceButtonEdit, TcvButtonEditClassOps>::Instance();
}

TcvInplaceButtonEdit::TcvInplaceButtonEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class),
      FButtons(std::make_unique<TcvInplaceEditButtons>(this, CollectionItemClass<TcvEditButton>())) {
    FButtons->Add();
}

TcvInplaceButtonEdit::~TcvInplaceButtonEdit() = default;

void TcvInplaceButtonEdit::SetButtons(TcvEditButtons* Value) {
    FButtons->Assign(Value);
}

void TcvInplaceButtonEdit::SetViewMode(int Value) {
    if (FViewMode == Value) return;
    FViewMode = Value;
    RecreateWnd();
    PropertiesChanged();
}

void TcvInplaceButtonEdit::ClickDefaultButton() {
    for (int i = 0; i < FButtons->VisibleCount(); ++i)
        if (FButtons->VisibleItem(i)->Default()) {
            ButtonClick(i);
            return;
        }
}

std::unique_ptr<TcvEditViewData> TcvInplaceButtonEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceDropDownEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvButtonEditViewData*>(viewData.get())) {
        v->EditButtons = FButtons.get();
        v->ButtonsOnly = FViewMode == vmButtonsOnly && FButtons->Count() > 0;
    }
    return viewData;
}

void TcvInplaceButtonEdit::ButtonClick(int Index) {
    if (OnButtonClick && Index >= 0 && Index < FButtons->VisibleCount())
        OnButtonClick(this, FButtons->VisibleIndexToIndex(Index));
    DoDropDown();
}

void TcvInplaceButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!HasEditControl()) {
        if (Key == VK_LEFT) MoveContainerRow(true);
        if (Key == VK_RIGHT) MoveContainerRow(false);
    }
    if (FButtons->Count() > 0 && ShortCut(Key, Shift) == FClickKey && IsEditable()) {
        cvCntner::DiscardMessage(Handle(), WM_CHAR);
        ClickDefaultButton();
        Key = 0;
        return;
    }
    TcvInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TcvInplaceButtonEdit::Loaded() {
    TcvInplaceDropDownEdit::Loaded();
    // One update once loading is over: a single stored button becomes the default.
    TUpdateGuard<TCollection> update(FButtons.get());
    if (!FButtonsStreamed) FButtons->Clear();
}

void TcvInplaceButtonEdit::WndProc(TMessage& Message) {
    TcvInplaceDropDownEdit::WndProc(Message);
    if (Message.Msg == WM_GETDLGCODE && IsInplace()) Message.Result |= DLGC_WANTARROWS;
}

// The pick and MRU editors and their popup lists. The incremental search
// keeps what the user typed apart from the text shown: the text becomes the
// first item that starts with the typed part, whose rest stays selected so
// the next character replaces it.
#include "editors/PickEdit.h"

#include "editors/Container.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Focus.h"
#include "platform/ui/ListBoxWindow.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

constexpr size_t MaxTypeAhead = 32;
constexpr DWORD TypeAheadPause = 2000; // ms without typing that start a new string
// LB_SELECTSTRING's "before the first item": the whole list from the top.
constexpr WPARAM WholeList = 65535;

bool StartsWithText(const std::string& Item, const std::string& S) {
    return AnsiSameText(Utf8Copy(Item, 0, Utf8Length(S)), S);
}

} // namespace

// ---- the popup lists -----------------------------------------------------------

void TCustomcvPopupPickListBox::KeyPress(char32_t& Key) {
    TCustomcvPopupListBox::KeyPress(Key);
    if (Key == U'\b' || Key == 0x1B) {
        FTypeAhead.clear();
        return;
    }
    if (Key < 0x20) return;
    const DWORD now = GetTickCount();
    if (now - FLastKeyTime > TypeAheadPause) FTypeAhead.clear();
    FLastKeyTime = now;
    if (FTypeAhead.size() < MaxTypeAhead) {
        FTypeAhead += Key;
        const std::string text = Utf8FromCodePoints(FTypeAhead);
        if (SendMessage(Handle(), LB_SELECTSTRING, WholeList, reinterpret_cast<LPARAM>(text.c_str())) == LB_ERR)
            FTypeAhead.pop_back();
    }
    Key = 0;
}

void TcvPopupPickListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomcvPopupPickListBox::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (auto* editor = dynamic_cast<TcvInplaceDropDownEdit*>(Owner()))
        editor->CloseUp(PtInRect(ClientRect(), {X, Y}));
}

// ---- TcvInplacePickEdit ---------------------------------------------------------

const TcvInplaceEditClass& TcvInplacePickEdit::StaticClass() {
    return TcvEditorClass<TcvInplacePickEdit, TcvDropDownEditClassOps>::Instance();
}

TcvInplacePickEdit::TcvInplacePickEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class), FItems(std::make_unique<TStringList>()),
      FPopupList(new TcvPopupPickListBox(this)) {
    // Items are searched as typed, in Chinese too.
    SetImeMode(imOpen);
    FPopupList->SetVisible(false);
    FPopupList->SetIntegralHeight(true);
    FPopupList->SetItemHeight(11);
    FPopupList->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PopupMouseUp(Sender, Button, Shift, X, Y);
    };
    SetPopup(FPopupList);
    // Typing while the list is open goes on searching.
    SetEditWhileDropped(true);
}

TcvInplacePickEdit::~TcvInplacePickEdit() {
    SetPopup(nullptr);
}

TStrings* TcvInplacePickEdit::Items() const {
    return FItems.get();
}

void TcvInplacePickEdit::SetItems(TStrings* Value) {
    FItems->Assign(Value);
}

void TcvInplacePickEdit::SetDropDownListStyle(bool Value) {
    if (FDropDownListStyle == Value) return;
    FDropDownListStyle = Value;
    InternalSetReadOnly(ReadOnly());
}

void TcvInplacePickEdit::SetItemsSorted(bool Value) {
    if (FItemsSorted == Value) return;
    SetDroppedDown(false);
    FItemsSorted = Value;
    FItems->SetSorted(Value);
}

int TcvInplacePickEdit::FindItem(const std::string& S) const {
    if (S.empty()) return -1;
    for (int i = 0; i < FItems->Count(); ++i)
        if (StartsWithText(FItems->Get(i), S)) return i;
    return -1;
}

void TcvInplacePickEdit::ClearText() {
    if (!CanModify()) return;
    SetLoadingValue(true);
    TScopeGuard loaded([this] { SetLoadingValue(false); });
    SetTextValue({});
}

void TcvInplacePickEdit::SetTextValue(const std::string& S) {
    if (S == Text()) return;
    SetText(S);
    SetModified(true);
}

bool TcvInplacePickEdit::IsEditable() {
    return !FDropDownListStyle && TcvInplaceDropDownEdit::IsEditable();
}

void TcvInplacePickEdit::InternalSetReadOnly(bool Value) {
    TcvInplaceDropDownEdit::InternalSetReadOnly(Value);
    if (FDropDownListStyle && HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, 1, 0);
}

void TcvInplacePickEdit::SetEditValue(const Variant& Value) {
    TcvInplaceDropDownEdit::SetEditValue(Value);
    ResetSearch();
}

void TcvInplacePickEdit::UpdateFocusState(bool Focused) {
    TcvInplaceDropDownEdit::UpdateFocusState(Focused);
    ResetSearch();
}

// ---- the search ------------------------------------------------------------------

void TcvInplacePickEdit::ResetSearch() {
    if (LoadingValue()) return;
    FSearching = false;
    FSearchText.clear();
}

bool TcvInplacePickEdit::AllTextSelected() {
    const int length = static_cast<int>(Utf8Length(Text()));
    return length > 0 && GetSelStart() == 0 && GetSelLength() == length;
}

bool TcvInplacePickEdit::ApplySearch() {
    const int index = FindItem(Utf8FromCodePoints(FSearchText));
    if (index < 0) return false;
    {
        SetLoadingValue(true);
        TScopeGuard loaded([this] { SetLoadingValue(false); });
        if (CanModify()) SetTextValue(FItems->Get(index));
    }
    SetSelection(static_cast<int>(FSearchText.size()), static_cast<int>(Utf8Length(Text())));
    return true;
}

void TcvInplacePickEdit::SearchBackspace(char32_t& Key) {
    const int length = static_cast<int>(Utf8Length(Text()));
    if (EditWindowCaretIndex(FHandle) != length && !FDropDownListStyle) ResetSearch();
    if (FDropDownListStyle) {
        if (AllTextSelected() && FCanDeleteText) {
            ClearText();
            Key = 0;
            return;
        }
        if (!FSearching) {
            FSearchText = Utf8ToCodePoints(Text());
            FSearching = true;
        }
    }
    if (!FSearching) return;
    if (!FSearchText.empty()) FSearchText.pop_back();
    if (FSearchText.empty() && (!FDropDownListStyle || FCanDeleteText)) {
        ClearText();
        Key = 0;
        return;
    }
    SetSelection(static_cast<int>(FSearchText.size()), length);
    if (ApplySearch() || FDropDownListStyle) Key = 0;
}

void TcvInplacePickEdit::SearchChar(char32_t& Key) {
    const std::u32string text = Utf8ToCodePoints(Text());
    const int start = GetSelStart();
    const int selected = GetSelLength();
    // The search goes on while what is not selected is exactly what was typed.
    const bool typedPartShown = start + selected == static_cast<int>(text.size()) &&
                                start == static_cast<int>(FSearchText.size()) &&
                                text.compare(0, FSearchText.size(), FSearchText) == 0;
    if (!typedPartShown) ResetSearch();
    if (FSearching && (MaxLength() == 0 || static_cast<int>(text.size()) < MaxLength())) {
        FSearchText += Key;
    } else {
        FSearchText = text.substr(0, static_cast<size_t>(start)) + text.substr(static_cast<size_t>(start + selected));
        FSearchText += Key;
        FSearching = true;
    }
    if (ApplySearch()) Key = 0;
    if (ImmediateDropDown() && !DroppedDown()) {
        DropDown();
        PopupTextChanged(Text());
    }
}

void TcvInplacePickEdit::KeyPress(char32_t& Key) {
    if (ReadOnly()) Key = 0;
    if (Key == U'\b')
        SearchBackspace(Key);
    else if (Key >= 0x20 && Key != 0x7F) // any printable character
        SearchChar(Key);
    TcvInplaceDropDownEdit::KeyPress(Key);
}

void TcvInplacePickEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) ResetSearch();
    if (Key == VK_DELETE && FDropDownListStyle && AllTextSelected() && FCanDeleteText) {
        ClearText();
        Key = 0;
    }
    if (!IsInplace() && FItems->Count() > 0 && !Shift.Contains(ssAlt)) {
        const int page = DropDownRows() - 1;
        const int delta = Key == VK_UP ? -1 : Key == VK_DOWN ? 1 : Key == VK_PRIOR ? -page : Key == VK_NEXT ? page : 0;
        if (delta != 0) {
            StepValue(delta, 0);
            Key = 0;
        }
    }
    TcvInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TcvInplacePickEdit::StepValue(int Delta, int Reserved) {
    if (ReadOnly() || FItems->Count() == 0) return;
    ResetSearch();
    const int start = FItemIndex != -1 ? FItemIndex : FindItem(Text());
    const int last = FItems->Count() - 1;
    int target = 0;
    if (start >= 0 && start <= last) {
        target = std::max(0, start + Delta);
        if (target > last) target = Reserved != 0 ? 0 : last;
    }
    FItemIndex = target;
    if (CanModify()) SetTextValue(FItems->Get(target));
    SelectAllText();
}

void TcvInplacePickEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Shift.Contains(ssDouble) && FRevertable && FItems->Count() > 1) {
        StepValue(1, 1);
        PopupTextChanged(Text());
    }
    TcvInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
}

// ---- the popup list ----------------------------------------------------------------

void TcvInplacePickEdit::DropDown() {
    if (IsDataReadOnly() || !TakeFocus()) return;
    DoDropDown();
    if (FItems->Count() == 0) return;
    TcvPopupPickListBox* list = FPopupList;
    list->TakeLookOf(this);
    list->Items()->Assign(FItems.get());
    list->SetClientHeight(std::min(FItems->Count(), DropDownRows()) * list->MeasuredItemHeight());
    list->SetClientWidth(DropDownWidth() != 0 ? DropDownWidth() : std::max(list->WidestItemWidth(), 10) + 4);
    list->SetItemIndex(FItems->IndexOf(Text()));
    PositionPopup(list, true);
    ShowDroppedPopup();
}

void TcvInplacePickEdit::PopupTextChanged(const std::string& Text) {
    if (!DroppedDown()) return;
    if (!FSearching && FItemIndex >= 0 && FItemIndex < FItems->Count())
        FPopupList->SetItemIndex(FItemIndex);
    else
        FPopupList->SetItemIndex(FindItem(Text));
}

void TcvInplacePickEdit::CloseUp(bool Accept) {
    if (!DroppedDown()) return;
    ResetSearch();
    HideDroppedPopup();
    const int index = FPopupList->ItemIndex();
    Variant value = index >= 0 ? Variant(FPopupList->Items()->Get(index)) : Variant(Text());
    DoCloseUp(value, Accept);
    if (Accept && CanModify()) {
        SetTextValue(VarToStr(value));
        SelectAllText();
    }
}

void TcvInplacePickEdit::HideEditorWindow() {
    CloseUp(false);
    TcvInplaceDropDownEdit::HideEditorWindow();
}

// ---- TcvInplaceMRUEdit -------------------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvMRUEditClassOps::CreateViewData() const {
    return std::make_unique<TcvMRUEditViewData>();
}

void TcvMRUEditClassOps::CalcButtons(TcvDropDownEditViewData& ViewData) const {
    TcvDropDownEditClassOps::CalcButtons(ViewData);
    const auto* v = dynamic_cast<const TcvMRUEditViewData*>(&ViewData);
    if (!v || !v->ShowEllipsis || ViewData.ButtonCount == 0 || ViewData.ButtonCount >= TcvDropDownEditViewData::MaxButtons)
        return;
    TcvEditButtonViewInfo& button = ViewData.Buttons[static_cast<size_t>(ViewData.ButtonCount)];
    button.Glyph = ViewData.DropDownGlyph;
    button.Kind = button.Glyph ? bkGlyph : bkEllipsis;
    button.Width = GetButtonWidth(ViewData, button);
    ++ViewData.ButtonCount;
}

const TcvInplaceEditClass& TcvInplaceMRUEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceMRUEdit, TcvMRUEditClassOps>::Instance();
}

TcvInplaceMRUEdit::TcvInplaceMRUEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplacePickEdit(AOwner, Class) {
    SetImmediateDropDown(false);
}

void TcvInplaceMRUEdit::SetMaxItemCount(int Value) {
    Value = std::max(Value, 0);
    if (FMaxItemCount == Value) return;
    FMaxItemCount = Value;
    Trim();
}

void TcvInplaceMRUEdit::SetShowEllipsis(bool Value) {
    if (FShowEllipsis == Value) return;
    FShowEllipsis = Value;
    PropertiesChanged();
}

void TcvInplaceMRUEdit::DoButtonClick() {
    Fire(OnButtonClick, this);
}

void TcvInplaceMRUEdit::Trim() {
    if (FMaxItemCount <= 0) return;
    while (Items()->Count() > FMaxItemCount)
        Items()->Delete(Items()->Count() - 1);
}

void TcvInplaceMRUEdit::AddItem(const std::string& S) {
    if (S.empty()) return;
    TStrings* items = Items();
    int index = -1;
    for (int i = 0; i < items->Count() && index < 0; ++i)
        if (AnsiSameText(items->Get(i), S)) index = i;
    if (index >= 0) {
        items->Move(index, 0);
        return;
    }
    items->Insert(0, S);
    Trim();
}

void TcvInplaceMRUEdit::ValidateEdit() {
    TcvInplacePickEdit::ValidateEdit();
    if (GetModified()) AddItem(Text());
}

void TcvInplaceMRUEdit::ButtonDown(bool FromClientArea, int Index) {
    TcvInplacePickEdit::ButtonDown(FromClientArea, Index == 1 ? -1 : Index);
}

void TcvInplaceMRUEdit::ButtonClick(int Index) {
    if (Index == 1)
        DoButtonClick();
    else
        TcvInplacePickEdit::ButtonClick(Index);
}

std::unique_ptr<TcvEditViewData> TcvInplaceMRUEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplacePickEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvMRUEditViewData*>(viewData.get())) v->ShowEllipsis = FShowEllipsis;
    return viewData;
}

void TcvInplaceMRUEdit::KeyDown(Word& Key, TShiftState Shift) {
    TcvInplacePickEdit::KeyDown(Key, Shift);
    if (FShowEllipsis && Key == VK_RETURN && Shift == TShiftState{ssCtrl}) {
        cvCntner::DiscardMessage(FHandle, WM_CHAR);
        if (IsEditable()) DoButtonClick();
        Key = 0;
    }
}

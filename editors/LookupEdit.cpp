// The lookup editor and its list. The list dataset's cursor is the list's
// selection: searching, stepping and dropping down all move it, and the key
// of the record it lands on becomes the editor's value.
#include "editors/LookupEdit.h"

#include "editors/DBEdtr.h"
#include "editors/PopupControl.h"
#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <algorithm>

// ---- cvLookupList -------------------------------------------------------------

namespace cvLookupList {

std::string FirstFieldName(const std::string& Names) {
    return Trim(Names.substr(0, Names.find(';')));
}

bool LocateByText(TDataSet* DataSet, const std::string& ListField, const std::string& Text) {
    try {
        return DataSet->Locate(ListField, Variant(Text), {loCaseInsensitive, loPartialKey});
    } catch (const Exception&) {
        return false;
    }
}

std::string TextForKey(TDataSet* DataSet, const std::string& KeyFields, const std::string& ListField,
                       const Variant& Key) {
    if (!DataSet || !DataSet->Active() || Key.IsNull() || Key.IsEmpty()) return {};
    if (!DataSet->Locate(KeyFields, Key, {})) return {};
    const TField* field = DataSet->FindField(ListField);
    return field ? field->DisplayText() : std::string();
}

void StepFromKey(TDataSet* DataSet, const std::string& KeyFields, const Variant& Key, int Delta) {
    if (!Key.IsNull() && !Key.IsEmpty() && DataSet->Locate(KeyFields, Key, {}))
        DataSet->MoveBy(Delta);
    else
        DataSet->First();
}

} // namespace cvLookupList

// ---- TPopupDBLookupListBox ----------------------------------------------------

TPopupDBLookupListBox::TPopupDBLookupListBox(TComponent* AOwner) : TPopupDataList(AOwner) {}

void TPopupDBLookupListBox::SetBorderStyle(TcvPopupBorder Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
    SetRowCount(RowCount()); // the height follows the frame
}

void TPopupDBLookupListBox::SetShadow(bool Value) {
    if (FShadow == Value) return;
    FShadow = Value;
    RecreateWnd();
    SetRowCount(RowCount());
}

int TPopupDBLookupListBox::GetBorderSize() {
    const int frame =
        FBorderStyle == pbDefault ? TPopupDataList::GetBorderSize() : 2 * cvCntner::PopupBorderWidth(FBorderStyle);
    return frame + (FShadow ? FShadowSize : 0);
}

void TPopupDBLookupListBox::CreateParams(TCreateParams& Params) {
    TPopupDataList::CreateParams(Params);
    // The frame is our own, painted in the non-client area.
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TPopupDBLookupListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        TPopupDataList::WndProc(Message);
        cvCntner::DeflatePopupClient(Message, FBorderStyle, FShadow, FShadowSize);
        return;
    case WM_NCPAINT:
        TPopupDataList::WndProc(Message);
        cvCntner::DrawPopupFrame(FHandle, FBorderStyle, false, FShadowSize, FShadow);
        return;
    case WM_SIZE:
        TPopupDataList::WndProc(Message);
        cvCntner::SetPopupShadowRegion(FHandle, FShadow, FShadowSize);
        return;
    default:
        TPopupDataList::WndProc(Message);
        return;
    }
}

// ---- TcvListSourceLink ----------------------------------------------------------

void TcvListSourceLink::ActiveChanged() {
    if (FEditor) FEditor->UpdateListFields();
}

void TcvListSourceLink::LayoutChanged() {
    TDataLink::LayoutChanged();
    if (FEditor) FEditor->UpdateListFields();
}

void TcvListSourceLink::DataSetChanged() {
    TDataLink::DataSetChanged();
    if (FEditor) FEditor->ListDataChanged();
}

// ---- TcvInplaceLookupEdit ---------------------------------------------------------

namespace {

constexpr const char* SPropDefByLookup = "Property already defined by lookup field";
constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";

bool IsEmptyKey(const Variant& Key) {
    return Key.IsNull() || Key.IsEmpty();
}

} // namespace

const TcvInplaceEditClass& TcvInplaceLookupEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceLookupEdit, TcvDropDownEditClassOps>::Instance();
}

TcvInplaceLookupEdit::TcvInplaceLookupEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class), FPopupList(new TPopupDBLookupListBox(nullptr)),
      FListLink(std::make_unique<TcvListSourceLink>(this)), FInternalSource(new TDataSource(nullptr)) {
    // Names are searched as typed, in Chinese too: the input method stays on
    // although the text control itself is read-only.
    SetImeMode(imOpen);
    FPopupList->SetVisible(false);
    FPopupList->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PopupMouseUp(Sender, Button, Shift, X, Y);
    };
    SetPopup(FPopupList);
    // Typing while the list is open goes on searching.
    SetEditWhileDropped(true);
    // A standalone editor has no field bound yet, so its list is its own
    // until a data definition binds a lookup field.
    if (!IsInplace()) FLookupFieldMode = false;
}

TcvInplaceLookupEdit::~TcvInplaceLookupEdit() {
    FListLink->SetEditor(nullptr);
    FListLink->SetDataSource(nullptr);
    SetPopup(nullptr);
    delete FPopupList;
    delete FInternalSource;
}

TField* TcvInplaceLookupEdit::LookupField() {
    if (TcvEditDataDefinition* definition = DataDefinition()) return definition->GetField();
    return FLookupField;
}

TField* TcvInplaceLookupEdit::KeyField() {
    TField* field = LookupField();
    if (!field || !FLookupFieldMode) return field;
    return field->DataSet() ? field->DataSet()->FindField(field->KeyFields()) : nullptr;
}

bool TcvInplaceLookupEdit::KeyFieldModifiable() {
    if (FLookupFieldMode) return cvDBEdtr::CanModifyLookupKey(LookupField());
    TField* key = KeyField();
    return key && key->CanModify();
}

TDataSet* TcvInplaceLookupEdit::ListDataSet() {
    if (!FLookupFieldMode) return FListLink->DataSet();
    TField* field = LookupField();
    return field ? field->LookupDataSet() : nullptr;
}

std::string TcvInplaceLookupEdit::ListKeyFields() {
    if (!FLookupFieldMode) return FKeyFieldName;
    TField* field = LookupField();
    return field ? field->LookupKeyFields() : std::string();
}

std::string TcvInplaceLookupEdit::ListTextField() {
    if (!FLookupFieldMode) return cvLookupList::FirstFieldName(FListFieldName.empty() ? FKeyFieldName : FListFieldName);
    TField* field = LookupField();
    if (!FListFieldName.empty()) return cvLookupList::FirstFieldName(FListFieldName);
    return field ? field->LookupResultField() : std::string();
}

Variant TcvInplaceLookupEdit::CurrentKey() {
    if (FLocateKey || !FLookupFieldMode) return FLookupKeyValue;
    TField* key = KeyField();
    return key ? key->Value() : Null();
}

std::string TcvInplaceLookupEdit::TextForKey(const Variant& Key) {
    if (!FLookupFieldMode) {
        TDataSet* dataSet = ListDataSet();
        return dataSet ? cvLookupList::TextForKey(dataSet, FKeyFieldName, ListTextField(), Key) : std::string();
    }
    TField* field = LookupField();
    if (!field) return {};
    if (!FLocateKey) return field->DisplayText();
    return cvLookupList::TextForKey(field->LookupDataSet(), field->LookupKeyFields(), field->LookupResultField(), Key);
}

void TcvInplaceLookupEdit::LoadKey(const Variant& Key) {
    FLookupKeyValue = Key;
    const std::string text = TextForKey(Key);
    LoadValue([&] { SetText(text); });
}

const std::string& TcvInplaceLookupEdit::KeyFieldName() const {
    static const std::string none;
    return FLookupFieldMode ? none : FKeyFieldName;
}

TDataSource* TcvInplaceLookupEdit::ListSource() const {
    return FLookupFieldMode ? nullptr : FListLink->DataSource();
}

void TcvInplaceLookupEdit::CheckListSourceMode() {
    if (FLookupFieldMode) throw EDatabaseError(SPropDefByLookup);
}

void TcvInplaceLookupEdit::SetKeyFieldName(const std::string& Value) {
    CheckListSourceMode();
    if (FKeyFieldName == Value) return;
    FKeyFieldName = Value;
    UpdateListFields();
}

void TcvInplaceLookupEdit::SetListFieldName(const std::string& Value) {
    if (FListFieldName == Value) return;
    FListFieldName = Value;
    UpdateListFields();
}

void TcvInplaceLookupEdit::SetListSource(TDataSource* Value) {
    CheckListSourceMode();
    if (TDataSource* old = FListLink->DataSource()) old->RemoveFreeNotification(this);
    FListLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TcvInplaceLookupEdit::SetLookupKeyValue(const Variant& Value) {
    LoadKey(Value);
    ClearSearch();
}

void TcvInplaceLookupEdit::SetTextEditable(bool Value) {
    FTextEditable = Value;
    if (HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, !IsEditable());
}

void TcvInplaceLookupEdit::SetLookupField(TField* Value) {
    if (FLookupField == Value) return;
    if (FLookupField) FLookupField->RemoveFreeNotification(this);
    FLookupField = Value;
    if (Value) Value->FreeNotification(this);
}

void TcvInplaceLookupEdit::SetLookupFieldMode(bool Value) {
    if (FLookupFieldMode == Value) return;
    FLookupFieldMode = Value;
    FListLink->SetDataSource(nullptr);
    FKeyFieldName.clear();
    FInternalSource->SetDataSet(nullptr);
}

void TcvInplaceLookupEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TcvInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FLookupField) FLookupField = nullptr;
    if (AComponent == FListLink->DataSource()) FListLink->SetDataSource(nullptr);
}

void TcvInplaceLookupEdit::UpdateListFields() {
    if (FLookupFieldMode) return;
    TDataLink* own = GetDataLink();
    if (own && own->DataSet() && FListLink->DataSet() == own->DataSet()) throw EDatabaseError(SCircularDataLink);
    LoadKey(FLookupKeyValue);
    ClearSearch();
}

bool TcvInplaceLookupEdit::ApplyKeyValue(const Variant& Value) {
    if (!FLocateKey) {
        TField* key = KeyField();
        if (!LookupField() || !key || !KeyFieldModifiable() || !CanModify()) return false;
        if (IsEmptyKey(Value))
            key->Clear();
        else
            key->SetValue(Value);
    }
    LoadKey(Value);
    SetModified(true);
    Changed();
    return true;
}

void TcvInplaceLookupEdit::ClearValue() {
    ApplyKeyValue(Null());
    LoadKey(CurrentKey());
    SelectAllText();
}

bool TcvInplaceLookupEdit::CanDropDown() {
    TDataSet* dataSet = ListDataSet();
    return !ReadOnly() && dataSet && dataSet->Active() && !ListTextField().empty();
}

bool TcvInplaceLookupEdit::AllTextSelected() {
    const int length = static_cast<int>(Utf8Length(Text()));
    return length > 0 && GetSelStart() == 0 && GetSelLength() == length;
}

// ---- choosing from the list ---------------------------------------------------

void TcvInplaceLookupEdit::SyncList() {
    if (DroppedDown()) FPopupList->SetKeyValue(CurrentKey());
}

void TcvInplaceLookupEdit::DropDown() {
    if (DroppedDown() || !CanDropDown() || !TakeFocus()) return;
    DoDropDown();
    TPopupDBLookupListBox* list = FPopupList;
    list->SetParent(this);
    list->SetBorderStyle(GetPopupBorder());
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetShadow(Style()->Shadow());
    list->SetWidth(DropDownWidth() > 0 ? DropDownWidth() : Width());
    TDataSet* dataSet = ListDataSet();
    list->SetRowCount(std::min(DropDownRows(), std::max(1, dataSet->RecordCount())));
    if (FLookupFieldMode) {
        FInternalSource->SetDataSet(dataSet);
        list->SetListSource(FInternalSource);
        list->SetKeyField(ListKeyFields());
        list->SetListField(FListFieldName.empty() ? LookupField()->LookupResultField() : FListFieldName);
    } else {
        list->SetListSource(FListLink->DataSource());
        list->SetKeyField(FKeyFieldName);
        list->SetListField(FListFieldName.empty() ? FKeyFieldName : FListFieldName);
    }
    list->SetKeyValue(CurrentKey());
    PositionPopup(list, false);
    ShowDroppedPopup();
}

void TcvInplaceLookupEdit::CloseUp(bool Accept) {
    if (!DroppedDown()) return;
    ClearSearch();
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    if (FPopupList->HandleAllocated())
        SetWindowPos(FPopupList->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDroppedDownFlag(false);
    Variant value = FPopupList->KeyValue();
    DoCloseUp(value, Accept);
    if (Accept) {
        const std::string before = Text();
        if (ApplyKeyValue(value) || Text() != before) LoadKey(CurrentKey());
        SelectAllText();
    }
    if (HandleAllocated()) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TcvInplaceLookupEdit::HideEditorWindow() {
    CloseUp(false);
    TcvInplaceDropDownEdit::HideEditorWindow();
}

void TcvInplaceLookupEdit::PopupTextChanged(const std::string& Text) {
    (void)Text;
    SyncList();
}

void TcvInplaceLookupEdit::StepValue(int Delta, int Reserved) {
    (void)Reserved;
    if (!CanDropDown()) return;
    ClearSearch();
    TDataSet* dataSet = ListDataSet();
    const Variant old = CurrentKey();
    cvLookupList::StepFromKey(dataSet, ListKeyFields(), old, Delta);
    if (dataSet->IsEmpty()) return;
    const Variant key = dataSet->FieldByName(cvLookupList::FirstFieldName(ListKeyFields()))->Value();
    if (key != old) ApplyKeyValue(key);
    SelectAllText();
}

// ---- the search --------------------------------------------------------------

void TcvInplaceLookupEdit::ClearSearch() {
    FSearching = false;
    FSearchText.clear();
}

void TcvInplaceLookupEdit::SearchChar(char32_t Key) {
    if (!FSearching) FSearchText.clear();
    FSearching = true;
    FSearchText += Key;
    RunSearch();
}

// Shows the search text and looks for it; a character that finds nothing is
// dropped again, so the search stays on the longest prefix that matched.
void TcvInplaceLookupEdit::RunSearch() {
    const std::string search = Utf8FromCodePoints(FSearchText);
    LoadValue([&] { SetText(search); });
    TDataSet* dataSet = ListDataSet();
    if (cvLookupList::LocateByText(dataSet, ListTextField(), search)) {
        const Variant key = dataSet->FieldByName(cvLookupList::FirstFieldName(ListKeyFields()))->Value();
        SetLoadingValue(true);
        TScopeGuard loaded([this] { SetLoadingValue(false); });
        ApplyKeyValue(key);
        SetSelection(static_cast<int>(Utf8Length(Text())), static_cast<int>(FSearchText.size()));
    } else if (FSearchText.size() > 1) {
        const char32_t retyped = FSearchText[FSearchText.size() - 2];
        FSearchText.resize(FSearchText.size() - 2);
        LoadKey(CurrentKey());
        SearchChar(retyped);
        return;
    } else {
        ClearSearch();
        LoadKey(CurrentKey());
        SelectAllText();
    }
    if (ImmediateDropDown() && !DroppedDown()) DropDown();
    SyncList();
}

void TcvInplaceLookupEdit::SearchBack() {
    if (AllTextSelected() && FCanDeleteText) {
        ClearValue();
        return;
    }
    if (!FSearching) {
        FSearchText = Utf8ToCodePoints(Text()).substr(0, static_cast<size_t>(std::max(0, GetSelStart())));
        FSearching = true;
    }
    if (!FSearchText.empty()) FSearchText.pop_back();
    if (!FSearchText.empty()) {
        RunSearch();
        return;
    }
    // An emptied search changes the value only when the text may be deleted.
    ClearSearch();
    if (FCanDeleteText)
        ClearValue();
    else
        LoadKey(CurrentKey());
}

// ---- keys and mouse ------------------------------------------------------------

void TcvInplaceLookupEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) ClearSearch();
    if (!IsEditable()) {
        if (Key == VK_DELETE && FCanDeleteText && AllTextSelected() && !ReadOnly()) {
            ClearValue();
            Key = 0;
            return;
        }
        if (!IsInplace() && !DroppedDown() && !Shift.Contains(ssAlt)) {
            const int page = std::max(1, DropDownRows() - 1);
            int delta = 0;
            if (Key == VK_UP) delta = -1;
            if (Key == VK_DOWN) delta = 1;
            if (Key == VK_PRIOR) delta = -page;
            if (Key == VK_NEXT) delta = page;
            if (delta != 0) {
                StepValue(delta, 0);
                Key = 0;
                return;
            }
        }
    }
    if (FClearKey != scNone && ShortCut(Key, Shift) == FClearKey && !ReadOnly()) {
        ClearValue();
        Key = 0;
        return;
    }
    TcvInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TcvInplaceLookupEdit::KeyPress(char32_t& Key) {
    TcvInplaceDropDownEdit::KeyPress(Key);
    if (IsEditable() || Key == 0) return;
    const bool searches = !ReadOnly() && ListDataSet() && !ListTextField().empty();
    if (Key == U'\b') {
        if (searches) SearchBack();
        Key = 0;
    } else if (Key >= 0x20 && Key != 0x7F) { // any printable character
        if (searches) SearchChar(Key);
        Key = 0;
    }
}

void TcvInplaceLookupEdit::DblClick() {
    if (!IsInplace() && FRevertable) StepValue(1, 0);
    TcvInplaceDropDownEdit::DblClick();
}

// ---- values and state ----------------------------------------------------------

void TcvInplaceLookupEdit::SetEditValue(const Variant& Value) {
    if (FLookupFieldMode) {
        TcvInplaceDropDownEdit::SetEditValue(Value);
        return;
    }
    LoadKey(Value);
}

Variant TcvInplaceLookupEdit::GetEditValue() {
    return FLookupFieldMode ? TcvInplaceDropDownEdit::GetEditValue() : FLookupKeyValue;
}

void TcvInplaceLookupEdit::GetViewValue(Variant& Value, bool FromDefinition) {
    if (FromDefinition && DataDefinition() && !FLookupFieldMode)
        Value = TextForKey(DataDefinition()->GetValue());
    else
        TcvInplaceDropDownEdit::GetViewValue(Value, FromDefinition);
}

void TcvInplaceLookupEdit::ApplyDefinitionProperties() {
    if (!IsInplace() && DataDefinition()) {
        TField* field = DataDefinition()->GetField();
        SetLookupFieldMode(field && field->FieldKind() == fkLookup);
    }
    TcvInplaceDropDownEdit::ApplyDefinitionProperties();
}

bool TcvInplaceLookupEdit::IsEditable() {
    return FTextEditable && !ReadOnly();
}

bool TcvInplaceLookupEdit::GetDefaultReadOnly() {
    if (FLocateKey || FTextEditable) return false;
    return !(KeyField() && KeyFieldModifiable());
}

void TcvInplaceLookupEdit::InternalSetReadOnly(bool Value) {
    TcvInplaceDropDownEdit::InternalSetReadOnly(Value);
    // Typing goes through the search: the text itself stays read-only.
    if (HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, !IsEditable());
}

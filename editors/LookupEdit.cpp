// The lookup editor and its list. The list dataset's cursor is the list's
// selection: searching, stepping and dropping down all move it, and the key
// of the record it lands on becomes the editor's value.
#include "editors/LookupEdit.h"

#include "editors/PopupControl.h"
#include "platform/data/DB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

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

// The wrapper column.
#include "dbgrid/DBColumnFamilyWrapper.h"

#include "platform/rtl/ScopeGuard.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListControl.h"

TcvDBTreeListWrapperColumn::TcvDBTreeListWrapperColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {
    SetDisableFilter(true);
}

void TcvDBTreeListWrapperColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    SetDisableFilter(true);
}

template <class TOperation>
void TcvDBTreeListWrapperColumn::AtOwnIndex(TcvDBTreeListColumn& Reference, TOperation&& Operation) const {
    Reference.SetFixedIndex(GetIndex());
    TScopeGuard reset([&] { Reference.SetFixedIndex(-1); });
    Operation();
}

TcvDBTreeListColumn* TcvDBTreeListWrapperColumn::GetReferenceColumn(TcvTreeListNode* Node) const {
    if (!Node && TreeList()) Node = TreeList()->FocusedNode();
    TcvDBTreeListColumn* column = nullptr;
    if (OnGetReferenceColumn) OnGetReferenceColumn(const_cast<TcvDBTreeListWrapperColumn*>(this), Node, column);
    return column == this ? nullptr : column;
}

void TcvDBTreeListWrapperColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    TcvDBTreeListColumn* reference = GetReferenceColumn(Node);
    if (!reference) return TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    AtOwnIndex(*reference, [&] { reference->ApplyEditorValue(Node, Editor, Value); });
}

const TcvInplaceEditClass& TcvDBTreeListWrapperColumn::GetEditorClass() const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->GetEditorClass() : TcvDBTreeListColumn::GetEditorClass();
}

std::string TcvDBTreeListWrapperColumn::GetDisplayText(TcvTreeListNode* Node) const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(Node);
    return reference ? reference->GetDisplayText(Node) : TcvDBTreeListColumn::GetDisplayText(Node);
}

bool TcvDBTreeListWrapperColumn::TextFollowsValue() const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->TextFollowsValue() : TcvDBTreeListColumn::TextFollowsValue();
}

std::string TcvDBTreeListWrapperColumn::GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(Node);
    return reference ? reference->GetStoredDisplayText(Node, Value)
                     : TcvDBTreeListColumn::GetStoredDisplayText(Node, Value);
}

void TcvDBTreeListWrapperColumn::GetCellCursor(TcvTreeListNode* Node, TCursor& Cursor) const {
    if (TcvDBTreeListColumn* reference = GetReferenceColumn(Node))
        reference->GetCellCursor(Node, Cursor);
    else
        TcvDBTreeListColumn::GetCellCursor(Node, Cursor);
}

void TcvDBTreeListWrapperColumn::InitEditor(TcvInplaceEdit* Editor) {
    if (TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr))
        reference->InitEditor(Editor);
    else
        TcvDBTreeListColumn::InitEditor(Editor);
}

void TcvDBTreeListWrapperColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    TcvDBTreeListColumn* reference = GetReferenceColumn(Node);
    if (!reference) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    AtOwnIndex(*reference, [&] { reference->InitEditValue(Node, Editor, Value); });
}

bool TcvDBTreeListWrapperColumn::ShowsEditButton(bool Default) const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->ShowsEditButton(Default) : TcvDBTreeListColumn::ShowsEditButton(Default);
}

void TcvDBTreeListWrapperColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    if (TcvDBTreeListColumn* reference = GetReferenceColumn(Cell.Node))
        reference->PrepareViewData(ViewData, Cell);
    else
        TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
}

std::string TcvDBTreeListWrapperColumn::GetValueText(const Variant& Value) const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->GetValueText(Value) : TcvDBTreeListColumn::GetValueText(Value);
}

bool TcvDBTreeListWrapperColumn::CanEditValue() const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->CanEditValue() : TcvDBTreeListColumn::CanEditValue();
}

bool TcvDBTreeListWrapperColumn::IsValueCurrent(const Variant& Value) const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->IsValueCurrent(Value) : TcvDBTreeListColumn::IsValueCurrent(Value);
}

bool TcvDBTreeListWrapperColumn::IsPictureColumn() const {
    TcvDBTreeListColumn* reference = GetReferenceColumn(nullptr);
    return reference ? reference->IsPictureColumn() : TcvDBTreeListColumn::IsPictureColumn();
}

void TcvDBTreeListWrapperColumn::LoadNodeValue(TcvTreeListNode* Node) {
    TcvDBTreeListColumn* reference = GetReferenceColumn(Node);
    if (!reference) return TcvDBTreeListColumn::LoadNodeValue(Node);
    AtOwnIndex(*reference, [&] { reference->LoadNodeValue(Node); });
}

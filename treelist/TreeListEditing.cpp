// The in-place editing host: which editor serves the focused cell (the
// control caches one per editor class), how it is set up from the control
// and the focused column, how the cell value goes into it, and the host
// call-backs the editor asks.
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "editors/TextEdit.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "treelist/TreeListControl.h"
#include "treelist/TreeListEditStyle.h"

#include <algorithm>

namespace {

// The nearest colour the screen shows for Color.
COLORREF NearestScreenColor(TColor Color) {
    HDC dc = GetDC(nullptr);
    const COLORREF nearest = GetNearestColor(dc, ColorToRGB(Color));
    ReleaseDC(nullptr, dc);
    return nearest;
}

// Cells start their text one pixel in from the left edge.
constexpr TRect CellEditMargins{1, 0, 0, 0};

} // namespace

// The tree list's host operations ---------------------------------------------------

TcvInplaceEdit* TCustomcvTreeList::CreateEditor(int VisibleColumn) {
    (void)VisibleColumn;
    auto* editor = new TcvInplaceTreeListTextEdit(this);
    editor->SetParent(this);
    return editor;
}

TcvInplaceEdit* TCustomcvTreeList::FindEditor(int VisibleColumn) {
    (void)VisibleColumn;
    return FInplaceEditor;
}

void TCustomcvTreeList::InitEditor(TcvInplaceEdit* Editor) {
    Editor->SetLoadingValue(false);
    const TColor color = GetEditColor();
    Editor->SetColor(color);
    Editor->SetColor(TColor(NearestScreenColor(color)));
    Editor->Font()->Assign(GetEditFont());
    Editor->SetEditMargins(CellEditMargins);
}

void TCustomcvTreeList::ColumnEditorHook(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    (void)Node, (void)Editor;
    Value = std::string();
}

TColor TCustomcvTreeList::GetEditColor() {
    TColor color = GetColumnColor(GetFocusedAbsoluteIndex());
    Fire(OnGetEditColor, this, color);
    return color;
}

TFont* TCustomcvTreeList::GetEditFont() {
    const int column = GetFocusedAbsoluteIndex();
    return IsColumnFontAssigned(column) ? GetColumnFont(column) : Font();
}

std::unique_ptr<TcvEditStyle> TCustomcvTreeList::CreateEditStyle(TcvInplaceEdit* Editor) {
    return std::make_unique<TcvTreeListEditStyle>(Editor, this);
}

bool TCustomcvTreeList::IsEditing() const {
    return FState == 2 && !ComponentState().Contains(csDesigning) && !IsUpdating() && HandleAllocated();
}

bool TCustomcvTreeList::IsEditorInputBlocked() {
    return FEditorNode && FEditorNode != FFocusedNode;
}

void TCustomcvTreeList::EditorMoveFocusedRow(bool Up) {
    HideEditorAndFocus();
    MoveFocus(Up ? navPrev : navNext, false);
}

std::string TCustomcvTreeList::GetEditorValueText() {
    return FState == 2 && FInplaceEditor ? FInplaceEditor->GetValueText() : std::string();
}

// Opening, loading, placing and posting --------------------------------------------------

void TCustomcvTreeList::ShowEditor() {
    if (!CanEditing() || IsRowSelect() || !FFocusedNode) return;
    bool allow = true;
    DoEditing(FFocusedNode, allow);
    if (!allow) {
        FInplaceEditor = nullptr;
        return;
    }
    if (FState != 0 || GetVisibleColumnCount() == 0) return;
    MakeColumnVisible(GetFocusedColumn());
    MakeNodeVisible(FFocusedNode);
    SetState(2);
    UpdateEditor(true);
}

void TCustomcvTreeList::UpdateEditor(bool Show) {
    if (!IsEditing()) return;
    const int column = GetFocusedColumn();
    TcvInplaceEdit* editor = FindEditor(column);
    if (editor != FInplaceEditor) RemoveEditor(false);
    if (!editor) editor = CreateEditor(column);
    FInplaceEditor = editor;
    if (!editor) return;
    const bool holdsCell = FEditorColumn == column && FEditorNode == FFocusedNode;
    if (!holdsCell) {
        RemoveEditor(false);
        SetState(2);
        LoadEditorValue();
    }
    const TRect rect = GetCellEditRect(FFocusedNode, column);
    if (!IsEditing()) {
        ResetEditorCell();
        return;
    }
    if (holdsCell && editor->EditorShown() && !IsRectEmpty(rect)) {
        // Open over this cell already: it follows the cell and takes the
        // keys, with its text, caret and selection as the user left them.
        editor->PlaceOverRect(rect);
        if (GetFocus() != editor->Handle()) ::SetFocus(editor->Handle());
        return;
    }
    if (Show) {
        editor->ShowOverRect(rect);
        return;
    }
    editor->IncShowLock();
    const TScopeGuard unlock([editor] { editor->DecShowLock(); });
    editor->ShowOverRect(rect);
}

void TCustomcvTreeList::LoadEditorValue() {
    FEditorColumn = GetFocusedColumn();
    FEditorNode = FFocusedNode;
    BeginInitEditor();
    const TScopeGuard filled([this] { EndInitEditor(); });
    InitEditor(FInplaceEditor);
    Variant value;
    ColumnEditorHook(FEditorNode, FInplaceEditor, value);
}

void TCustomcvTreeList::PostEditorValue() {
    if (!FEditorNode || !FInplaceEditor || !FInplaceEditor->GetModified()) return;
    Variant value;
    GetCellVariant(FEditorNode, FEditorColumn, value, FInplaceEditor);
    DoEdited(FEditorNode);
}

void TCustomcvTreeList::FollowEditorCell() {
    if (!IsEditing() || !FEditorNode || !FInplaceEditor) return;
    const bool shown = FEditorNode == FFocusedNode && FEditorColumn == GetFocusedColumn() &&
                       GetCellEditRect(FEditorNode, FEditorColumn).Top >= 0;
    if (shown)
        UpdateEditor(false);
    else if (!RunGuarded([this] { HideEditor(); }))
        ResetEditorCell();
}

void TCustomcvTreeList::RenumberFocusedCell(int FocusedColumn, int EditorColumn) {
    FFocusedColumn = FocusedColumn;
    if (FEditorNode) FEditorColumn = EditorColumn;
    FFocusedAbsoluteIndex = -1;
}

void TCustomcvTreeList::GetCellVariant(TcvTreeListNode* Node, int Column, Variant& Value, TcvInplaceEdit* Editor) {
    (void)Node, (void)Column, (void)Editor;
    Value = Variant();
}

void TCustomcvTreeList::ShowEditorWithMouse(TShiftState Shift, int X, int Y) {
    (void)Shift;
    ShowEditor();
    if (FState == 2 && FInplaceEditor) FInplaceEditor->ForwardMouseDown(X, Y);
}

void TCustomcvTreeList::ShowEditorByClick() {
    ShowEditor();
    if (FState == 2 && FInplaceEditor) FInplaceEditor->ActivateByClick();
}

// The column's side --------------------------------------------------------------------

void TcvTreeListColumn::InitEditor(TcvInplaceEdit* Editor) {
    Editor->SetReadOnly(ReadOnly());
    Editor->OnChange = [this](TObject* Sender) { DoChange(Sender); };
    Editor->OnValidate = [this](TObject* Sender, std::string& ErrorText, bool& Accept) {
        DoValidate(Sender, ErrorText, Accept);
    };
    auto* text = dynamic_cast<TcvInplaceTextEdit*>(Editor);
    if (!text) return;
    text->SetCharCase(FCharCase);
    text->SetMaxLength(MaxLength());
    text->SetOEMConvert(FOEMConvert);
    text->SetPasswordChar(FPasswordChar);
}

void TcvTreeListColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    Editor->SetText(Node->Strings(GetIndex()));
    Value = Editor->Text();
}

void TcvTreeListColumn::DoChange(TObject* Sender) {
    if (!FTreeList || FTreeList->FillingEditor()) return;
    FTreeList->DoEditChange(Sender);
    Fire(OnChange, this);
}

void TcvTreeListColumn::DoValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
    if (!FTreeList || FTreeList->FillingEditor()) return;
    FTreeList->DoEditValidate(Sender, ErrorText, Accept);
    Fire(OnValidate, Sender, ErrorText, Accept);
}

// The control's editor cache -----------------------------------------------------------

TcvInplaceEdit* TCustomcvTreeListControl::CreateEditor(int VisibleColumn) {
    TcvTreeListColumn* column = Columns(GetAbsoluteIndex(VisibleColumn));
    if (!column) return nullptr;
    TcvInplaceEdit* editor = column->GetEditorClass().CreateEditor(this);
    editor->SetParent(this);
    FEditors.push_back(editor);
    return editor;
}

TcvInplaceEdit* TCustomcvTreeListControl::FindEditor(int VisibleColumn) {
    TcvTreeListColumn* column = Columns(GetAbsoluteIndex(VisibleColumn));
    if (!column) return nullptr;
    // The class object itself, not a descendant: a mask column never gets
    // the text columns' editor.
    const TcvInplaceEditClass* wanted = &column->GetEditorClass();
    const auto found = std::find_if(FEditors.begin(), FEditors.end(),
                                    [wanted](TcvInplaceEdit* editor) { return &editor->EditorClass() == wanted; });
    return found != FEditors.end() ? *found : nullptr;
}

void TCustomcvTreeListControl::InitEditor(TcvInplaceEdit* Editor) {
    TCustomcvTreeList::InitEditor(Editor);
    FEditingColumn = FocusedColumn();
    if (FEditingColumn) FEditingColumn->InitEditor(Editor);
}

void TCustomcvTreeListControl::ColumnEditorHook(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    if (TcvTreeListColumn* column = FocusedColumn())
        column->InitEditValue(Node, Editor, Value);
    else
        TCustomcvTreeList::ColumnEditorHook(Node, Editor, Value);
}

void TCustomcvTreeListControl::GetCellVariant(TcvTreeListNode* Node, int Column, Variant& Value,
                                              TcvInplaceEdit* Editor) {
    // Without this the control would drop every edit: it has no data layer
    // to take the value. The editor's own value goes to the column it was
    // loaded for, which the shown index may no longer name.
    TcvTreeListColumn* column = Node == EditorNode() && FEditingColumn ? FEditingColumn : Columns(GetAbsoluteIndex(Column));
    if (column) {
        column->ApplyEditorValue(Node, Editor, Value);
        InvalidateNode(Node, false);
    } else {
        TCustomcvTreeList::GetCellVariant(Node, Column, Value, Editor);
    }
}

bool TCustomcvTreeListControl::CanEditModify() {
    const TcvTreeListColumn* column = FocusedColumn();
    return column && !column->ReadOnly();
}

void TCustomcvTreeListControl::DoEditing(TcvTreeListNode* Node, bool& Allow) {
    TCustomcvTreeList::DoEditing(Node, Allow);
    if (TcvTreeListColumn* column = FocusedColumn(); Allow && column) Allow = column->IsEditorEnabled();
}

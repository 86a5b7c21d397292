// The demo's cell strip: a caption row over a row of editor cells.
#include "tools/editordemo/DemoStrip.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Graphics.h"

namespace {

constexpr int CaptionHeight = 20;
constexpr int CellHeight = 40;

} // namespace

TcvInplaceEdit* TDemoStrip::AddCell(const TcvInplaceEditClass& Class, const std::string& Caption,
                                    const Variant& Value, int Width) {
    TcvInplaceEdit* editor = Class.CreateEditor(this);
    editor->SetParent(this);
    FCells.push_back({editor, Caption, Width});
    FillEditor(editor, Value);
    return editor;
}

void TDemoStrip::FillEditor(TcvInplaceEdit* Editor, const Variant& Value) {
    BeginInitEditor();
    Editor->SetEditValue(Value);
    Editor->SetModified(false);
    EndInitEditor();
    Invalidate();
}

int TDemoStrip::CellIndex(const TcvInplaceEdit* Editor) const {
    for (size_t i = 0; i < FCells.size(); ++i)
        if (FCells[i].Editor == Editor) return static_cast<int>(i);
    return -1;
}

TRect TDemoStrip::CellRect(int Index) const {
    // Cells flow left to right and wrap into a further row at the strip's edge.
    int left = 0, top = 0;
    for (int i = 0;; ++i) {
        const int width = FCells[static_cast<size_t>(i)].Width;
        if (left > 0 && left + width > ClientWidth()) {
            left = 0;
            top += CaptionHeight + CellHeight;
        }
        if (i == Index) return {left, top + CaptionHeight, left + width, top + CaptionHeight + CellHeight};
        left += width;
    }
}

void TDemoStrip::EditorKeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_TAB) {
        CloseEditor();
        SetFocus();
        Key = 0;
        return;
    }
    TCustomcvContainer::EditorKeyDown(Key, Shift);
}

void TDemoStrip::EditorFocusChanged() {
    // A drop-down editor counts its popup as its own focus.
    if (FOpenEditor && !FOpenEditor->IsFocused()) CloseEditor();
}

void TDemoStrip::CloseEditor() {
    TcvInplaceEdit* editor = FOpenEditor;
    if (!editor) return;
    FOpenEditor = nullptr; // hiding moves the focus, which asks again
    editor->HideEditorWindow();
    Invalidate();
}

void TDemoStrip::Paint() {
    HDC dc = Canvas()->Handle();
    const TRect all = ClientRect();
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, Font()->Handle());
    for (size_t i = 0; i < FCells.size(); ++i) {
        const TCell& cell = FCells[i];
        TRect area = CellRect(static_cast<int>(i));
        TRect caption{area.Left + 2, area.Top - CaptionHeight, area.Right, area.Top};
        DrawText(dc, cell.Caption, &caption, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        if (cell.Editor == FOpenEditor) continue;
        InflateRect(area, -2, -2);
        std::unique_ptr<TcvEditViewData> viewData = cell.Editor->CreateViewData(false);
        viewData->Bounds = area;
        cell.Editor->EditorClass().DrawCell(dc, *viewData, nullptr);
    }
}

void TDemoStrip::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomcvContainer::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    for (size_t i = 0; i < FCells.size(); ++i) {
        TRect area = CellRect(static_cast<int>(i));
        if (!PtInRect(area, TPoint{X, Y})) continue;
        CloseEditor();
        InflateRect(area, -2, -2);
        FOpenEditor = FCells[i].Editor;
        FOpenEditor->ShowEditor(area);
        FOpenEditor->ActivateByClick();
        return;
    }
}

// A row of cells, one per editor class, as a grid paints them: each cell is
// drawn by its class's DrawCell from the view data of the cell's hidden
// in-place editor, and a click opens that editor over the cell. What the user
// leaves in the editor is what the cell shows afterwards.
#pragma once

#include "editors/Container.h"
#include "platform/rtl/Variants.h"

#include <string>
#include <vector>

class TcvInplaceEdit;
class TcvInplaceEditClass;

class TDemoStrip : public TCustomcvContainer {
public:
    using TCustomcvContainer::TCustomcvContainer;

    // A cell Width pixels wide after the ones added before (in a further row
    // when the strip's width is full), with an editor of
    // Class (owned by the strip) holding Value and Caption over it.
    TcvInplaceEdit* AddCell(const TcvInplaceEditClass& Class, const std::string& Caption, const Variant& Value,
                            int Width);
    // Gives Editor Value as a host fills an editor: not as the user's change.
    void FillEditor(TcvInplaceEdit* Editor, const Variant& Value);
    TRect CellRect(int Index) const;
    // The index of Editor's cell; -1 when it has none.
    int CellIndex(const TcvInplaceEdit* Editor) const;
    // The editor open over a cell; nullptr when none is.
    TcvInplaceEdit* OpenEditor() const { return FOpenEditor; }

    bool CanEditModify() override { return true; }
    bool IsValidEditChar(char32_t Key) override { return (void)Key, true; }
    // Enter, Esc and Tab close the editor (it has validated or restored itself by now).
    void EditorKeyDown(Word& Key, TShiftState Shift) override;
    void EditorFocusChanged() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    struct TCell {
        TcvInplaceEdit* Editor;
        std::string Caption;
        int Width;
    };
    void CloseEditor();

    std::vector<TCell> FCells;
    TcvInplaceEdit* FOpenEditor = nullptr;
};

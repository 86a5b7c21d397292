// TCustomcvContainer: the control that hosts in-place editors (the tree list
// and the grid derive from it). An editor reaches its host only through the
// virtual host operations below; their answers here are the defaults the
// hosts override.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/ScrollBar.h"

#include <memory>

class TcvEditStyle;
class TcvInplaceEdit;

enum TcvLookAndFeel { lfStandard, lfFlat, lfUltraFlat };
enum TcvPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };

class TCustomcvContainer : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

    TcvLookAndFeel LookAndFeel() const { return FLookAndFeel; }
    // Recreates the window when the value changes.
    void SetLookAndFeel(TcvLookAndFeel Value);
    // True between BeginInitEditor and EndInitEditor.
    bool FillingEditor() const { return FFillingEditor; }

    // Host operations, in the order editors know them.
    virtual bool CanEditModify() { return false; }
    virtual bool IsValidEditChar(char32_t Key) { return (void)Key, false; }
    virtual bool EditorHostOption() { return true; }
    virtual std::unique_ptr<TcvEditStyle> CreateEditStyle(TcvInplaceEdit* Editor);
    // Sends WM_VSCROLL with SB_LINEUP / SB_LINEDOWN Count times to itself.
    virtual void ScrollByLines(bool Up, int Count);
    virtual TColor GetEditColor() { return Color(); }
    virtual TFont* GetEditFont() { return Font(); }
    virtual bool IsEditorReadOnly() { return false; }
    virtual bool SuppressFocusedCellDraw() { return false; }
    // Keys the editor passes on; fires OnKeyDown with the container as Sender.
    virtual void EditorKeyDown(Word& Key, TShiftState Shift);
    virtual bool IsEditorInputBlocked() { return false; }
    virtual bool EditorConvertsDblClick() { return false; }
    virtual bool EditorHostQuery() { return false; }
    virtual bool EditorWantsTab() { return false; }
    virtual void EditorMoveFocusedRow(bool Up) { (void)Up; }
    // The editor gained the focus, or lost it to a window other than the host.
    virtual void EditorFocusChanged() {}
    // Bracket the loading of a value into the editor.
    virtual void BeginInitEditor() { FFillingEditor = true; }
    virtual void EndInitEditor() { FFillingEditor = false; }
    virtual TcvPopupBorder GetEditorPopupBorder() { return pbFrame3D; }

    // The container's own key handling, for the characters and key releases
    // a hosted editor hands on.
    void KeyPressFromEditor(char32_t& Key) { KeyPress(Key); }
    void KeyUpFromEditor(Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }

    // Flat and standard scroll bars answer alike.
    bool GetScrollInfo(int Bar, TScrollInfo& ScrollInfo);
    int SetScrollInfo(int Bar, const TScrollInfo& ScrollInfo, bool Redraw);

    void WndProc(TMessage& Message) override;

protected:
    // Flat scroll bars on the new window, in the look and feel's style.
    void CreateWnd() override;

private:
    TcvLookAndFeel FLookAndFeel = lfStandard;
    bool FFillingEditor = false;
};

namespace cvCntner {

// Removes one pending message Msg of window Wnd from the queue; a WM_QUIT
// taken on the way is posted again, so a quit request is never lost.
void DiscardMessage(HWND Wnd, UINT Msg);

} // namespace cvCntner

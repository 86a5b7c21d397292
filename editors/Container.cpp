// The editor host's default answers, its flat scroll bars and wheel.
#include "editors/Container.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"

void TCustomcvContainer::SetLookAndFeel(TcvLookAndFeel Value) {
    if (FLookAndFeel == Value) return;
    FLookAndFeel = Value;
    RecreateWnd();
}

std::unique_ptr<TcvEditStyle> TCustomcvContainer::CreateEditStyle(TcvInplaceEdit* Editor) {
    return std::make_unique<TcvEditStyle>(Editor);
}

void TCustomcvContainer::ScrollByLines(bool Up, int Count) {
    for (int i = 0; i < Count; ++i)
        SendMessage(Handle(), WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomcvContainer::EditorKeyDown(Word& Key, TShiftState Shift) {
    Fire(OnKeyDown, this, Key, Shift);
}

bool TCustomcvContainer::GetScrollInfo(int Bar, TScrollInfo& ScrollInfo) {
    return FlatSB_GetScrollInfo(Handle(), Bar, ScrollInfo);
}

int TCustomcvContainer::SetScrollInfo(int Bar, const TScrollInfo& ScrollInfo, bool Redraw) {
    return FlatSB_SetScrollInfo(Handle(), Bar, ScrollInfo, Redraw);
}

void TCustomcvContainer::CreateWnd() {
    TCustomControl::CreateWnd();
    InitializeFlatSB(FHandle);
    static constexpr int Modes[] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};
    FlatSB_SetScrollProp(FHandle, WSB_PROP_HSTYLE, Modes[FLookAndFeel], false);
    FlatSB_SetScrollProp(FHandle, WSB_PROP_VSTYLE, Modes[FLookAndFeel], true);
}

void TCustomcvContainer::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg != WM_MOUSEWHEEL) return;
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ScrollByLines(SmallHi(Message.WParam) > 0, static_cast<int>(lines));
}

namespace cvCntner {

void DiscardMessage(HWND Wnd, UINT Msg) {
    TMsg message;
    if (PeekMessage(message, Wnd, Msg, Msg, PM_REMOVE) && message.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(message.wParam));
}

} // namespace cvCntner

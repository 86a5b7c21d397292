// Notifications a child window sends its parent go back to the child's own
// control, so a control handles what its window reports (an edit's EN_CHANGE)
// wherever it is placed.
#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"

namespace platform_ui {

bool ReflectToChildControl(TMessage& Message) {
    HWND sender = nullptr;
    if (Message.Msg == WM_COMMAND)
        sender = reinterpret_cast<HWND>(Message.LParam);
    else if (Message.Msg == WM_NOTIFY && Message.LParam)
        sender = reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom;
    TWinControl* control = sender ? FindControl(sender) : nullptr;
    if (!control) return false;
    Message.Result = control->Perform(Message.Msg + CN_BASE, Message.WParam, Message.LParam);
    return true;
}

} // namespace platform_ui

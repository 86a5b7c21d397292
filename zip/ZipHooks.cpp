// Default answers of the zip engine's user-interface hooks.
#include "zip/ZipHooks.h"

namespace zip {

TZipHooks& ZipHooks() {
    static TZipHooks hooks;
    return hooks;
}

TZipMessageResult ZipMessageBox(const std::string& text, const std::string& caption, TZipMessageButtons buttons) {
    if (ZipHooks().MessageBox) return ZipHooks().MessageBox(text, caption, buttons);
    switch (buttons) {
    case zmbOK:
        return zmrOK;
    case zmbOKCancel:
        return zmrCancel;
    case zmbYesNo:
        break;
    }
    return zmrNo;
}

void ZipProcessMessages() {
    if (ZipHooks().ProcessMessages) ZipHooks().ProcessMessages();
}

TBusyCursorGuard::TBusyCursorGuard() {
    if (ZipHooks().BusyCursor) ZipHooks().BusyCursor(true);
}

TBusyCursorGuard::~TBusyCursorGuard() {
    if (ZipHooks().BusyCursor) ZipHooks().BusyCursor(false);
}

} // namespace zip

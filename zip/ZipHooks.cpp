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

bool ZipChooseFile(const std::string& title, const std::string& filter, const std::string& initialDir,
                   std::string& fileName) {
    return ZipHooks().ChooseFile && ZipHooks().ChooseFile(title, filter, initialDir, fileName);
}

bool ZipChooseFolder(const std::string& initialDir, std::string& folder) {
    return ZipHooks().ChooseFolder && ZipHooks().ChooseFolder(initialDir, folder);
}

TBusyCursorGuard::TBusyCursorGuard() {
    if (ZipHooks().BusyCursor) ZipHooks().BusyCursor(true);
}

TBusyCursorGuard::~TBusyCursorGuard() {
    if (ZipHooks().BusyCursor) ZipHooks().BusyCursor(false);
}

} // namespace zip

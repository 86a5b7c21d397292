// What the zip engine needs from the user interface, as settable hooks: message
// boxes, the hourglass cursor and message processing during long runs. The UI
// layer fills them in; until then boxes answer their safe default and the rest
// does nothing, so the engine runs headless.
#pragma once

#include <functional>
#include <string>

namespace zip {

enum TZipMessageButtons { zmbOK, zmbOKCancel, zmbYesNo };
enum TZipMessageResult { zmrOK, zmrCancel, zmrYes, zmrNo };

struct TZipHooks {
    // Text, caption, buttons; the box has no owner window.
    std::function<TZipMessageResult(const std::string&, const std::string&, TZipMessageButtons)> MessageBox;
    // True shows the hourglass (remembering the cursor), false restores it.
    std::function<void(bool)> BusyCursor;
    // Lets pending window messages be handled.
    std::function<void()> ProcessMessages;
    // Open-file dialog: title, filter, initial folder, chosen file; false when cancelled.
    std::function<bool(const std::string&, const std::string&, const std::string&, std::string&)> ChooseFile;
    // Folder chooser (new folders allowed): initial folder, chosen folder; false when cancelled.
    std::function<bool(const std::string&, std::string&)> ChooseFolder;
};

TZipHooks& ZipHooks();

// Calls the message-box hook; without one, OK for OK boxes, else Cancel or No.
TZipMessageResult ZipMessageBox(const std::string& text, const std::string& caption, TZipMessageButtons buttons);
void ZipProcessMessages();
// Without a dialog hook the user is taken to have cancelled.
bool ZipChooseFile(const std::string& title, const std::string& filter, const std::string& initialDir,
                   std::string& fileName);
bool ZipChooseFolder(const std::string& initialDir, std::string& folder);

// Shows the hourglass for its lifetime.
class TBusyCursorGuard {
public:
    TBusyCursorGuard();
    ~TBusyCursorGuard();
    TBusyCursorGuard(const TBusyCursorGuard&) = delete;
    TBusyCursorGuard& operator=(const TBusyCursorGuard&) = delete;
};

} // namespace zip

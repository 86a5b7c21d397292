// Message boxes, the beep and the common dialogs. Every box, dialog and beep
// passes through one hook first, so tests answer and record them without a
// window ever opening; with no hook set, the real Qt dialogs run modally.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/MessageBoxCodes.h"
#include "platform/ui/WinTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TDialogKind { MessageBox, Beep, OpenFile, SaveFile, OpenPicture, SavePicture, SelectFolder };

// What the program asked for. Text keeps the caller's "\r\n" line breaks.
struct TDialogRequest {
    TDialogKind Kind = TDialogKind::MessageBox;
    HWND Owner = nullptr;
    std::string Text;    // box text
    std::string Caption; // box caption or dialog title
    UINT Flags = 0;      // MB_* of a box, the sound type of a beep
    std::string Filter;  // file dialogs: "Description|*.ext;*.ext2|..."
    int FilterIndex = 1;
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    bool MultiSelect = false;
};

// What the user answered: the button (IDOK...) and, for file and folder
// dialogs, the chosen paths (a folder dialog answers one).
struct TDialogAnswer {
    int Result = IDCANCEL;
    std::vector<std::string> Files;
    int FilterIndex = 1;
};

using TDialogHook = std::function<TDialogAnswer(const TDialogRequest& Request)>;

// Installs the hook; an empty one restores the real dialogs. Answers the
// previous hook. A beep's answer is ignored.
TDialogHook SetDialogHook(TDialogHook Hook);

// Runs Request through the hook or the real dialog.
TDialogAnswer RunDialog(const TDialogRequest& Request);

// The Win32 box: modal, owned by Owner (may be 0), answers IDOK...
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);

// Sound types of MessageBeep; 0 is the default sound.
constexpr UINT MB_SIMPLEBEEP = 0xFFFFFFFF;
void MessageBeep(UINT Type);

// Scope guard for tests: installs a hook and restores the previous one.
class TDialogHookScope {
public:
    explicit TDialogHookScope(TDialogHook Hook) : FPrevious(SetDialogHook(std::move(Hook))) {}
    ~TDialogHookScope() { SetDialogHook(std::move(FPrevious)); }
    TDialogHookScope(const TDialogHookScope&) = delete;
    TDialogHookScope& operator=(const TDialogHookScope&) = delete;

private:
    TDialogHook FPrevious;
};

// The common dialog components.
class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() = 0;
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

protected:
    std::string FTitle;
};

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

// Filter: "Description|*.ext;*.ext2|..."; Files holds every chosen file
// (several with ofAllowMultiSelect), FileName the first.
class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    bool Execute() override;
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    TStrings* Files() const { return FFiles.get(); }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

protected:
    bool DoExecute(TDialogKind Kind);

private:
    std::string FFileName;
    std::unique_ptr<TStringList> FFiles;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FInitialDir;
    std::string FDefaultExt;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

// Lets the user choose a folder; true and Directory set when one was chosen.
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);

// The word processor as the program drives it: documents made from an RTF
// template of ours (kept under a .doc name) whose bookmarks are typed into,
// or a user's file opened as it is; saving refuses a file that the word
// processor holds open; showing hands the documents to the desktop's word
// processor through the shell (so tests record it with SetShellLauncher).
#pragma once

#include "platform/rtl/SysUtils.h"

#include <memory>
#include <string>
#include <vector>

// A document that cannot be made, typed into, saved or shown.
class EOfficeError : public Exception {
public:
    using Exception::Exception;
};

class TWordDocument {
public:
    // Whether a bookmark of that name lies in the document, in any letter case.
    bool BookmarkExists(const std::string& Name) const;
    // Selects the bookmark's content; EOfficeError when there is none.
    void SelectBookmark(const std::string& Name);
    // Replaces the selection with Text and leaves the selection after it. A
    // line break becomes a new paragraph.
    void TypeText(const std::string& Text);
    // Writes the document to FileName, which it stands for afterwards.
    // EOfficeError, with nothing written, when the word processor holds that
    // file open (its lock file lies beside it) or the file cannot be written.
    void SaveAs(const std::string& FileName);
    // Closes the document without saving; it is freed.
    void Close();

    // The file the document stands for; empty while it was never saved.
    const std::string& FullName() const { return FFullName; }
    // The document's RTF; a user's file opened as it is has none.
    const std::string& Content() const { return FContent; }

private:
    friend class TWordApplication;
    class TWordApplication* FApplication = nullptr;
    std::string FContent;
    std::string FFullName;
    // The template's file name, which an unsaved document is shown under.
    std::string FTemplateName;
    // A user's file opened as it is: never parsed, shown and saved as a file.
    bool FOpenedAsIs = false;
    bool FShown = false;
    // The selection, as byte offsets into FContent.
    size_t FSelStart = 0;
    size_t FSelEnd = 0;
};

class TWordApplication {
public:
    TWordApplication();
    ~TWordApplication();
    TWordApplication(const TWordApplication&) = delete;
    TWordApplication& operator=(const TWordApplication&) = delete;

    // The application already started by this process, else a new one;
    // nullptr when the desktop has no word processor to show documents in.
    static TWordApplication* GetOrStart();
    // True when `xdg-mime query default application/msword` names a program
    // or soffice, libreoffice or lowriter lies on the PATH.
    static bool WordProcessorAvailable();

    // A new, unsaved document made from Template (an RTF file); it becomes
    // the active document.
    TWordDocument* Add(const std::string& Template);
    // FileName itself as a document, its content never read; it becomes the
    // active document.
    TWordDocument* Open(const std::string& FileName);
    // The document made or opened last and not closed; nullptr when none is.
    TWordDocument* ActiveDocument() const;

    bool Visible() const { return FVisible; }
    // Showing shows every open document that is not shown yet, in the
    // program the desktop names for its type, else in the word processor on
    // the PATH: a saved or opened one as its file (unless the word processor holds that file open
    // already), an unsaved one written to a new temporary folder under its
    // template's name.
    // Nothing is ever written beside the template. EOfficeError when the
    // desktop cannot start the word processor.
    void SetVisible(bool Value);

private:
    friend class TWordDocument;
    void Remove(TWordDocument* Document);
    void Show(TWordDocument& Document);

    std::vector<std::unique_ptr<TWordDocument>> FDocuments;
    bool FVisible = false;
};

// Starts the first of soffice, libreoffice and lowriter found on the PATH
// with FileName (as ShellStart does); SE_ERR_NOASSOC when there is none.
int StartWordProcessor(const std::string& FileName);

// True when the word processor holds FileName open: its lock file lies
// beside it (".~lock.<name>#", or "~$" and the name less its first two
// characters).
bool WordProcessorHoldsOpen(const std::string& FileName);

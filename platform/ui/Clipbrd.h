// The clipboard: text and pictures, on the system clipboard through Qt, and
// the chain of viewers that hear of every change to it, whoever made it.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/WinTypes.h"

#include <string>

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_UNICODETEXT = 13;

// A format of the program's own, numbered from 0xC000 on; a name registered
// again answers the number it got first.
UINT RegisterClipboardFormat(const std::string& Name);
// The class framework's picture format: the clipboard holds it whenever it
// holds a picture of any kind, ours or another program's.
extern const UINT CF_PICTURE;

// The viewer chain. SetClipboardViewer puts Wnd first, sends it
// WM_DRAWCLIPBOARD and answers the viewer it must pass that message on to
// (0 when none). Every change of the system clipboard, also by another
// program, sends WM_DRAWCLIPBOARD to the first viewer. ChangeClipboardChain
// takes Remove out: when it is first, NewNext becomes first; otherwise the
// first viewer gets WM_CHANGECBCHAIN (Remove, NewNext) to pass along until
// the viewer whose next one is Remove takes NewNext instead.
HWND SetClipboardViewer(HWND Wnd);
bool ChangeClipboardChain(HWND Remove, HWND NewNext);
HWND GetClipboardViewer();

class TClipboard : public TPersistent {
public:
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    bool HasFormat(UINT Format) const;
    void Clear();
    // Puts a TBitmap or a TPicture's graphic on the clipboard.
    void Assign(TPersistent* Source) override;
    // Fills a TBitmap or TPicture from the clipboard's picture.
    void AssignTo(TPersistent* Dest) override;
};

// The one clipboard object of the program.
TClipboard* Clipboard();

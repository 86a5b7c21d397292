// The editors' edit window: a window class that edits plain text, single-line
// or ES_MULTILINE, and speaks the EM_* protocol of the classic rich edit
// control in plain-text mode. Its frame is the window manager's own (the
// owner's WM_NCCALCSIZE places the text, WM_NCPAINT and GetWindowDC paint
// around it); the text itself is edited by a Qt widget kept over the client
// area, so caret, input methods and clipboard behave as the desktop's.
//
// Positions count characters: a Chinese character is one, a line break is one.
// Text crosses the messages as UTF-8; WM_GETTEXT gives line breaks as "\r\n",
// WM_SETTEXT and EM_REPLACESEL take "\r\n", "\n" or "\r".
#pragma once

#include "platform/ui/Messages.h"
#include "platform/ui/WinTypes.h"

#include <string>

// The class name to create the window by (CreateWindowEx, or a control's
// TCreateParams::WinClassName: the control then gets this class's procedure
// beneath its WndProc, reached by DefaultHandler).
inline constexpr char EditWindowClassName[] = "CorvantaEdit";

// Styles. ES_UPPERCASE / ES_LOWERCASE convert typed characters; ES_PASSWORD
// shows every character as the password character (single-line only);
// ES_SELECTIONBAR keeps an 8-pixel strip at the left whose clicks select
// whole lines; without ES_AUTOHSCROLL a multi-line window wraps its lines.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_DISABLENOSCROLL = 0x2000;
constexpr DWORD ES_SELECTIONBAR = 0x01000000;

// Messages, with their classic numbers. Unless said otherwise they behave as
// the classic ones do.
constexpr UINT EM_GETSEL = 0x00B0;
// wParam the anchor, lParam the caret; (0, -1) selects all, an anchor of -1
// only removes the selection, an end beyond the text or negative is its end.
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
// lParam a TRect*, client coordinates: where the text lies (0: the client area).
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_LINESCROLL = 0x00B6; // lParam lines down (negative: up)
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA; // lines as shown: a wrapped line counts each row
constexpr UINT EM_LINEINDEX = 0x00BB;    // wParam a line (-1: the caret's); -1 beyond the last
constexpr UINT EM_LINELENGTH = 0x00C1;   // wParam a position in the line
// wParam nonzero: the replacement can be undone; lParam the UTF-8 text.
// Typing's limit holds: what does not fit is cut off.
constexpr UINT EM_REPLACESEL = 0x00C2;
// wParam the line; lParam a std::string* that receives the whole line, its
// break excluded. Answers its length in characters.
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5; // wParam the limit, as EM_EXLIMITTEXT's lParam
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC; // wParam any character; 0 shows the text
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_CANPASTE = WM_USER + 50;
constexpr UINT EM_EXGETSEL = WM_USER + 52; // lParam a CHARRANGE*, cpMin <= cpMax
// lParam the most characters typing and pasting may leave (0: no limit).
// Text set by WM_SETTEXT is taken whole.
constexpr UINT EM_EXLIMITTEXT = WM_USER + 53;
constexpr UINT EM_EXLINEFROMCHAR = WM_USER + 54;
// lParam a CHARRANGE*: cpMin the anchor, cpMax the caret (an anchor at the
// right is kept); (0, -1) selects all.
constexpr UINT EM_EXSETSEL = WM_USER + 55;
constexpr UINT EM_GETEVENTMASK = WM_USER + 59;
// lParam a std::string* that receives the whole selection (UTF-8, breaks as
// "\r\n"); answers the selection's length in characters.
constexpr UINT EM_GETSELTEXT = WM_USER + 62;
// wParam nonzero: the system's window colour; else lParam a COLORREF.
constexpr UINT EM_SETBKGNDCOLOR = WM_USER + 67;
constexpr UINT EM_SETCHARFORMAT = WM_USER + 68; // lParam a CHARFORMAT*, for all the text
constexpr UINT EM_SETEVENTMASK = WM_USER + 69;  // lParam ENM_ bits; answers the old mask
constexpr UINT EM_REDO = WM_USER + 84;
constexpr UINT EM_CANREDO = WM_USER + 85;
constexpr UINT EM_SETTEXTMODE = WM_USER + 89;     // plain text is the only mode: answers 0
constexpr UINT EM_GETTEXTLENGTHEX = WM_USER + 95; // wParam a GETTEXTLENGTHEX*

// Notifications to the parent: EN_CHANGE as WM_COMMAND (wParam: id in the low
// word, code in the high word; lParam: the window), after every change of the
// text, typed or set by code (WM_SETTEXT included); EN_SELCHANGE as WM_NOTIFY
// with a SELCHANGE whenever the selection or caret moves. Each only while its
// ENM_ bit is in the event mask (none at creation).
constexpr WPARAM EN_SELCHANGE = 0x0702;
constexpr DWORD ENM_CHANGE = 0x00000001;
constexpr DWORD ENM_SELCHANGE = 0x00080000;
constexpr DWORD ENM_DRAGDROPDONE = 0x00000010; // accepted; nothing is ever dragged
// The selection types of SELCHANGE.
constexpr Word SEL_EMPTY = 0x0000;
constexpr Word SEL_TEXT = 0x0001;
constexpr Word SEL_MULTICHAR = 0x0004;

struct CHARRANGE {
    int32_t cpMin = 0;
    int32_t cpMax = 0;
};

struct SELCHANGE {
    NMHDR nmhdr;
    CHARRANGE chrg;
    Word seltyp = SEL_EMPTY;
};

// EM_GETTEXTLENGTHEX: GTL_USECRLF counts a line break as two.
constexpr DWORD GTL_DEFAULT = 0;
constexpr DWORD GTL_USECRLF = 1;
struct GETTEXTLENGTHEX {
    DWORD flags = GTL_DEFAULT;
    UINT codepage = 0;
};

// EM_SETCHARFORMAT: the colour (CFE_AUTOCOLOR: the system's window-text
// colour) and single underline, for the whole text (wParam is ignored).
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFE_UNDERLINE = 0x00000004;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;
struct CHARFORMAT {
    UINT cbSize = sizeof(CHARFORMAT);
    DWORD dwMask = 0;
    DWORD dwEffects = 0;
    COLORREF crTextColor = 0;
};

// Where the caret of the focused edit window stands (client coordinates, the
// top of the caret); false when the focus is not in an edit window.
bool GetCaretPos(TPoint& Point);
// The caret's position in the text: the active end of the selection.
int EditWindowCaretIndex(HWND Wnd);

// Painting: a WM_PAINT that reaches this class's procedure shows the text
// widget; one that the window's owner handles without passing it on (an
// unfocused editor painting its display value) hides the widget, so what the
// owner painted shows. The widget keeps its text, selection and undo meanwhile,
// and shows again with the next WM_PAINT passed on.
bool EditWindowTextShown(HWND Wnd);

// The owner-drawn list box window: a self-painting window that keeps the item
// strings, their heights, the selection and the top item, and has the control
// on its procedure chain measure and draw every item. Those requests and its
// notifications go to the window itself in the form a parent reflects them
// (CN_MEASUREITEM, CN_DRAWITEM, CN_CTLCOLORLISTBOX, CN_COMMAND), so a list
// that is made a top-level popup keeps drawing.
//
// The messages and styles keep their classic numbers and meaning; strings
// cross them as UTF-8.
#pragma once

#include "platform/ui/Messages.h"
#include "platform/ui/WinTypes.h"

inline constexpr char ListBoxWindowClassName[] = "CorvantaListBox";

// Styles. Every item has LBS_OWNERDRAWFIXED's one height (LB_SETITEMHEIGHT)
// or, with LBS_OWNERDRAWVARIABLE, the height CN_MEASUREITEM gave it when it
// was added. Without LBS_NOINTEGRALHEIGHT a fixed-height list shortens itself
// to whole items. WS_VSCROLL shows a bar while the items do not fit.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;

constexpr UINT LB_ADDSTRING = 0x0180;   // lParam the text; answers its index
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;   // wParam the index (-1: none), scrolled into view
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
// wParam the item before the first searched (-1, or 65535 as the 16-bit -1,
// or any index past the end: the whole list from the top); lParam the text.
// Selects the first item that starts with the text, case ignored, searching
// to the end and on from the top; answers its index or LB_ERR.
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198; // wParam the index; lParam a TRect*
constexpr UINT LB_SETITEMHEIGHT = 0x01A0; // lParam the height of a fixed-height list's items
// LB_GETITEMHEIGHT (0x01A1, Messages.h): wParam the index.
// lParam a client point; answers the nearest item in the low word and, in
// the high word, 1 when the point lies beyond the items.
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_ERR = -1;

// Notifications (WM_COMMAND's high word of wParam) with LBS_NOTIFY.
constexpr WPARAM LBN_SELCHANGE = 1;

constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;

constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;

// CN_MEASUREITEM's lParam: itemHeight comes in as the list's item height and
// goes back as the item's own.
struct MEASUREITEMSTRUCT {
    UINT CtlType = ODT_LISTBOX;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    UINT_PTR itemData = 0;
};

// CN_DRAWITEM's lParam. ODS_FOCUS marks the selected item while the list has
// the focus, or was told it has: a WM_SETFOCUS handed to its default
// procedure shows the focus look without taking the keyboard.
struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_LISTBOX;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    TRect rcItem{};
    UINT_PTR itemData = 0;
};

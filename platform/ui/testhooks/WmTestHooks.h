// Test hooks of the window manager without Qt types: they build real Qt input
// events and send them to a window's widget, and read its backing image, so the
// tests drive windows as a user would and check pixels headless.
#pragma once

#include "platform/ui/Messages.h"
#include "platform/ui/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The hooks take the keys held as a mouse message's wParam gives them
// (MK_SHIFT, MK_CONTROL, the MK_ buttons). Those flags have no Alt, so Alt
// takes the bit the system's drag-and-drop key state gives it.
constexpr WPARAM MK_ALT = 0x0020;

namespace platform_ui::test {

// A key press (and release when Release) of the virtual key Key (VK_RETURN,
// 'A') with Keys held and the text it types, sent to the widget of Wnd as Qt
// would deliver it. Qt names a key that types a printable character after
// that character (Shift+1 arrives as '!', an umlaut as itself), so such a
// Text decides Qt's key and Key may be 0; Shift+Tab arrives as Qt's back-tab.
void SendQtKey(HWND Wnd, Word Key, WPARAM Keys, const std::string& Text, bool Release = true);
// One key press or release, the same key as SendQtKey's, posted to Qt's queue
// instead, so that it arrives while a loop that is running pumps Qt events.
void PostQtKey(HWND Wnd, Word Key, WPARAM Keys, const std::string& Text, bool Press);
// An input-method commit of UTF-8 text.
void SendQtInputMethodCommit(HWND Wnd, const std::string& Text);

// Qt's input method as a platform input method drives it: an event with the
// pre-edit being composed (its cursor at the end) and the text committed, sent
// to Qt's focus object; false when there is none.
bool SendQtInputMethodEvent(const std::string& Preedit, const std::string& Commit = "");
// The window whose widget is Qt's focus object (nullptr when Qt's focus is
// nowhere or in a window of Qt's own), and what that object answers Qt's input
// method: whether it takes input methods, and where its cursor is (screen
// coordinates; empty when it has none).
HWND QtFocusObjectWindow();
bool QtInputMethodEnabled();
TRect QtCursorRectangle();
// The pre-edit a self-painting window shows, and where (window coordinates);
// empty when it shows none.
std::string ShownComposition(HWND Wnd, TPoint* Where = nullptr);

enum class TMouseEventKind { Move, Press, Release, DoubleClick };
// A mouse event at a point in Wnd's window coordinates (0, 0 = the window's
// top-left corner). Button is the MK_ button pressed or released (0 for a
// move); Keys are the buttons held once the event is over, with MK_SHIFT,
// MK_CONTROL and MK_ALT.
void SendQtMouse(HWND Wnd, TMouseEventKind Kind, TPoint WindowPoint, WPARAM Button, WPARAM Keys);
// The same event posted to Qt's queue instead, so that it arrives while a
// loop that is running (a scroll bar's, a modal one) pumps Qt events.
void PostQtMouse(HWND Wnd, TMouseEventKind Kind, TPoint WindowPoint, WPARAM Button, WPARAM Keys);
// A wheel turn of Delta eighths of a degree (120 per notch) at a window point.
void SendQtWheel(HWND Wnd, TPoint WindowPoint, int Delta, WPARAM Keys = 0);
// Qt's request for a hint when the pointer rests at a window point, the text
// of the hint showing now (empty when none shows), and the hint taken away at
// once (Qt lets one fade out a while after it is hidden).
void SendQtHintRequest(HWND Wnd, TPoint WindowPoint);
std::string ShownHint();
void RemoveShownHint();
// Enter / leave events as Qt sends them when the pointer crosses the widget.
void SendQtEnterLeave(HWND Wnd, bool Enter);
// Lets Qt run its pending events (timers, posted events) for up to Milliseconds.
void PumpQt(int Milliseconds);

// Whether the message being handled now was taken from the queue (posted,
// input, timer) rather than sent.
bool CurrentMessageWasPosted();

// A window class whose windows are native line edits (read-only ones when
// ReadOnly), and their text, so the tests can drive a standard control without
// Qt headers.
bool RegisterTestEditClass(const std::string& ClassName, bool ReadOnly = false);
std::string TestEditText(HWND Wnd);

// The bytes of the backing image a window holds now (0 when it holds none).
size_t BackingImageBytes(HWND Wnd);
// The backing image of a self-painting window: 0x00RRGGBB pixels.
uint32_t BackingPixel(HWND Wnd, int X, int Y); // window coordinates
std::vector<uint32_t> BackingPixels(HWND Wnd);
// The window as it shows now, native widgets and children included, as
// 0x00RRGGBB pixels: one at a point (window coordinates), or all of them.
uint32_t RenderedPixel(HWND Wnd, int X, int Y);
std::vector<uint32_t> RenderedPixels(HWND Wnd);
// Fills a rectangle of the backing image (window coordinates) with a colour.
void FillBacking(HWND Wnd, const TRect& Rect, uint32_t Rgb);

} // namespace platform_ui::test

// Routines and shared objects of the editor unit: the date conversions behind
// the date editor (edit mask, keyword dates, text of a date), the currency
// editors' default display format, the point conversion of non-client hit
// tests, the size grip, and the unit's counted start-up that builds the
// shared glyph lists, the hand cursor and the measuring canvas. "Today" is
// the rtl's clock, so tests fix it with TClockScope.
#pragma once

#include "platform/rtl/DateTime.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <string>

class TCanvas;
class TImageList;
class TcvCheckEditStyleController;

// The date that stands for no date in every editor, the calendar and the routines below.
inline constexpr TDateTime NullDate = -700000.0;

namespace cvExEdtr {

// With it set the date routines use StrToDate and DateToStr instead of the
// locale's conversions (and StrToDate's errors reach the caller).
extern bool UseStandardDateConversion;
// Asked by SmartTextToDate when no keyword matches.
using TSmartDateHook = std::function<bool(const std::string& Text, TDateTime& Date)>;
extern TSmartDateHook SmartDateHook;

// The time editor's formats and edit masks.
enum TcvTimeEditFormat { tfHourMinSec, tfHourMin, tfHour };
struct TcvTimeFormat {
    const char* Format;
    const char* EditMask;
};
inline constexpr TcvTimeFormat TimeFormats[] = {
    {"hh:nn:ss", "00:00:00;1;0"},
    {"hh:nn", "00:00;1;0"},
    {"hh", "00;1;0"},
};
inline const TDateTime OneSecond = EncodeTime(0, 0, 1, 0);
inline const TDateTime OneMinute = EncodeTime(0, 1, 0, 0);
inline const TDateTime OneHour = EncodeTime(1, 0, 0, 0);
inline const TDateTime MinTime = EncodeTime(0, 0, 0, 0);
inline const TDateTime MaxTime = EncodeTime(23, 59, 59, 0);

// P from screen coordinates to coordinates from the top-left corner of
// Wnd's window rectangle (not its client area); false when Wnd has no place.
bool ScreenToWindow(HWND Wnd, TPoint& P);

// The edit mask for dates from the short date format: runs of M, d or y
// shorter than three become "99", longer ones "9999" (y) or "lll"; anything
// else stays; ";1; " follows ("yyyy-M-d" gives "!9999-99-99;1; ").
std::string DateEditMask();
// The short date format with a single d or M doubled, so day and month
// always fill the two digits DateEditMask gives them.
std::string MaskDateFormat();

// Keyword dates ("TODAY", "EOM", "MONDAY", "NOW" ... any case), matched by
// prefix, optionally followed by "+N" or "-N" days. False when no keyword
// matches and SmartDateHook does not take the text.
bool SmartTextToDate(const std::string& Text, TDateTime& Date);
// A trimmed text as a keyword date or through the locale's date conversion;
// false for an empty or unreadable text.
bool TextToDate(const std::string& Text, TDateTime& Date);
// The locale's short date, with its long time when the time is not midnight;
// NullDate gives "".
std::string DateToText(TDateTime Date);
// The date editor's text: masked through MaskDateFormat, else DateToText; NullDate gives "".
std::string DateToEditText(bool Masked, TDateTime Date);

// ",0.00" with the currency string placed as the format settings say, and its negative section.
std::string DefaultCurrencyDisplayFormat();

// R becomes the scroll-bar-sized square in corner Corner of R (0 top-left,
// 1 top-right, 2 bottom-left, 3 bottom-right), painted as a size grip whose
// ridges point into that corner.
void DrawSizeGrip(HDC DC, TRect& R, int Corner);

// The hand cursor of hyperlinks and hot tracking, in the screen's cursor list while the unit runs.
inline constexpr TCursor crcvHandPoint = -1140;

// The unit's start-up and close-down, counted: the first Initialize builds
// the shared objects below, the last Finalize frees them.
void Initialize();
void Finalize();

class TUnitScope {
public:
    TUnitScope() { Initialize(); }
    ~TUnitScope() { Finalize(); }
    TUnitScope(const TUnitScope&) = delete;
    TUnitScope& operator=(const TUnitScope&) = delete;
};

// Shared objects, valid while the unit runs.
int DefaultCheckWidth();
int DefaultCheckHeight();
// The tool-bar glyphs: cut, copy, paste, delete, load, save.
TImageList* ToolGlyphs();
// The blob glyphs, an empty and a filled picture per kind: blob, memo, picture, OLE.
TImageList* BlobGlyphs();
// A canvas on a memory device context, for measuring and painting without a window.
TCanvas* SharedCanvas();
// The controller check editors without one of their own follow; nullptr
// while the unit does not run.
TcvCheckEditStyleController* DefaultCheckStyleController();

} // namespace cvExEdtr

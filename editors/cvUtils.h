// Drawing routines shared by the editors, the tree list and the grid: text in
// a cell rectangle, bitmaps on a brush, image-list images, dithered overlays and
// drop shadows, and keeping a popup inside the work area of its monitor.
#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/WinTypes.h"

#include <string>

class TBitmap;
class TCustomImageList;
class TGraphic;

namespace cvUtils {

// Option bits of DrawTextInRect.
constexpr UINT cvdtLeft = 0x0000;
constexpr UINT cvdtCenter = 0x0001;
constexpr UINT cvdtRight = 0x0002;
constexpr UINT cvdtHorizontalMask = 0x0003;
constexpr UINT cvdtTop = 0x0000;
constexpr UINT cvdtVCenter = 0x0004;     // centred on one line
constexpr UINT cvdtBottom = 0x0008;      // bottom on one line
constexpr UINT cvdtWordBreak = 0x0010;   // word-wrapped over several lines
constexpr UINT cvdtVerticalMask = 0x001C;
constexpr UINT cvdtEndEllipsis = 0x0100;
constexpr UINT cvdtPathEllipsis = 0x0200;
constexpr UINT cvdtFocusRect = 0x0400;   // a focus frame round the text area, inflated by 1
constexpr UINT cvdtFocusText = 0x0800;   // with cvdtFocusRect: round the text itself, only when there is text
constexpr UINT cvdtNoFill = 0x1000;      // the background is left as it is
constexpr UINT cvdtPrefix = 0x2000;      // always the DrawText path, with '&' prefixes
constexpr UINT cvdtMeasure = 0x4000;     // nothing is drawn; the height the text needs is answered
constexpr UINT cvdtKeepBkMode = 0x8000;  // the DC's background mode is kept (otherwise transparent)

// Draws the first Length characters of Text (UTF-8) inside Rect with Font and
// the colours (RGB); unless cvdtNoFill, FillRect ends up painted whole (filled
// with Brush, or covered by the text drawn opaquely in BkColor). The DC's font
// and colours are restored. With cvdtMeasure nothing is drawn: *LineHeight
// (when given) receives one line's height and the answer is the height the
// text needs (0 when the font has no height); otherwise the answer is 0.
int DrawTextInRect(HDC DC, const std::string& Text, int Length, int* LineHeight, COLORREF TextColor,
                   COLORREF BkColor, HFONT Font, HBRUSH Brush, UINT Flags, const TRect& Rect, const TRect& FillRect);

// The work area of the monitor nearest to P (screen coordinates).
void GetWorkArea(TPoint P, TRect& R);
// Moves P, the planned top-left of a Width x Height popup under an editor of
// OwnerHeight whose bottom is P.Y, into WorkArea: not left of its left edge,
// not beyond its right edge, and above the editor when the popup does not fit
// below and there is more room above than below.
void FitPopupToWorkArea(TPoint& P, int Width, int Height, int OwnerHeight, const TRect& WorkArea);
// The same within the work area at P.
void FitPopupToScreen(TPoint& P, int Width, int Height, int OwnerHeight);

// Grows the graphic to at least Width x Height; never shrinks it.
void EnsureGraphicSize(TGraphic* Graphic, int Width, int Height);
// Every second pixel of Rect (a checkerboard) becomes Color; the others keep
// what was painted.
void DitherRect(HDC DC, const TRect& Rect, TColor Color);
// Draws Bitmap whole at Rect's top-left with its transparent colour replaced
// by Brush.
void DrawBitmapOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap);
// The same for a bitmap placed at ImageRect inside Rect; the rest of Rect is
// filled with Brush.
void DrawBitmapInRect(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap, const TRect& ImageRect);
// RGB of Color for the image-list routines: clNone is CLR_NONE, clDefault CLR_DEFAULT.
COLORREF ToImageListColor(TColor Color);
// Draws image Index of the list at X, Y with the list's own size, colours and
// drawing style; nothing when the list has no images yet.
void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index);
// Fills the bottom strip (Size high) and the right strip (Size wide) of Rect
// with Brush; Rect is the frame moved right and down by Size.
void DrawShadow(HDC DC, const TRect& Rect, int Size, HBRUSH Brush);

} // namespace cvUtils

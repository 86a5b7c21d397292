// The tree list unit's free routines: the error it raises, the line count of
// word-wrapped text, the cell text painter's choice between ExtTextOut and
// DrawText, the focus rectangle and inverted frame, and the list-sort
// comparators that put nodes into tree order.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"

#include <string>

// Raised for a misuse of the tree list.
class EInvalidcvTreeListOperation : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* SInvalidOwnerNode = "Invalid Owner TcvTreeListNode"; // 38801

namespace cvTL {

[[noreturn]] void RaiseTreeListError(const std::string& Message);

// The text height of "Wg" in Font: the line height of every metric.
int FontLineHeight(HFONT Font);
// The width of Text in Font, measured on the screen.
int FontTextWidth(HFONT Font, const char* Text);

// Lines Text takes word-wrapped in BoundsWidth - GridFlag (less 2 on each
// side, and 2 or 1 above and below by InflateFlag). TextHeight receives the
// height plus the 3-pixel row text margin; MaxLineCount (-1: no limit) cuts
// both. An empty text, or MaxLineCount 0, gives 0 and leaves TextHeight.
int CalcTextLineCount(const std::string& Text, int BoundsWidth, int LineHeight, int& TextHeight, int GridFlag,
                      bool InflateFlag, HFONT Font, int MaxLineCount);

bool IsDegenerateRect(const TRect& R);
bool SameTextIgnoreCase(const std::string& S1, const std::string& S2);

// What DrawTextCell paints; the DC's font and text colour are used.
struct TTextCellArgs {
    HBRUSH Brush = nullptr;
    bool NoFill = false;
    bool TopMargin2 = false;
    bool UseBitmap = false;
    TAlignment Alignment = taLeftJustify;
    bool EndEllipsis = false;
    bool MultiLine = false;
    int TextLength = -1; // bytes of Text drawn, -1 for all
    COLORREF Color = 0;  // the background colour the brush paints
};
// The DrawText flags of a plain cell.
UINT CellTextFormat(const TTextCellArgs& Args);
// Fills R with the brush and draws the text with DrawText in CellTextFormat.
void DrawCellText(HDC DC, const TRect& R, const std::string& Text, const TTextCellArgs& Args);
// One ExtTextOut call when the text fits one line without an ellipsis on a
// pure device colour (or no fill is wanted); DrawText otherwise, through
// WorkBitmap when Args.UseBitmap.
void DrawTextCell(HDC DC, const TRect& R, const std::string& Text, const TTextCellArgs& Args, TBitmap* WorkBitmap);
// True when DrawTextCell takes the single ExtTextOut call.
bool DrawsWithExtTextOut(HDC DC, const TTextCellArgs& Args);

// The focus rectangle, black on white whatever the DC's colours.
void DrawFocusRectangle(HDC DC, const TRect& R);
// Inverts the one-pixel frame of R, each pixel once.
void InvertFrame(HDC DC, const TRect& R);

// List-sort comparators of two TcvTreeListNode items: tree order (a node
// before its subtree) and plain identity order.
int CompareNodePositions(void* Item1, void* Item2);
int ComparePointers(void* Item1, void* Item2);

} // namespace cvTL

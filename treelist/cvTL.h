// The tree list unit's free routines: the error it raises, the line count of
// word-wrapped text, the cell text painter's choice between ExtTextOut and
// DrawText, the focus rectangle and inverted frame, and the list-sort
// comparators that put nodes into tree order.
#pragma once

#include "editors/Container.h"
#include "editors/EditStyle.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"

#include <memory>
#include <string>

class TcvTreeListNode;

enum TcvTreeListColumnSort { csNone, csDown, csUp };

// Raised for a misuse of the tree list.
class EInvalidcvTreeListOperation : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* SInvalidOwnerNode = "Invalid Owner TcvTreeListNode"; // 38801

namespace cvTL {

// The space a row keeps above and below its text line.
inline constexpr int RowTextMargin = 3;

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
// The editor button style of a look: 3-D, flat, or hot flat.
TcvEditButtonViewStyle ButtonStyleOf(TcvLookAndFeel Look);
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

// One node's value in one sort key; the items of the later keys of the same
// node hang on Next.
struct TcvSortItem {
    TcvTreeListNode* Node = nullptr;
    Variant Value;
    bool Descending = false;
    std::unique_ptr<TcvSortItem> Next;
};
// Comparators of two TcvSortItem items. By the owner's OnCompare alone (no
// direction, no later keys); by the keys' values in the total variant order,
// equal keys going on to the next and ending in the owner's
// CompareSelectionItems; and the same with strings compared by the locale
// (case-insensitively when the owner's case-insensitive option is on).
int CompareNodesByEvent(void* Item1, void* Item2);
int CompareNodesBySortKeys(void* Item1, void* Item2);
int CompareNodesBySortKeysText(void* Item1, void* Item2);
// Of two TcvTreeListColumn items: by their loaded sort order.
int CompareSortedOrder(void* Item1, void* Item2);

// The unit's cursors in Screen->Cursors while it runs: where a dragged
// header would be removed, the panning directions, and dragging a copy of
// one or several nodes.
inline constexpr TCursor crcvTLRemove = -1124;
inline constexpr TCursor crcvTLFullScroll = -1131;
inline constexpr TCursor crcvTLHorScroll = -1132;
inline constexpr TCursor crcvTLVerScroll = -1133;
inline constexpr TCursor crcvTLUpScroll = -1134;
inline constexpr TCursor crcvTLRightScroll = -1135;
inline constexpr TCursor crcvTLDownScroll = -1136;
inline constexpr TCursor crcvTLLeftScroll = -1137;
inline constexpr TCursor crcvTLDragCopy = -1138;
inline constexpr TCursor crcvTLMultiDragCopy = -1139;

// Captions of the customizing form and its two pages.
inline constexpr const char* SCustomizeCaption = "Customize";        // 38802
inline constexpr const char* SBandsPageCaption = "    Bands    ";    // 38809
inline constexpr const char* SHeadersPageCaption = "   Headers   ";  // 38810

// The unit's start-up and close-down, counted: the first Initialize puts the
// cursors into Screen->Cursors and builds the indicator images and the three
// bitmaps, the last Finalize frees them and takes the cursors out again.
void Initialize();
void Finalize();

using TUnitScope = TUnitStartup<Initialize, Finalize>;

// Shared objects, valid while the unit runs. The indicator images are the
// arrow, pencil, star, dots and arrow with dots, in that order.
TImageList* IndicatorImages();
TBitmap* PlusBitmap();
TBitmap* MinusBitmap();
// What lies under the drop arrows of a band or column drag.
TBitmap* DragWorkBitmap();
// Paints the 12 x 12 plus and minus buttons in the current system colours.
void PaintExpandBitmaps();

// Image Index of List centred in R; nothing for a nil list or a bad index.
void DrawImageCentered(HDC DC, const TRect& R, TCustomImageList* List, int Index);
// The standard 9 x 9 expand button, centred horizontally at CentreY.
void DrawTreeButton(HDC DC, const TRect& R, int CentreY, bool Collapsed);
// PlusBitmap (collapsed) or MinusBitmap, centred.
void DrawExpandBitmap(HDC DC, const TRect& R, bool Collapsed);
// The flat 11 x 11 expand button with its shadow.
void DrawFlatTreeButton(HDC DC, const TRect& R, bool Collapsed);
// An 8 x 7 sort triangle centred in R, pointing up for csUp.
void DrawSortMark(HDC DC, const TRect& R, bool Up);
// Frame and face of a header, band or panel button in the look (Position 0 a
// plain button, 1 to 3 a header panel cell touching the top, the bottom or
// both); R shrinks to the text area.
void DrawButtonFrame(HDC DC, TRect& R, HBRUSH Brush, TcvLookAndFeel Look, int Position, bool Down);
// The same, then the whole button inverted when Down and Invert.
void DrawButtonFrameEx(HDC DC, TRect& R, HBRUSH Brush, TcvLookAndFeel Look, int Position, bool Down, bool Invert);
// A sunken flat frame and face; R shrinks by a pixel on each side horizontally.
void DrawSunkenPanel(HDC DC, TRect& R, HBRUSH Brush);
// Filter button states.
inline constexpr int fbsShown = 1;
inline constexpr int fbsPressed = 2;
inline constexpr int fbsActive = 4;
inline constexpr int fbsFiltered = 8;
// The drop-down button of a header filter, at the right of the header's text area.
inline constexpr int FilterButtonWidth = 15;
void DrawFilterButton(HDC DC, const TRect& R, int State);

struct THeaderButtonArgs {
    HBRUSH Brush = nullptr;
    bool HasFilterButton = false;
    int FilterState = 0;
    TcvLookAndFeel Look = lfStandard;
    int Position = 0; // as DrawButtonFrame's
    bool Down = false;
    TBitmap* Glyph = nullptr;
    TcvTreeListColumnSort SortMark = csNone;
    TAlignment Alignment = taLeftJustify;
    bool MultiLine = false;
    bool Invert = false;
    std::string Text;
};
// The DrawText flags of a header text.
UINT HeaderTextFormat(bool MultiLine, TAlignment Alignment);
// One header button: frame, then from the right the filter button and the
// sort mark while there is room, the glyph at the left, the text.
void DrawHeaderButtonContent(HDC DC, const TRect& R, const THeaderButtonArgs& Args);
// The same through WorkBitmap, copied to Target inside Clip.
void DrawHeaderButton(HDC Target, const TRect& Clip, const TRect& Button, const THeaderButtonArgs& Args,
                      TBitmap* WorkBitmap);
// An indicator cell: the frame (sunken for Look 2) and image Kind - 1 of the
// indicator images (0: none), through WorkBitmap.
void DrawIndicatorCell(HDC Target, const TRect& Clip, const TRect& Cell, int Look, int Kind, TBitmap* WorkBitmap,
                       HBRUSH Brush);
// Word-wrapped preview text: R filled, the text indented by Indent.
void DrawPreviewText(HDC DC, const TRect& R, const std::string& Text, HFONT Font, COLORREF TextColor, HBRUSH Brush,
                     int Indent);


// The timer of row selection by dragging (id 1 of the tree list's window,
// 60 ms): moves the focused row one row up or down each tick while a node
// is pressed (state 6), and stops itself in any other state.
void DragScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);

} // namespace cvTL

namespace cvTL {

// Panning: the direction (0 none, 1 left, 2 up, 3 right, 4 down) and speed
// (1 to 12, 0 for none) of a pointer at Point when panning started at Origin
// with an indicator IndicatorWidth wide. Inside the dead zone (a square of
// that width around Origin, spanning the whole screen along an axis without a
// scroll bar) nothing moves; outside it the larger distance picks the axis
// (the vertical one when equal) and each 5 pixels beyond the indicator's
// half add one to the speed.
struct TPanningMotion {
    int Direction = 0;
    int Speed = 0;
};
TPanningMotion PanningMotion(TPoint Origin, TPoint Point, int IndicatorWidth, bool HorzBar, bool VertBar);
// The cursor panning shows for a direction.
TCursor PanningCursor(int Direction, bool HorzBar, bool VertBar);

} // namespace cvTL

namespace cvTL {

// The drag-scroll timers (id 1 of the tree list's window, 100 ms while a
// header, band or node is dragged; the vertical one for nodes only). Each
// tick scrolls the columns by 32 pixels or moves the focused row by one
// towards the direction it was started with; a timer stops itself when the
// drag is over or the end is reached.
void HorzScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);
void VertScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time);

} // namespace cvTL

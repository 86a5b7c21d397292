// The tree list's layout records: the area rectangles, the drawing layout
// (bands, header cells and shown rows for the current scroll position) and
// the hit information, plus the rule that shares a band's width among the
// columns of one band row.
#pragma once

#include "platform/rtl/Types.h"

#include <vector>

class TcvTreeListNode;

// The areas of the client rectangle, top to bottom; an area of no height
// or width is left empty.
struct TcvTreeListRectInfo {
    TRect GroupPanel;
    TRect BandHeader;
    TRect BandIndicator; // the indicator's corner beside the band header
    TRect Header;
    TRect HeaderIndicator;
    TRect NewItemRow;
    TRect Rows;
    TRect RowsIndicator; // the indicator column beside the rows
    TRect BelowRows;     // footer and filter bar
    TRect Footer;
    TRect FilterBar;
};

struct TcvTreeListBandInfo {
    int Band = -1; // shown band index
    TRect Bounds;
    TRect Visible; // the part not scrolled away or under a fixed band
};

struct TcvTreeListHeaderCellInfo {
    int Column = -1; // absolute column index
    int Band = -1;
    int BandRow = 0;
    int Position = 0; // in its band row
    bool LastInRow = false;
    TRect Bounds;
    TRect Visible;
    TRect Separator; // the empty header space below a cell that ends above the panel's bottom
};

// The header space under a band that shows no column.
struct TcvTreeListHeaderSeparatorInfo {
    int Band = -1;
    TRect Bounds;
};

struct TcvTreeListRowInfo {
    TcvTreeListNode* Node = nullptr;
    int Top = 0;
    int Height = 0;
    bool GroupNode = false;
    bool Selected = false;
    int FooterCount = 0;
    int FooterHeight = 0;
    int IndicatorKind = 0;
    int PreviewLineCount = 0;
    int LineCount = -1; // -1 without automatic row heights
};

struct TcvTreeListDrawInfo {
    TcvTreeListRectInfo Areas;
    std::vector<TcvTreeListBandInfo> Bands;
    std::vector<TcvTreeListHeaderCellInfo> HeaderCells;
    std::vector<TcvTreeListHeaderSeparatorInfo> HeaderSeparators;
    std::vector<TcvTreeListRowInfo> Rows;
    int ColumnsRight = 0;   // right edge of the columns in the rows area
    int LastRowBottom = -1; // -1 when the rows fill the area
};

// What lies under a point; Kind is one of the area codes below.
struct TcvTreeListHitInfo {
    int X = 0;
    int Y = 0;
    int Band = -1;
    int Column = -1;
    TcvTreeListNode* Node = nullptr;
    int Row = -1;
    int FooterIndex = -1;
    int Kind = 0;
};

enum TcvTreeListHitKind {
    htNowhere = 0,
    htColumnHeader = 1,
    htColumnEdge = 2,
    htButton = 3,
    htImage = 4,
    htStateImage = 5,
    htIndent = 6,
    htCell = 7,
    htRowRight = 8,
    htOutside = 9,
    htGroupPanel = 10,
    htBandIndicator = 11,
    htBandHeader = 12,
    htBandEdge = 13,
    htHeaderIndicator = 14,
    htIndicator = 15,
    htNewItemRow = 16,
    htRowFooter = 17,
    htFooter = 18,
    htBandHeightEdge = 19,
    htHeaderHeightEdge = 20,
    htRowHeightEdge = 21,
    htPreview = 22,
    htFilterBar = 23,
};

// One column of a band row as the width share sees it.
struct TcvColumnShareInput {
    int Width = 0;
    int MinWidth = 0; // the width itself for a column that may not be sized
    bool Sizable = true;
};

// The widths of one band row's columns filling BandWidth exactly: fixed
// columns keep their width, sizable ones share the rest in proportion to
// their widths without going below their minimum, the last takes what is
// left, and the first receives GroupIndent (counted inside BandWidth). A row
// whose widths sum to 0 shares nothing; no width is negative.
std::vector<int> ShareBandRowWidths(int BandWidth, int GroupIndent, const std::vector<TcvColumnShareInput>& Columns);

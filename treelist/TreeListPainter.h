// One paint of a tree list: the per-paint state (layout, brushes, column
// brushes, work bitmap, clip slot, collected grid lines) and the areas in
// their order. Everything it creates is released when it goes, also when a
// handler throws halfway through a paint.
#pragma once

#include "treelist/TreeList.h"

#include <vector>

// A brush the paint created and deletes.
class TPaintBrush {
public:
    TPaintBrush() = default;
    explicit TPaintBrush(TColor Color);
    ~TPaintBrush();
    TPaintBrush(const TPaintBrush&) = delete;
    TPaintBrush& operator=(const TPaintBrush&) = delete;
    TPaintBrush(TPaintBrush&& Other) noexcept : FHandle(Other.FHandle) { Other.FHandle = nullptr; }
    HBRUSH Handle() const { return FHandle; }
    void Reset(HBRUSH Handle);

private:
    HBRUSH FHandle = nullptr;
};

class TcvTreeListPainter {
public:
    explicit TcvTreeListPainter(TCustomcvTreeList& Tree);
    ~TcvTreeListPainter();
    TcvTreeListPainter(const TcvTreeListPainter&) = delete;
    TcvTreeListPainter& operator=(const TcvTreeListPainter&) = delete;

    // The areas in their order, each skipped when the paint clip misses it.
    void PaintAreas();

private:
    struct TCellColors {
        TColor Color;
        TColor TextColor;
        HBRUSH Brush;
    };
    struct TColumnBrush {
        TColor Color;
        TPaintBrush Brush; // none when the colour is the control's
    };

    bool Visible(const TRect& R) const;
    // Shadow lines and strips: RGB 160,160,160 in the ultra-flat look.
    TColor ShadowColor() const;
    // Clips to R within the present clip, until RestorePaintClip.
    void SetPaintClip(const TRect& R);
    void RestorePaintClip();
    // A band or header button: its custom-draw event (Fire(colour, done)),
    // then the button unless the event drew it.
    template <class Event>
    void DrawButtonCell(const TRect& Cell, const TRect& Clip, bool CustomDraw, TColor Colour,
                        cvTL::THeaderButtonArgs& Args, Event Fire);
    // The area between the fixed bands, from Top to Bottom.
    TRect ScrollArea(int Top, int Bottom) const;
    HBRUSH GetLevelBrush(int Level, TColor& Colour);
    // The colour rule of every row cell; Position is the header cell's index,
    // -1 for a cell of no column.
    TCellColors GetCellColors(const TcvTreeListNode* Node, bool Selected, bool GroupRow, int Position);
    bool IsCellSelected(const TcvTreeListNode* Node, bool RowSelected, int Column) const;
    bool IsNewItemCellSelected(int Column) const;
    void AddGridLine(int X1, int Y1, int X2, int Y2);
    // One PolyPolyline of the collected lines in Colour; the lines are cleared.
    void DrawGridLines(TColor Colour);
    bool IsInvertSelect() const;
    // The scroll clip of the rows and footers: the area between the fixed
    // bands when the bands do not fit or scroll.
    bool NeedsScrollClip() const;
    // Left of the first band's cells as they would lie unscrolled.
    int UnscrolledLeft(int Left) const;

    void PaintGroupPanelArea();
    void DrawCornerButton(const TRect& R, HBRUSH Brush, bool Down);
    void PaintBandRow();
    void PaintHeaderPanel();
    // The part of a header area right of the last band, as empty header space.
    void FillRightOfColumns(const TRect& Area);
    void PaintNewItemRow();
    void PaintIndicatorColumn();
    void DrawSunkenCellFrame(const TRect& R);
    // A footer cell (total or row footer) from its header cell's span:
    // inset by 1, the first cell of the first band 1 further in, the last of
    // the last band 2 short; a scrolling band's cell gets the scroll clip.
    TRect PlaceFooterCell(const TcvTreeListHeaderCellInfo& Header, TRect Cell, bool ScrollClip,
                          const TRect& ScrollArea);
    // A footer cell's sunken frame and its text inside, in Color on Brush;
    // Node and FooterIndex name a row footer (nullptr and -1: the total footer).
    void DrawFooterCell(TRect Cell, int Column, bool MultiLine, TColor Color, TColor TextColor, HBRUSH Brush,
                        TcvTreeListNode* Node = nullptr, int FooterIndex = -1);
    void PaintFooterPanel();
    void DrawFilterCloseButton(const TRect& R, bool Hot, bool Down);
    void PaintFilterPanel();
    void DrawRows();
    void DrawTreeArea(const TcvTreeListRowInfo& Row, HBRUSH LineBrush);
    void DrawRowContent(const TcvTreeListRowInfo& Row, const TRect& ScrollArea, bool ScrollClip);
    void DrawRowSeparator(const TcvTreeListRowInfo& Row);
    // The strips of the group levels a row ends, under its cells, each with
    // the level's summaries in the cells of the columns that show one.
    void DrawRowFooters(const TcvTreeListRowInfo& Row, const TRect& ScrollArea, bool ScrollClip);
    // The focus frame of the focused row or cell, by the control's focus.
    void DrawFocusFrame(const TRect& R);
    TcvTreeListCellPaint CellPaint(const TRect& R) const;

    TCustomcvTreeList& T;
    TCanvas* Canvas;
    HDC DC;
    TcvTreeListDrawInfo Info;
    bool Focused;
    TPaintBrush BandBrush;
    TPaintBrush HeaderBrush;
    TPaintBrush GroupNodeBrush;
    TPaintBrush ColorBrush;
    TPaintBrush ShadowBrush;
    TPaintBrush HighlightBrush;
    TPaintBrush TreeLineBrush;
    TPaintBrush HideSelectionBrush;
    TPaintBrush RowFooterBrush;
    TPaintBrush FixedBandLineBrush;
    TPaintBrush LevelBrush; // made on demand for an OnGetLevelColor colour
    std::vector<TColumnBrush> ColumnBrushes;
    // The clip save slot.
    HRGN SavedClip = nullptr;
    bool HadClip = false;
    bool ClipSet = false;
    std::vector<POINT> LinePoints;
    std::vector<DWORD> LineCounts;
};

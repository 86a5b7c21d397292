// The node rows, in two passes: first the tree part at the left of every row
// (level columns, dotted tree lines, buttons, images), then the content (the
// cells, fixed band lines, preview, focus frame), with every separating line
// of the rows collected and drawn in one PolyPolyline at the end.
#include "treelist/TreeListPainter.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Colors.h"

namespace {

// Half the tree button: the tree lines stop this far from its centre.
constexpr int ButtonReach = 5;

// An 8 x 8 checkered pattern, rows padded to 16 bits.
constexpr Byte CheckerBits[] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};

} // namespace

void TcvTreeListPainter::DrawRows() {
    const TRect& rows = Info.Areas.Rows;
    const TRect rightFiller{std::max(Info.ColumnsRight, rows.Left), rows.Top, rows.Right, rows.Bottom};
    const TRect belowFiller = Info.LastRowBottom < 0
                                  ? TRect{}
                                  : TRect{rows.Left, Info.LastRowBottom, std::min(Info.ColumnsRight, rows.Right),
                                          rows.Bottom};
    for (const TRect& filler : {rightFiller, belowFiller})
        if (Visible(filler)) FillRect(DC, &filler, ColorBrush.Handle());
    if (!Visible(rows) || Info.Bands.empty() || Info.Rows.empty()) return;

    // First pass: the tree part, clipped to the first band.
    const int shift = T.GetFixedLeftBandIndex() < 0 ? T.LeftCoord() : 0;
    const int treeLeft = rows.Left - shift;
    SetPaintClip({treeLeft, rows.Top, std::max(treeLeft, Info.Bands[0].Bounds.Right), rows.Bottom});
    TPaintBrush checker;
    HBRUSH lineBrush = TreeLineBrush.Handle();
    const COLORREF oldBackground = GetBkColor(DC);
    const COLORREF oldText = GetTextColor(DC);
    POINT oldOrigin{};
    GetBrushOrgEx(DC, &oldOrigin);
    if (T.ShowRootIndent() && T.TreeLineStyle() == 1) {
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, CheckerBits);
        checker.Reset(CreatePatternBrush(pattern));
        DeleteObject(pattern);
        lineBrush = checker.Handle();
        SetBkColor(DC, ColorToRGB(T.TreeLineColor()));
        SetTextColor(DC, ColorToRGB(T.Color()));
    }
    {
        const TScopeGuard restore([&] {
            SetBkColor(DC, oldBackground);
            SetTextColor(DC, oldText);
            SetBrushOrgEx(DC, oldOrigin.X, oldOrigin.Y, nullptr);
            RestorePaintClip();
        });
        for (const TcvTreeListRowInfo& row : Info.Rows) {
            // The dots start at each row's tree origin, so a row shows the
            // same dots wherever a scroll moves it.
            if (checker.Handle()) SetBrushOrgEx(DC, treeLeft, row.Top, nullptr);
            DrawTreeArea(row, lineBrush);
        }
    }

    // Second pass: the content, the scrolling bands' cells kept between the
    // fixed bands.
    Canvas->SetFont(T.Font());
    Canvas->Refresh();
    SetTextColor(DC, ColorToRGB(T.Font()->Color()));
    const TRect scrollArea = ScrollArea(rows.Top, rows.Bottom);
    const bool scrollClip = NeedsScrollClip();
    for (const TcvTreeListRowInfo& row : Info.Rows) {
        T.BeginNodeAccess(row.Node);
        const TScopeGuard endAccess([&] { T.EndNodeAccess(row.Node); });
        DrawRowContent(row, scrollArea, scrollClip);
        DrawRowSeparator(row);
    }
    RestorePaintClip();
    DrawGridLines(T.ShowGrid() ? T.GetGridLineColor() : T.Color());
}

void TcvTreeListPainter::DrawTreeArea(const TcvTreeListRowInfo& Row, HBRUSH LineBrush) {
    const TcvTreeListNode* node = Row.Node;
    const bool rootIndent = T.ShowRootIndent();
    const int width = T.LevelIndent();
    const int top = Row.Top;
    const int bottom = Row.Top + Row.Height;
    const int centreY = top + Row.Height / 2;
    int left = Info.Areas.Rows.Left - (T.GetFixedLeftBandIndex() < 0 ? T.LeftCoord() : 0);
    if (!T.TestViewFlags() && rootIndent) left -= width;
    const auto columnLeft = [&](int Level) { return left + width * Level; };
    const auto centreX = [&](int Level) { return columnLeft(Level) + width / 2 - 1; };
    const auto line = [&](int X1, int Y1, int X2, int Y2) {
        const TRect r{X1, Y1, X2, Y2};
        if (!IsRectEmpty(r)) FillRect(DC, &r, LineBrush);
    };

    HBRUSH fill = rootIndent ? ColorBrush.Handle() : GroupNodeBrush.Handle();
    const int level = node->Level();
    const int columns = level + (node->HasChildren() || rootIndent ? 1 : 0);
    for (int i = 0; i < columns; ++i) {
        const TRect r{columnLeft(i), top, columnLeft(i) + width, bottom};
        HBRUSH brush = fill;
        if (!rootIndent && T.HasGetLevelColor()) {
            TColor colour = T.GroupNodeColor();
            brush = GetLevelBrush(i, colour);
        }
        FillRect(DC, &r, brush);
    }

    const bool button = T.ShowButtons() && node->HasChildren();
    if (rootIndent) {
        const int x = centreX(level);
        const bool firstRoot = node == T.Items(0);
        line(button ? x + ButtonReach : x, centreY, columnLeft(level) + width, centreY + 1);
        if (button) {
            if (!firstRoot) line(x, top, x + 1, centreY - ButtonReach + 1);
            if (!node->IsLast()) line(x, centreY + ButtonReach, x + 1, bottom);
        } else {
            line(x, firstRoot ? centreY : top, x + 1, node->IsLast() ? centreY + 1 : bottom);
        }
        for (const TcvTreeListNode* ancestor = node->Parent(); ancestor; ancestor = ancestor->Parent())
            if (!ancestor->IsLast()) line(centreX(ancestor->Level()), top, centreX(ancestor->Level()) + 1, bottom);
    }
    if (button) {
        const TRect r{columnLeft(level), top, columnLeft(level) + width, bottom};
        if (rootIndent)
            cvTL::DrawTreeButton(DC, r, centreY, !node->Expanded());
        else if (T.LookAndFeel() == lfUltraFlat)
            cvTL::DrawFlatTreeButton(DC, r, !node->Expanded());
        else
            cvTL::DrawExpandBitmap(DC, r, !node->Expanded());
    }

    int x = columnLeft(columns);
    if (node->StateIndex() != -1) {
        const TRect r{x, top, x + T.StateImageWidth(), bottom};
        FillRect(DC, &r, rootIndent || !Row.GroupNode ? ColorBrush.Handle() : fill);
        cvTL::DrawImageCentered(DC, r, T.StateImages(), node->StateIndex());
        x += T.StateImageWidth();
    }
    if (T.ImageWidth() > 0) {
        const TRect r{x, top, x + T.ImageWidth(), bottom};
        FillRect(DC, &r, ColorBrush.Handle());
        const int index = Row.Selected ? node->SelectedIndex() : node->ImageIndex();
        cvTL::DrawImageCentered(DC, r, T.Images(), index);
    }
}

void TcvTreeListPainter::DrawRowContent(const TcvTreeListRowInfo& Row, const TRect& ScrollArea, bool ScrollClip) {
    TcvTreeListNode* node = Row.Node;
    const TRect& rows = Info.Areas.Rows;
    const bool grid = T.ShowGrid();
    const bool gridBoth = grid && T.ShowPreviewGrid();
    const int fixedLeft = T.GetFixedLeftBandIndex();
    const int fixedRight = T.GetFixedRightBandIndex();
    const int lastBand = int(Info.Bands.size()) - 1;
    const int rowBottom = Row.Top + Row.Height;
    const int separator = grid ? T.RowSeparatorLineWidth() : 0;
    const int previewPart = Row.PreviewLineCount > 0 ? Row.PreviewLineCount * T.PreviewLineHeight() + 2 : 0;
    const int contentBottom = rowBottom - separator - Row.FooterHeight;
    int imagesLeft = 0;
    int textLeft = 0;
    T.GetNodeIndents(node, imagesLeft, textLeft);
    const int treeRight = rows.Left + textLeft - (fixedLeft < 0 ? T.LeftCoord() : 0);
    const int bandsRight = Info.ColumnsRight - (grid ? 1 : 0);
    const bool focusedRow = node == T.FocusedNode() && !T.IsNewItemRowActive();
    const bool wholeRowFocus = T.IsRowSelect() || IsInvertSelect();

    if (Row.GroupNode) {
        const TRect cell{treeRight, Row.Top + (!grid && !T.ShowRootIndent() ? 1 : 0), bandsRight,
                         rowBottom - separator};
        const bool selected = Row.Selected && !(T.IsNewItemRowActive() && !T.IsMultiSelect());
        const TCellColors colours = GetCellColors(node, selected, true, -1);
        SetBkColor(DC, ColorToRGB(colours.Color));
        SetTextColor(DC, ColorToRGB(colours.TextColor));
        TcvTreeListCellPaint paint = CellPaint(cell);
        paint.Node = node;
        paint.Selected = selected;
        paint.Focused = focusedRow && Focused;
        paint.Color = colours.Color;
        paint.TextColor = colours.TextColor;
        paint.Brush = colours.Brush;
        paint.Kind = ckGroupRow;
        if (Visible(cell)) T.PaintTextCell(paint);
        if (focusedRow) DrawFocusFrame(cell);
        return;
    }

    // The lines that set the fixed bands off, over the cell part of the row.
    const int cellsBottom = rowBottom - separator - Row.FooterHeight;
    if (fixedLeft >= 0) {
        const TRect& bounds = Info.Bands[fixedLeft].Bounds;
        const TRect r{bounds.Right - T.FixedBandLineWidth(), Row.Top, bounds.Right, cellsBottom};
        if (Visible(r)) FillRect(DC, &r, FixedBandLineBrush.Handle());
    }
    if (fixedRight >= 0) {
        const TRect& bounds = Info.Bands[fixedRight].Bounds;
        const TRect r{bounds.Left, Row.Top, bounds.Left + T.FixedBandLineWidth(), cellsBottom};
        if (Visible(r)) FillRect(DC, &r, FixedBandLineBrush.Handle());
    }

    const int topOffset = !grid && node->HasChildren() && !T.ShowRootIndent() ? 1 : 0;
    const int bandRows = T.HeaderPanelRowCount();
    const int rowHeight = std::max(T.HeaderRowHeight(), 1);
    TRect focusRect{};
    for (size_t i = 0; i < Info.HeaderCells.size(); ++i) {
        const TcvTreeListHeaderCellInfo& header = Info.HeaderCells[i];
        const int span = std::max(header.Bounds.Height() / rowHeight, 1);
        TRect cell{header.Bounds.Left, Row.Top + T.DefaultRowHeight() * header.BandRow + topOffset,
                   header.Bounds.Right, 0};
        if (header.Band == 0) {
            // The tree part covers the start of the first band.
            const int relative = UnscrolledLeft(header.Bounds.Left) - rows.Left;
            if (relative < textLeft) cell.Left += std::min(textLeft, relative + header.Bounds.Width()) - relative;
            if (cell.Left >= cell.Right) continue;
        }
        if (bandRows == 1)
            cell.Bottom = contentBottom - (previewPart > 0 ? previewPart + (gridBoth ? 1 : 0) : 0);
        else
            cell.Bottom = cell.Top + T.DefaultRowHeight() * span - (gridBoth ? 1 : 0);
        const bool keepsRightEdge =
            header.LastInRow && (header.Band == fixedLeft || (fixedRight >= 0 && header.Band == fixedRight - 1));
        if (gridBoth ? !keepsRightEdge : grid && header.LastInRow && header.Band == lastBand) --cell.Right;
        const bool fixed = header.Band == fixedLeft || header.Band == fixedRight;
        if (ScrollClip && !fixed)
            SetPaintClip(ScrollArea);
        else
            RestorePaintClip();
        const bool leftEdge = header.Band == 0 && header.Position == 0;
        const bool rightEdge = header.Band == lastBand && header.LastInRow;
        const bool focusedCell = header.Column == T.GetFocusedAbsoluteIndex();
        if (Visible(cell)) {
            const bool selected = IsCellSelected(node, Row.Selected, header.Column);
            const TCellColors colours = GetCellColors(node, selected, false, int(i));
            TcvTreeListCellPaint paint = CellPaint(cell);
            paint.Node = node;
            paint.Column = header.Column;
            paint.Selected = selected;
            paint.Focused = focusedRow && Focused && (focusedCell || wholeRowFocus);
            paint.Color = colours.Color;
            paint.TextColor = colours.TextColor;
            paint.Brush = colours.Brush;
            paint.MultiLine = span > 1 || Row.LineCount > 1;
            paint.LeftEdge = leftEdge;
            paint.RightEdge = rightEdge;
            paint.ColumnColor = ColumnBrushes[i].Color;
            paint.ColumnBrush = ColumnBrushes[i].Brush.Handle();
            T.PaintNodeCell(paint);
        }
        if (focusedRow && focusedCell) focusRect = cell;
        if (!gridBoth) continue;
        const bool scrolling = ScrollClip && !fixed;
        if (bandRows > 1) {
            const TRect taller{cell.Left, cell.Top, cell.Right, cell.Bottom + 1};
            int x1 = cell.Left;
            int x2 = cell.Right;
            if (scrolling) {
                x1 = std::max(x1, ScrollArea.Left);
                x2 = std::min(x2, ScrollArea.Right);
            }
            if (x1 < x2 && Visible(taller)) AddGridLine(x1, cell.Bottom, x2, cell.Bottom);
        }
        if (keepsRightEdge) continue;
        if (scrolling && !(cell.Right >= ScrollArea.Left && cell.Right < ScrollArea.Right)) continue;
        int lineBottom = cell.Bottom + 1;
        if (header.LastInRow)
            lineBottom = bandRows > 1 ? Row.Top + bandRows * T.DefaultRowHeight() : contentBottom - previewPart;
        AddGridLine(cell.Right, cell.Top, cell.Right, lineBottom);
    }
    RestorePaintClip();

    if (previewPart > 0) {
        int stripRight = Info.ColumnsRight - (grid ? 1 : 0);
        if (fixedRight >= 0) stripRight = std::min(stripRight, rows.Right - (grid ? 1 : 0));
        const TRect strip{treeRight, contentBottom - previewPart, stripRight, contentBottom};
        if (ScrollClip) SetPaintClip({rows.Left, strip.Top, rows.Right, strip.Bottom});
        if (Visible(strip)) {
            const bool marked = Row.Selected && !(T.IsNewItemRowActive() && !T.IsMultiSelect());
            const bool selected = marked && (T.IsRowSelect() || IsInvertSelect() || T.IsMultiSelect());
            const TCellColors colours = GetCellColors(node, selected, false, -1);
            TcvTreeListCellPaint paint = CellPaint(strip);
            paint.Node = node;
            paint.Selected = selected;
            paint.Color = colours.Color;
            paint.TextColor = colours.TextColor;
            paint.Brush = colours.Brush;
            T.PaintPreview(paint);
        }
        if (gridBoth) {
            const int x1 = ScrollClip ? std::max(strip.Left, ScrollArea.Left) : strip.Left;
            const int x2 = ScrollClip ? std::min(strip.Right, ScrollArea.Right) : strip.Right;
            if (x1 < x2) AddGridLine(x1, strip.Top - 1, x2, strip.Top - 1);
        }
        RestorePaintClip();
    }

    DrawRowFooters(Row, ScrollArea, ScrollClip);

    if (focusedRow && (wholeRowFocus || !IsRectEmpty(focusRect))) {
        if (wholeRowFocus) focusRect = {treeRight, Row.Top, bandsRight, contentBottom};
        DrawFocusFrame(focusRect);
    }
}

void TcvTreeListPainter::DrawRowFooters(const TcvTreeListRowInfo& Row, const TRect& ScrollArea, bool ScrollClip) {
    if (Row.FooterCount == 0) return;
    TcvTreeListNode* node = Row.Node;
    const bool grid = T.ShowGrid();
    const bool gridBoth = grid && T.ShowPreviewGrid();
    const int lineHeight = T.FFooterLineHeight;
    const int rowHeight = std::max(T.HeaderRowHeight(), 1);
    const int footersTop = Row.Top + Row.Height - (grid ? T.RowSeparatorLineWidth() : 0) - Row.FooterHeight;
    for (int index = 0; index < Row.FooterCount; ++index) {
        TRect strip = T.GetRowFooterRect(node, index, Info, grid ? 1 : 0, footersTop);
        if (gridBoth) {
            AddGridLine(strip.Left, strip.Top, strip.Right, strip.Top);
            if (strip.Right < Info.Areas.Rows.Right) AddGridLine(strip.Right, strip.Top, strip.Right, strip.Bottom);
            ++strip.Top;
        }
        const int level = T.GetAncestorLevel(node, index);
        TColor colour = T.RowFooterColor();
        HBRUSH brush = T.HasGetLevelColor() ? GetLevelBrush(level, colour) : RowFooterBrush.Handle();
        if (!Visible(strip)) continue;
        FillRect(DC, &strip, brush);
        // The cells lie under the header cells, inside the strip.
        for (const TcvTreeListHeaderCellInfo& header : Info.HeaderCells) {
            const int span = std::max(header.Bounds.Height() / rowHeight, 1);
            TRect cell{std::max(header.Bounds.Left, strip.Left), strip.Top + lineHeight * header.BandRow,
                       std::min(header.Bounds.Right, strip.Right + (grid ? 1 : 0)),
                       strip.Top + lineHeight * (header.BandRow + span)};
            if (IsRectEmpty(cell)) continue;
            cell = PlaceFooterCell(header, cell, ScrollClip, ScrollArea);
            if (!T.IsGroupLevelNode(node, header.Column, level) || !Visible(cell)) continue;
            DrawFooterCell(cell, header.Column, span > 1, colour, T.RowFooterTextColor(), brush, node, index);
        }
        RestorePaintClip();
    }
}

void TcvTreeListPainter::DrawRowSeparator(const TcvTreeListRowInfo& Row) {
    const TcvTreeListNode* node = Row.Node;
    const TRect& rows = Info.Areas.Rows;
    const bool grid = T.ShowGrid();
    const bool groupLine = node->HasChildren() && !T.ShowRootIndent();
    if (!grid && !groupLine) return;
    const int width = T.LevelIndent();
    const int shownRootOffset = T.TestViewFlags() ? 0 : width;
    const int shift = T.GetFixedLeftBandIndex() < 0 ? T.LeftCoord() : 0;
    int left;
    if (grid) {
        // From the level of the row below: an expanded node's line starts at
        // its children, the last row's at the left edge.
        const TcvTreeListNode* next = T.GetNextVisibleNode(node);
        int imagesLeft = 0;
        int textLeft = 0;
        T.GetNodeIndents(node, imagesLeft, textLeft);
        left = std::min((next ? next->Level() : 0) * width - shownRootOffset, textLeft);
    } else {
        left = node->Level() * width - shownRootOffset;
    }
    left = std::max(rows.Left + std::max(left, 0) - shift, rows.Left);
    const int right = Info.ColumnsRight + (grid ? 0 : 1);
    const auto addLine = [&](int Y) {
        // A plain data row leaves the fixed band lines whole.
        const int fixedLeft = T.GetFixedLeftBandIndex();
        const int fixedRight = T.GetFixedRightBandIndex();
        int x = left;
        if (Row.PreviewLineCount == 0 && Row.FooterCount == 0 && !Row.GroupNode) {
            if (fixedLeft >= 0) {
                const int edge = Info.Bands[fixedLeft].Bounds.Right;
                if (x < edge - T.FixedBandLineWidth()) AddGridLine(x, Y, edge - T.FixedBandLineWidth(), Y);
                x = std::max(x, edge);
            }
            if (fixedRight >= 0) {
                const int edge = Info.Bands[fixedRight].Bounds.Left;
                if (x < edge) AddGridLine(x, Y, edge, Y);
                x = std::max(x, edge + T.FixedBandLineWidth());
            }
        }
        if (x < right) AddGridLine(x, Y, right, Y);
    };
    if (!grid) {
        addLine(Row.Top);
        return;
    }
    const int bottom = Row.Top + Row.Height;
    for (int i = 0; i < std::max(T.RowSeparatorLineWidth(), 1); ++i)
        addLine(bottom - 1 - i);
}

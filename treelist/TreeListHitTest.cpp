// GetHitInfo: what lies under a client point. The areas are tried in a fixed
// order so that sizing edges, which reach a few pixels into their
// neighbours, win over the areas themselves.
#include "treelist/TreeList.h"

namespace {

// A sizing edge reaches this far into its neighbours.
constexpr int EdgeReach = 4;
// The height sizing strips at the bottom of the band and column headers.
constexpr int HeightEdgeStrip = 8;

bool InRange(int Value, int Low, int High) {
    return Value >= Low && Value < High;
}

// The header area extended over its indicator corner and a few pixels down:
// a point in its bottom strip is on the height sizing edge.
bool OnHeightEdge(const TRect& Area, int IndicatorWidth, TPoint P) {
    TRect extended = Area;
    extended.Left -= IndicatorWidth;
    extended.Bottom += EdgeReach;
    return PtInRect(extended, P) && P.Y >= extended.Bottom - HeightEdgeStrip;
}

} // namespace

bool TCustomcvTreeList::CanSizeBand(int Band) const {
    return (FOptionsEx & tloex_BandSizing) && CanBandSizing(Band);
}

bool TCustomcvTreeList::CanSizeColumn(int Column) const {
    return (FOptions & tlo_ColumnSizing) && CanColumnSizing(Column);
}

int TCustomcvTreeList::GetHitTestKind(int X, int Y) {
    TcvTreeListHitInfo hit;
    GetHitInfo({X, Y}, hit);
    return hit.Kind;
}

TcvTreeListNode* TCustomcvTreeList::GetHitNode(int X, int Y) {
    TcvTreeListHitInfo hit;
    GetHitInfo({X, Y}, hit);
    return hit.Node;
}

void TCustomcvTreeList::GetHitInfo(TPoint Point, TcvTreeListHitInfo& HitInfo) {
    HitInfo = TcvTreeListHitInfo{};
    HitInfo.X = Point.X;
    HitInfo.Y = Point.Y;
    if (!PtInRect(ClientRect(), Point)) {
        HitInfo.Kind = htOutside;
        return;
    }
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const TcvTreeListRectInfo& areas = info.Areas;
    const bool bandHeaderShown = !IsRectEmpty(areas.BandHeader);
    const bool headerShown = !IsRectEmpty(areas.Header);
    if (PtInRect(areas.GroupPanel, Point))
        HitInfo.Kind = htGroupPanel;
    else if (bandHeaderShown && (FOptionsEx & tloex_BandHeightSizing) &&
             OnHeightEdge(areas.BandHeader, FIndicatorWidth, Point))
        HitInfo.Kind = htBandHeightEdge;
    else if (PtInRect(areas.BandIndicator, Point))
        HitInfo.Kind = htBandIndicator;
    else if (PtInRect(areas.BandHeader, Point))
        HitTestBands(info, HitInfo);
    else if (headerShown && (FOptionsEx & tloex_HeaderHeightSizing) &&
             OnHeightEdge(areas.Header, FIndicatorWidth, Point))
        HitInfo.Kind = htHeaderHeightEdge;
    else if (PtInRect(areas.HeaderIndicator, Point))
        HitInfo.Kind = htHeaderIndicator;
    else if (PtInRect(areas.Header, Point))
        HitTestHeader(info, HitInfo);
    else if (PtInRect(areas.NewItemRow, Point)) {
        HitInfo.Kind = htNewItemRow;
        HitInfo.Column = HeaderColumnAt(info, Point.X);
        if (HitInfo.Column >= 0)
            for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells)
                if (cell.Column == HitInfo.Column) HitInfo.Band = cell.Band;
    } else if (PtInRect(areas.RowsIndicator, Point))
        HitTestIndicator(info, HitInfo);
    else if (PtInRect(areas.FilterBar, Point))
        HitInfo.Kind = htFilterBar;
    else if (PtInRect(areas.BelowRows, Point)) {
        HitInfo.Kind = htFooter;
        HitInfo.Column = HeaderColumnAt(info, Point.X);
    } else if (PtInRect(areas.Rows, Point))
        HitTestRows(info, HitInfo);
}

void TCustomcvTreeList::HitTestBands(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const {
    Hit.Kind = htBandHeader;
    const int x = Hit.X;
    for (size_t i = 0; i < Info.Bands.size(); ++i) {
        const TcvTreeListBandInfo& band = Info.Bands[i];
        if (!InRange(x, band.Visible.Left, band.Visible.Right)) continue;
        Hit.Band = band.Band;
        if (CanSizeBand(band.Band) && x >= band.Visible.Right - EdgeReach) {
            Hit.Kind = htBandEdge;
        } else if (i > 0 && CanSizeBand(Info.Bands[i - 1].Band) &&
                   InRange(x, Info.Bands[i - 1].Visible.Right, Info.Bands[i - 1].Visible.Right + EdgeReach)) {
            Hit.Band = Info.Bands[i - 1].Band;
            Hit.Kind = htBandEdge;
        }
        return;
    }
    if (Info.Bands.empty()) return;
    const TcvTreeListBandInfo& last = Info.Bands.back();
    if (InRange(x, last.Visible.Right, last.Visible.Right + EdgeReach) && CanSizeBand(last.Band)) {
        Hit.Band = last.Band;
        Hit.Kind = htBandEdge;
    }
}

void TCustomcvTreeList::HitTestHeader(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const {
    Hit.Kind = htColumnHeader;
    const int x = Hit.X;
    const bool columnEdgesSizeBands = (FOptionsEx & tloex_ColumnEdgeSizesBand) && !FShowBands;
    for (size_t i = 0; i < Info.HeaderCells.size(); ++i) {
        const TcvTreeListHeaderCellInfo& cell = Info.HeaderCells[i];
        if (!InRange(x, cell.Visible.Left, cell.Visible.Right) || !InRange(Hit.Y, cell.Bounds.Top, cell.Bounds.Bottom))
            continue;
        Hit.Band = cell.Band;
        Hit.Column = cell.Column;
        if (x >= cell.Visible.Right - EdgeReach) {
            if (CanSizeColumn(cell.Column) && (!cell.LastInRow || columnEdgesSizeBands))
                Hit.Kind = htColumnEdge;
            else if (cell.LastInRow && CanSizeBand(cell.Band))
                Hit.Kind = htBandEdge;
        } else if (cell.Position > 0) {
            const TcvTreeListHeaderCellInfo& previous = Info.HeaderCells[i - 1];
            if (InRange(x, previous.Visible.Right, previous.Visible.Right + EdgeReach) &&
                CanSizeColumn(previous.Column)) {
                Hit.Column = previous.Column;
                Hit.Kind = htColumnEdge;
            }
        }
        return;
    }
    if (Info.Bands.empty()) return;
    const TcvTreeListBandInfo& last = Info.Bands.back();
    if (!InRange(x, last.Visible.Right, last.Visible.Right + EdgeReach)) return;
    Hit.Band = last.Band;
    if (!columnEdgesSizeBands) {
        if (CanSizeBand(last.Band)) Hit.Kind = htBandEdge;
        return;
    }
    const int lastRow = GetBandRowCountOf(last.Band) - 1;
    const int count = lastRow >= 0 ? GetColumnCountInBandRow(last.Band, lastRow) : 0;
    const int column = count > 0 ? GetColumnAt(last.Band, lastRow, count - 1) : -1;
    if (column >= 0 && CanSizeColumn(column)) {
        Hit.Column = column;
        Hit.Kind = htColumnEdge;
    }
}

void TCustomcvTreeList::HitTestIndicator(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const {
    Hit.Kind = htIndicator;
    const int topRow = GetTopRowIndex();
    for (size_t i = 0; i < Info.Rows.size(); ++i) {
        const TcvTreeListRowInfo& row = Info.Rows[i];
        const int bottom = row.Top + row.Height;
        // A point just below a row's bottom still belongs to that row's edge.
        if ((FOptionsEx & tloex_RowSizing) && InRange(Hit.Y, bottom - EdgeReach, bottom + EdgeReach)) {
            Hit.Kind = htRowHeightEdge;
            Hit.Node = row.Node;
            Hit.Row = topRow + int(i);
            return;
        }
        if (InRange(Hit.Y, row.Top, bottom)) {
            Hit.Node = row.Node;
            Hit.Row = topRow + int(i);
            return;
        }
    }
}

void TCustomcvTreeList::HitTestRows(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) {
    const int topRow = GetTopRowIndex();
    const TcvTreeListRowInfo* row = nullptr;
    for (const TcvTreeListRowInfo& entry : Info.Rows)
        if (InRange(Hit.Y, entry.Top, entry.Top + entry.Height)) row = &entry;
    if (!row) return;
    TcvTreeListNode* node = row->Node;
    Hit.Node = node;
    Hit.Row = topRow + int(row - Info.Rows.data());
    Hit.Kind = Hit.X < Info.ColumnsRight ? htCell : htRowRight;
    const int bottom = row->Top + row->Height;
    const int footerTop = bottom - row->FooterHeight;
    for (int index = 0; index < row->FooterCount; ++index) {
        if (!PtInRect(GetRowFooterRect(node, index, Info, 0, footerTop), {Hit.X, Hit.Y})) continue;
        Hit.Kind = htRowFooter;
        Hit.FooterIndex = index;
        Hit.Column = HeaderColumnAt(Info, Hit.X);
        return;
    }
    // The tree part: indent, button, state image and image, from the left
    // edge of the first column.
    const int origin = Info.Areas.Rows.Left - (GetFixedLeftBandIndex() < 0 ? FLeftCoord : 0);
    int imagesLeft = 0;
    int textLeft = 0;
    GetNodeIndents(node, imagesLeft, textLeft);
    const int x = Hit.X - origin;
    if (x >= 0 && x < textLeft) {
        const int level = node->Level();
        const bool button = node->HasChildren() && ShowButtons();
        const int buttonLeft = level * FLevelIndent;
        int partsLeft = (level + 1) * FLevelIndent;
        if (!ShowRootIndent() && !node->HasChildren()) partsLeft -= FLevelIndent;
        const bool stateImage = node->StateIndex() != -1;
        const int stateRight = partsLeft + (stateImage ? FStateImageWidth : 0);
        const bool image = node->ImageIndex() != -1 || node->SelectedIndex() != -1;
        const int firstPart = button ? buttonLeft : partsLeft;
        if (x < firstPart)
            Hit.Kind = htIndent;
        else if (button && InRange(x, buttonLeft, buttonLeft + FLevelIndent))
            Hit.Kind = htButton;
        else if (stateImage && InRange(x, partsLeft, stateRight))
            Hit.Kind = htStateImage;
        else if (image && InRange(x, stateRight, stateRight + FImageWidth))
            Hit.Kind = htImage;
        else
            Hit.Kind = htNowhere;
        return;
    }
    if (Hit.Kind != htCell) return;
    Hit.Column = RowCellColumnAt(Info, Hit.X, FDefaultRowHeight > 0 ? (Hit.Y - row->Top) / FDefaultRowHeight : 0);
    const int previewBottom = bottom - row->FooterHeight;
    const int previewTop = previewBottom - row->PreviewLineCount * FPreviewLineHeight - 2;
    if (row->PreviewLineCount > 0 && InRange(Hit.Y, previewTop, previewBottom)) Hit.Kind = htPreview;
}

int TCustomcvTreeList::RowCellColumnAt(const TcvTreeListDrawInfo& Info, int X, int Line) const {
    for (const TcvTreeListHeaderCellInfo& cell : Info.HeaderCells) {
        const int span = FHeaderRowHeight > 0 ? std::max(cell.Bounds.Height() / FHeaderRowHeight, 1) : 1;
        if (InRange(X, cell.Visible.Left, cell.Visible.Right) && Line >= cell.BandRow && Line < cell.BandRow + span)
            return cell.Column;
    }
    return HeaderColumnAt(Info, X);
}

int TCustomcvTreeList::HeaderColumnAt(const TcvTreeListDrawInfo& Info, int X) const {
    // The bottom band row's cell: the one a row's cells line up with.
    int column = -1;
    for (const TcvTreeListHeaderCellInfo& cell : Info.HeaderCells)
        if (InRange(X, cell.Visible.Left, cell.Visible.Right)) column = cell.Column;
    return column;
}

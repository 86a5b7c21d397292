// Where a dragged band or column header would land: the target band, or
// band row and position, with a status, and the point where the drop arrows
// go. The drag steps ask it on every pointer move and when the drag ends.
#include "treelist/TreeList.h"

#include "platform/ui/Painting.h"

#include <algorithm>

namespace {

// The drop arrows' left-top corner lies this far left of and above the edge
// they mark.
constexpr int ArrowDX = 5;
constexpr int ArrowDY = 9;
constexpr TPoint NoArrow{-100, -100};

bool SpansX(const TRect& R, int X) {
    return R.Left <= X && X < R.Right;
}

// The pointer lies on the cell's right half.
bool IsAfter(const TRect& Cell, int X) {
    return (Cell.Left + Cell.Right) / 2 < X;
}

} // namespace

TcvHeaderPosInfo TCustomcvTreeList::GetHeaderDropPosition(TPoint& Point, bool BandMode, int DraggedIndex,
                                                           int DraggedItem) {
    TcvHeaderPosInfo result;
    const TPoint screen = Point;
    const TPoint p = HandleAllocated() ? ScreenToClient(screen) : screen;
    Point = NoArrow;
    if (PointInCustomizeForm(screen)) return result;
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const auto arrowAt = [&](int X, int Y) { Point = HandleAllocated() ? ClientToScreen({X, Y}) : TPoint{X, Y}; };

    if (BandMode) {
        const TRect& row = info.Areas.BandHeader;
        if (p.Y < row.Top || p.Y >= row.Bottom) return result;
        result.Band = -2;
        result.Status = -2;
        if (info.Bands.empty()) {
            result.Band = 0;
            result.Status = -3;
            arrowAt(row.Left - ArrowDX, row.Top - ArrowDY);
            return result;
        }
        const int fixedLeft = GetFixedLeftBandIndex();
        const int fixedRight = GetFixedRightBandIndex();
        const TcvTreeListBandInfo* target = nullptr;
        bool after = false;
        for (const TcvTreeListBandInfo& cell : info.Bands) {
            if (!PtInRect(cell.Visible, p)) continue;
            if (cell.Band == DraggedIndex) return result;
            after = IsAfter(cell.Visible, p.X);
            const bool nextToDragged =
                DraggedIndex >= 0 && (after ? cell.Band == DraggedIndex - 1 : cell.Band == DraggedIndex + 1);
            const bool beyondFixed = after ? cell.Band == fixedRight : cell.Band == fixedLeft;
            if (nextToDragged || beyondFixed) return result;
            target = &cell;
            break;
        }
        const TcvTreeListBandInfo& last = info.Bands.back();
        if (!target && p.X >= last.Visible.Right && last.Band != DraggedIndex && last.Band != fixedRight) {
            target = &last;
            after = true;
        }
        if (!target) return result;
        result.Band = target->Band;
        if (after && ((DraggedIndex >= 0 && target->Band < DraggedIndex) || (DraggedIndex < 0 && DraggedItem >= 0)))
            ++result.Band;
        if (!after && DraggedIndex >= 0 && target->Band > DraggedIndex) --result.Band;
        result.Status = -3;
        const int x = (after ? target->Visible.Right : target->Visible.Left) - ArrowDX;
        arrowAt(std::clamp(x, row.Left - ArrowDX, std::max(row.Right, row.Left - ArrowDX)),
                target->Bounds.Top - ArrowDY);
        return result;
    }

    const TRect& panel = info.Areas.Header;
    if (GetBandCount() == 0 || p.Y < panel.Top || p.Y >= panel.Bottom) return result;
    result.Status = -2;
    const int draggedBand = DraggedItem >= 0 ? GetColumnBandIndex(DraggedItem) : -1;
    const int draggedRow = DraggedItem >= 0 ? GetColumnRowIndex(DraggedItem) : -1;
    bool draggedOnlyOwn = false;
    for (int band = 0; band < GetBandCount(); ++band)
        if (GetBandIndexFromVisible(band) == draggedBand) draggedOnlyOwn = GetBandOnlyOwnColumns(band);
    // A band that takes only its own columns, or the dragged column's band
    // keeping its own, refuses a move between bands.
    const auto refused = [&](int Band) {
        return DraggedItem >= 0 && GetBandIndexFromVisible(Band) != draggedBand &&
               (GetBandOnlyOwnColumns(Band) || draggedOnlyOwn);
    };
    const auto noMove = [&](const TcvTreeListHeaderCellInfo& Cell) {
        result = {Cell.Band, Cell.BandRow, Cell.Position, -2};
        return result;
    };
    const int draggedVisible = DraggedIndex >= 0 ? GetVisibleIndex(DraggedIndex) : -1;
    const auto sameRowAsDragged = [&](const TcvTreeListHeaderCellInfo& Cell) {
        return DraggedItem >= 0 && GetBandIndexFromVisible(Cell.Band) == draggedBand && Cell.BandRow == draggedRow;
    };

    const TcvTreeListHeaderCellInfo* target = nullptr;
    bool after = false;
    for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells) {
        if (!PtInRect(cell.Visible, p)) continue;
        if (refused(cell.Band) || cell.Column == DraggedItem) return noMove(cell);
        after = IsAfter(cell.Visible, p.X);
        if (DraggedIndex >= 0 && sameRowAsDragged(cell)) {
            const int visible = GetVisibleIndex(cell.Column);
            if (after ? visible == draggedVisible - 1 : visible == draggedVisible + 1) return noMove(cell);
        }
        target = &cell;
        break;
    }
    if (!target && !info.HeaderCells.empty()) {
        const TcvTreeListBandInfo& lastBand = info.Bands.back();
        if (p.X >= lastBand.Visible.Right) {
            target = &info.HeaderCells.back();
            const TPoint edge{lastBand.Visible.Right - 1, p.Y};
            for (auto cell = info.HeaderCells.rbegin(); cell != info.HeaderCells.rend(); ++cell) {
                if (!PtInRect(cell->Visible, edge)) continue;
                if (refused(cell->Band)) return noMove(*cell);
                target = &*cell;
                break;
            }
            after = true;
        } else {
            // Below a band's last header row: a new row under the cell above.
            for (auto cell = info.HeaderCells.rbegin(); cell != info.HeaderCells.rend(); ++cell) {
                if (refused(cell->Band) || !SpansX(cell->Visible, p.X)) continue;
                result = {cell->Band, cell->BandRow + 1, cell->Position, -3};
                const int x = std::clamp(cell->Visible.Left - ArrowDX, cell->Bounds.Left - ArrowDX,
                                         std::max(cell->Bounds.Right, cell->Bounds.Left - ArrowDX));
                arrowAt(x, cell->Bounds.Top + FHeaderRowHeight - ArrowDY);
                return result;
            }
            // An empty band: its first row.
            for (const TcvTreeListBandInfo& band : info.Bands) {
                if (refused(band.Band) || !SpansX(band.Visible, p.X)) continue;
                result = {band.Band, 0, 0, -3};
                const int x = std::clamp(band.Visible.Left - ArrowDX, panel.Left - ArrowDX,
                                         std::max(panel.Right, panel.Left - ArrowDX));
                arrowAt(x, band.Bounds.Bottom - ArrowDY);
                return result;
            }
        }
    }
    if (!target) return result;
    int position = target->Position;
    const int targetVisible = GetVisibleIndex(target->Column);
    if (after) {
        const bool leftOfDragged = DraggedIndex >= 0 && targetVisible < draggedVisible;
        const bool otherRow = DraggedItem >= 0 && !sameRowAsDragged(*target);
        const bool fromCustomizing = DraggedIndex < 0 && DraggedItem >= 0;
        if (leftOfDragged || otherRow || fromCustomizing) ++position;
    } else if (position > 0 && DraggedIndex >= 0 && targetVisible > draggedVisible && sameRowAsDragged(*target)) {
        --position;
    }
    result = {target->Band, target->BandRow, position, -3};
    const int x = (after ? target->Visible.Right : target->Visible.Left) - ArrowDX;
    arrowAt(std::clamp(x, panel.Left - ArrowDX, std::max(panel.Right, panel.Left - ArrowDX)), target->Bounds.Top - ArrowDY);
    return result;
}

int TCustomcvTreeList::GetBandDropIndex(TPoint ClientPoint, int DraggedIndex, int DraggedBand) {
    TPoint point = HandleAllocated() ? ClientToScreen(ClientPoint) : ClientPoint;
    return GetHeaderDropPosition(point, true, DraggedIndex, DraggedBand).Band;
}

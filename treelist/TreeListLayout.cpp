// The tree list's metrics (heights measured from its fonts, in a fixed
// order), row heights, the area rectangles and the drawing layout for the
// current scroll position.
#include "treelist/TreeList.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "treelist/cvTL.h"

#include <algorithm>

namespace {

// Text margins of the header, band and footer rows around their text.
constexpr int HeaderTextMargin = 5;
constexpr int FooterTextMargin = 7;
constexpr int MinFilterBarHeight = 17;
} // namespace

std::vector<int> ShareBandRowWidths(int BandWidth, int GroupIndent, const std::vector<TcvColumnShareInput>& Columns) {
    const int count = int(Columns.size());
    std::vector<int> widths(count, 0);
    if (count == 0) return widths;
    // Fixed columns keep their width: the sizable ones share what is left.
    int space = BandWidth - GroupIndent;
    int sumWidth = 0;
    int sumMin = 0;
    for (const TcvColumnShareInput& column : Columns) {
        if (column.Sizable) {
            sumWidth += column.Width;
            sumMin += column.MinWidth;
        } else {
            space -= column.Width;
        }
    }
    std::vector<int> shares(count, 0);
    bool belowMinimum = false;
    int widthsAboveMinimum = 0; // the widths of the columns whose share reaches their minimum
    for (int i = 0; i < count; ++i) {
        const TcvColumnShareInput& column = Columns[i];
        if (!column.Sizable) continue;
        shares[i] = sumWidth > 0 ? MulDiv(space, column.Width, sumWidth) : 0;
        if (shares[i] < column.MinWidth)
            belowMinimum = true;
        else
            widthsAboveMinimum += column.Width;
    }
    int given = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const TcvColumnShareInput& column = Columns[i];
        int width = column.Width;
        if (column.Sizable && !belowMinimum)
            width = shares[i];
        else if (column.Sizable && shares[i] <= column.MinWidth)
            width = column.MinWidth;
        else if (column.Sizable)
            width =
                column.MinWidth +
                (widthsAboveMinimum > 0 ? MulDiv(std::max(space - sumMin, 0), column.Width, widthsAboveMinimum) : 0);
        widths[i] = std::max(width, 0);
        if (i == 0) widths[i] += GroupIndent;
        given += widths[i];
    }
    widths[count - 1] = std::max(BandWidth - given, 0);
    return widths;
}

// Metrics --------------------------------------------------------------------

void TCustomcvTreeList::CalcMetricValues() {
    FBandRowCount = GetBandRowCount();
    FHeaderPanelRowCount = GetHeaderPanelRowCount();
    FHeaderLineCount = GetHeaderLineCount();
    const int notFlat = Flat() ? 0 : 1;
    const bool gridBoth = FShowGrid && FShowPreviewGrid;
    FBandLineHeight = cvTL::FontLineHeight(FBandFont->Handle());
    FBandHeaderHeight = FShowBands ? FBandLineHeight * FBandRowCount + HeaderTextMargin + notFlat : 0;
    FHeaderRowHeight = cvTL::FontLineHeight(FHeaderFont->Handle()) * FHeaderLineCount + HeaderTextMargin + notFlat;
    FHeaderHeight = FShowHeader ? FHeaderRowHeight * FHeaderPanelRowCount : 0;
    FGroupPanelHeight = GetGroupPanelHeight();
    FIndicatorWidth = FShowIndicator ? GetIndicatorWidth() : 0;
    FTextHeight = cvTL::FontLineHeight(Font()->Handle());
    FFooterLineHeight = FTextHeight + FooterTextMargin;
    FFooterHeight = FShowFooter ? FFooterLineHeight * FHeaderPanelRowCount + 3 + notFlat : 0;
    FRowFooterHeight = FHeaderPanelRowCount * (FTextHeight + FooterTextMargin) + 2 + (gridBoth ? 1 : 0);
    FFilterBarHeight = IsFilterButtonShown() ? std::max(FTextHeight + 5, MinFilterBarHeight) : 0;
    FMinRowHeight = FTextHeight + cvTL::RowTextMargin;
    FHorzLineStep = cvTL::FontTextWidth(Font()->Handle(), "0");
    FImageWidth = FImages ? FImages->Width() : 0;
    FImageHeight = FImages ? FImages->Height() : 0;
    FStateImageWidth = FStateImages ? FStateImages->Width() : 0;
    FStateImageHeight = FStateImages ? FStateImages->Height() : 0;
    FButtonCellWidth = 16;
    FButtonCellHeight = 16;
    FLevelIndent = FButtonCellWidth;

    const int gridLine = gridBoth ? 1 : 0;
    FRowHeight = std::max(FMinRowHeight, FButtonCellHeight);
    for (const int tallest : {std::max(FImageHeight, FStateImageHeight), GetMaxColumnHeight()})
        if (tallest > FHeaderPanelRowCount * (FRowHeight + gridLine)) FRowHeight = tallest;
    FRowHeight += gridLine;
    if (FOptionsEx & tloex_InvertSelect) FRowHeight += 2;

    if (!FDefaultRowHeightAssigned) FDefaultRowHeight = FRowHeight;
    FDefaultRowHeight = std::max(FDefaultRowHeight, FRowHeight);
    if (FDefaultRowHeight == FRowHeight) FDefaultRowHeightAssigned = false;

    FNewItemRowHeight =
        FHeaderPanelRowCount == 1 && FShowNewItemRow && GetBandCount() >= 1 ? FDefaultRowHeight + (Flat() ? 5 : 6) : 0;
    FPreviewLineHeight = cvTL::FontLineHeight(FPreviewFont->Handle());
}

void TCustomcvTreeList::CalcMetrics() {
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    CalcMetricValues();
    ClearCache();
    FocusedNodeChanged();
    CalcVisibleRows();
    UpdateScrollBars();
    ClampScrollPositions();
    RemoveScrollBarsWhenFitting();
    Invalidate();
}

void TCustomcvTreeList::LayoutChanged() {
    if (IsUpdating()) return;
    ++FLockCount; // nested relayout requests do nothing meanwhile
    CalcMetrics();
    --FLockCount;
}

void TCustomcvTreeList::SetDefaultRowHeight(int Value) {
    FDefaultRowHeightAssigned = true;
    if (Value == FDefaultRowHeight) return;
    FDefaultRowHeight = Value;
    LayoutChanged();
}

void TCustomcvTreeList::SetImages(TCustomImageList* Value) {
    SetImageList(FImages, *FImagesLink, Value);
}

void TCustomcvTreeList::SetStateImages(TCustomImageList* Value) {
    SetImageList(FStateImages, *FStateImagesLink, Value);
}

void TCustomcvTreeList::SetImageList(TCustomImageList*& Field, TChangeLink& Link, TCustomImageList* Value) {
    if (Field == Value) return;
    if (Field) Field->UnRegisterChanges(&Link);
    Field = Value;
    if (Value) {
        Value->RegisterChanges(&Link);
        Value->FreeNotification(this);
    }
    LayoutChanged();
}

void TCustomcvTreeList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomcvContainer::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) SetImages(nullptr);
    if (AComponent == FStateImages) SetStateImages(nullptr);
}

// Rows --------------------------------------------------------------------------

int TCustomcvTreeList::GetPreviewLineCount(TcvTreeListNode* Node) {
    if (!(FOptionsEx & tloex_AutoPreviewLines)) return FPreviewLines;
    int a = 0;
    int b = 0;
    GetNodeIndents(Node, a, b);
    const int width = GetTotalBandsWidth() - (FShowGrid ? 1 : 0) - b;
    int height = 0;
    return cvTL::CalcTextLineCount(GetPreviewText(Node), width, FPreviewLineHeight, height, 0, false,
                                   FPreviewFont->Handle(), FPreviewLines);
}

int TCustomcvTreeList::GetRowHeight(TcvTreeListNode* Node, int LineHeight, bool IgnoreCache) {
    if (CanCacheRowHeight() && !IgnoreCache && Node && Node->CachedRowHeight != 0) return Node->CachedRowHeight;
    if (Node) Node->CachedLineCount = 0;
    const bool gridBoth = FShowGrid && FShowPreviewGrid;
    const int previewLines = IsPreviewShown() ? (Node ? GetPreviewLineCount(Node) : FPreviewLines) : 0;
    int height = FShowGrid ? std::max(FRowSeparatorLineWidth, 1) : 0;
    int lineCount = 0;
    if (Node && IsRowAutoHeight() && !IsPreviewShown() && FHeaderPanelRowCount == 1) {
        int raised = LineHeight;
        lineCount = GetRowLineCount(Node, raised);
        if (lineCount > 1 && raised == LineHeight) LineHeight += (lineCount - 1) * FTextHeight;
        if (raised > LineHeight) LineHeight = raised;
    }
    const bool groupNode = Node && IsGroupNode(Node);
    if (groupNode)
        height += LineHeight;
    else
        height += FHeaderPanelRowCount * LineHeight + previewLines * FPreviewLineHeight +
                  (previewLines >= 1 && gridBoth ? 1 : 0);
    if (!FShowGrid && Node && Node->HasChildren() && !ShowRootIndent()) height += 1;
    if (Node && previewLines >= 1 && !groupNode) height += 2;
    if (gridBoth) height -= 1;
    height += GetRowFooterCount(Node) * FRowFooterHeight;
    if (!IgnoreCache && Node) {
        Node->CachedRowHeight = height;
        Node->CachedLineCount = lineCount;
    }
    return height;
}

int TCustomcvTreeList::GetRowLineCount(TcvTreeListNode* Node, int& LineHeight) {
    const bool gridBoth = FShowGrid && FShowPreviewGrid;
    int lineCount = 1;
    int tallest = 0;
    ForEachShownColumn([&](int Band, int, int Position, int Column) {
        int width = GetColumnDisplayWidth(Column);
        if (Band == 0 && Position == 0) {
            // The first cell's text starts right of the node's tree part.
            int imagesLeft = 0;
            int textLeft = 0;
            GetNodeIndents(Node, imagesLeft, textLeft);
            width = std::max(width - textLeft, 0);
        }
        int count = 0;
        int height = FTextHeight;
        if (CalcCellLineCount(Node, Column, GetCellText(Node, Column), width, FMaxRowLineCount, false, gridBoth,
                              count, height)) {
            lineCount = std::max(lineCount, count);
            tallest = std::max(tallest, height);
        }
        return false;
    });
    if (tallest > 0) {
        tallest += (gridBoth ? 1 : 0) + (FOptionsEx & tloex_InvertSelect ? 2 : 0);
        LineHeight = std::max(LineHeight, tallest);
    }
    return lineCount;
}

std::vector<int> TCustomcvTreeList::FooterLevels(const TcvTreeListNode* Node) const {
    std::vector<int> levels;
    if (!IsRowFooterShown() || !Node || Node->Count() > 0 || !Node->Parent() || !Node->IsLast()) return levels;
    // Upwards while the node just left ends its parent's children.
    for (const TcvTreeListNode* ancestor = Node->Parent(); ancestor; ancestor = ancestor->Parent()) {
        if (IsGroupLevel(ancestor->Level())) levels.push_back(ancestor->Level());
        if (!ancestor->IsLast()) break;
    }
    return levels;
}

int TCustomcvTreeList::GetRowFooterCount(const TcvTreeListNode* Node) const {
    return int(FooterLevels(Node).size());
}

int TCustomcvTreeList::GetAncestorLevel(const TcvTreeListNode* Node, int N) const {
    const std::vector<int> levels = FooterLevels(Node);
    return N >= 0 && N < int(levels.size()) ? levels[N] : -1;
}

void TCustomcvTreeList::GetNodeIndents(const TcvTreeListNode* Node, int& A, int& B) const {
    const int level = Node->Level();
    const int indents = Node->HasChildren() || ShowRootIndent() ? level + 1 : level;
    A = indents * FLevelIndent - (TestViewFlags() ? 0 : FLevelIndent);
    B = A + (Node->StateIndex() != -1 ? FStateImageWidth : 0) + FImageWidth;
}

// Areas and drawing layout --------------------------------------------------------

TcvTreeListRectInfo TCustomcvTreeList::CalcRectInfo() const {
    const TRect client = ClientRect();
    const int left = client.Left;
    const int right = client.Right;
    const auto area = [](int l, int t, int r, int b) { return r > l && b > t ? TRect{l, t, r, b} : TRect{}; };
    TcvTreeListRectInfo info;
    int top = client.Top;
    info.GroupPanel = area(left, top, right, top + FGroupPanelHeight);
    top += FGroupPanelHeight;
    info.BandHeader = area(left + FIndicatorWidth, top, right, top + FBandHeaderHeight);
    info.BandIndicator = area(left, top, left + FIndicatorWidth, top + FBandHeaderHeight);
    top += FBandHeaderHeight;
    info.Header = area(left + FIndicatorWidth, top, right, top + FHeaderHeight);
    info.HeaderIndicator = area(left, top, left + FIndicatorWidth, top + FHeaderHeight);
    top += FHeaderHeight;
    info.NewItemRow = area(left, top, right, top + FNewItemRowHeight);
    top += FNewItemRowHeight;
    const int rowsBottom = std::max(top, client.Bottom - FFooterHeight - FFilterBarHeight);
    info.Rows = area(left + FIndicatorWidth, top, right, rowsBottom);
    info.RowsIndicator = area(left, top, left + FIndicatorWidth, rowsBottom);
    info.BelowRows = area(left, rowsBottom, right, client.Bottom);
    info.Footer = area(left, rowsBottom, right, rowsBottom + FFooterHeight);
    info.FilterBar = area(left, rowsBottom + FFooterHeight, right, rowsBottom + FFooterHeight + FFilterBarHeight);
    return info;
}

std::vector<int> TCustomcvTreeList::BandRowWidths(int Band, int Row, int BandWidth) const {
    std::vector<TcvColumnShareInput> columns;
    for (int position = 0; position < GetColumnCountInBandRow(Band, Row); ++position) {
        const int column = GetColumnAt(Band, Row, position);
        const bool sizable = CanColumnSizing(column);
        columns.push_back(
            {GetColumnWidth(column), sizable ? GetColumnMinWidth(column) : GetColumnWidth(column), sizable});
    }
    return ShareBandRowWidths(BandWidth, Band == 0 ? GetGroupIndentWidth() : 0, columns);
}

TcvTreeListDrawInfo TCustomcvTreeList::CalcDrawInfo() {
    TcvTreeListDrawInfo info;
    info.Areas = CalcRectInfo();
    const TRect client = ClientRect();
    const int left = client.Left + FIndicatorWidth;
    const int right = client.Right;
    const int fixedLeft = GetFixedLeftBandIndex();
    const int fixedRight = GetFixedRightBandIndex();
    const int totalWidth = GetTotalBandsWidth();
    const auto shownWidth = [this](int band) { return GetBandWidth(band) + (band == 0 ? GetGroupIndentWidth() : 0); };
    // Fixed bands stay at the edges; the others scroll between them.
    int scrollLeft = 0;
    int scrollRight = 0;
    int fixedRightLeft = 0;
    ScrollingBandsSpan(scrollLeft, scrollRight, fixedRightLeft);
    const int bandTop = client.Top + FGroupPanelHeight;
    int x = scrollLeft - FLeftCoord;
    for (int band = 0; band < GetBandCount(); ++band) {
        TcvTreeListBandInfo entry;
        entry.Band = band;
        const int width = shownWidth(band);
        int bandLeft = x;
        TRect clip{scrollLeft, bandTop, scrollRight, bandTop + FBandHeaderHeight};
        if (band == fixedLeft) {
            bandLeft = left;
            clip.Left = left;
            clip.Right = right;
        } else if (band == fixedRight) {
            bandLeft = fixedRightLeft;
            clip.Left = left;
            clip.Right = right;
        } else {
            x += width;
        }
        entry.Bounds = {bandLeft, bandTop, bandLeft + width, bandTop + FBandHeaderHeight};
        entry.Visible = {std::max(entry.Bounds.Left, clip.Left), entry.Bounds.Top,
                         std::min(entry.Bounds.Right, clip.Right), entry.Bounds.Bottom};
        if (entry.Visible.Right < entry.Visible.Left) entry.Visible.Right = entry.Visible.Left;
        info.Bands.push_back(entry);

        const int headerTop = bandTop + FBandHeaderHeight;
        const int headerBottom = headerTop + FHeaderHeight;
        const int rowCount = GetBandRowCountOf(band);
        // Header space no cell covers is painted as a separator, never left stale.
        if (rowCount == 0 && FHeaderHeight > 0)
            info.HeaderSeparators.push_back(
                {band, {entry.Visible.Left, headerTop, entry.Visible.Right, headerBottom}});
        for (int row = 0; row < rowCount; ++row) {
            const std::vector<int> widths = BandRowWidths(band, row, width);
            int cellLeft = bandLeft;
            for (int position = 0; position < int(widths.size()); ++position) {
                TcvTreeListHeaderCellInfo cell;
                cell.Column = GetColumnAt(band, row, position);
                cell.Band = band;
                cell.BandRow = row;
                cell.Position = position;
                cell.LastInRow = position + 1 == int(widths.size());
                int span = 1;
                if (row == rowCount - 1) {
                    const int maxLines = GetColumnHeaderMaxLineCount(cell.Column);
                    span = maxLines == 0 ? FHeaderPanelRowCount - row : std::min(maxLines, FHeaderPanelRowCount - row);
                    span = std::max(span, 1);
                }
                const int top = headerTop + row * FHeaderRowHeight;
                cell.Bounds = {cellLeft, top, cellLeft + widths[position], top + span * FHeaderRowHeight};
                cell.Visible = {std::max(cell.Bounds.Left, entry.Visible.Left), cell.Bounds.Top,
                                std::min(cell.Bounds.Right, entry.Visible.Right), cell.Bounds.Bottom};
                if (cell.Visible.Right < cell.Visible.Left) cell.Visible.Right = cell.Visible.Left;
                if (cell.Bounds.Bottom < headerBottom)
                    cell.Separator = {cell.Visible.Left, cell.Bounds.Bottom, cell.Visible.Right, headerBottom};
                info.HeaderCells.push_back(cell);
                cellLeft += widths[position];
            }
        }
    }

    const TRect& rows = info.Areas.Rows;
    info.ColumnsRight = rows.Left + totalWidth - (fixedLeft < 0 ? FLeftCoord : 0);
    if (fixedRight >= 0) info.ColumnsRight = std::min(info.ColumnsRight, rows.Right);
    int top = rows.Top;
    for (TcvTreeListNode* node = FTopNode; node && top < rows.Bottom; node = GetNextVisibleNode(node)) {
        TcvTreeListRowInfo row;
        row.Node = node;
        row.Top = top;
        row.GroupNode = IsGroupNode(node);
        row.Selected = node->Selected();
        row.Height = GetRowHeight(node, FDefaultRowHeight, false);
        row.FooterCount = GetRowFooterCount(node);
        row.FooterHeight = row.FooterCount * FRowFooterHeight;
        row.IndicatorKind = GetIndicatorKind(node);
        row.PreviewLineCount = IsPreviewShown() ? GetPreviewLineCount(node) : 0;
        row.LineCount = IsRowAutoHeight() ? node->CachedLineCount : -1;
        info.Rows.push_back(row);
        top += row.Height;
    }
    info.LastRowBottom = top < rows.Bottom ? top : -1;
    return info;
}

// Columns ------------------------------------------------------------------------

bool TCustomcvTreeList::ForEachShownColumn(const std::function<bool(int, int, int, int)>& Visit) const {
    for (int band = 0; band < GetBandCount(); ++band)
        for (int row = 0; row < GetBandRowCountOf(band); ++row)
            for (int position = 0; position < GetColumnCountInBandRow(band, row); ++position)
                if (Visit(band, row, position, GetColumnAt(band, row, position))) return true;
    return false;
}

int TCustomcvTreeList::GetVisibleColumnCount() const {
    int count = 0;
    ForEachShownColumn([&](int, int, int, int) { return ++count, false; });
    return count;
}

int TCustomcvTreeList::GetAbsoluteIndex(int VisibleIndex) const {
    int index = -1;
    int count = 0;
    ForEachShownColumn([&](int, int, int, int column) {
        if (count++ != VisibleIndex) return false;
        index = column;
        return true;
    });
    return index;
}

int TCustomcvTreeList::GetVisibleIndex(int AbsoluteIndex) const {
    int count = 0;
    return ForEachShownColumn([&](int, int, int, int column) { return column == AbsoluteIndex || (++count, false); })
               ? count
               : 0;
}

int TCustomcvTreeList::GetFocusedAbsoluteIndex() const {
    if (FFocusedAbsoluteIndex < 0) FFocusedAbsoluteIndex = GetAbsoluteIndex(GetFocusedColumn());
    return FFocusedAbsoluteIndex;
}

int TCustomcvTreeList::GetScrollableBandsWidth() const {
    int width = GetTotalBandsWidth();
    const int fixedLeft = GetFixedLeftBandIndex();
    const int fixedRight = GetFixedRightBandIndex();
    if (fixedLeft >= 0) width -= GetBandWidth(fixedLeft) + GetGroupIndentWidth();
    if (fixedRight >= 0) width -= GetBandWidth(fixedRight);
    return width;
}

int TCustomcvTreeList::GetBandLeft(int Band) const {
    const int count = GetBandCount();
    if (count < 2 || Band < 0 || Band >= count || Band == GetFixedLeftBandIndex() || Band == GetFixedRightBandIndex())
        return 0;
    int left = 0;
    for (int band = 0; band < Band; ++band)
        if (band != GetFixedLeftBandIndex()) left += GetBandWidth(band) + (band == 0 ? GetGroupIndentWidth() : 0);
    return left;
}

int TCustomcvTreeList::GetColumnDisplayWidth(int Column) const {
    int width = 0;
    ForEachShownColumn([&](int band, int row, int position, int column) {
        if (column != Column) return false;
        width = BandRowWidths(band, row, GetBandWidth(band) + (band == 0 ? GetGroupIndentWidth() : 0))[position];
        return true;
    });
    return width;
}

// Cell rectangles ------------------------------------------------------------------

const TcvTreeListHeaderCellInfo* TCustomcvTreeList::FindHeaderCell(const TcvTreeListDrawInfo& Info, int Column) const {
    for (const TcvTreeListHeaderCellInfo& cell : Info.HeaderCells)
        if (cell.Column == Column) return &cell;
    return nullptr;
}

const TcvTreeListRowInfo* TCustomcvTreeList::FindRow(const TcvTreeListDrawInfo& Info,
                                                     const TcvTreeListNode* Node) const {
    for (const TcvTreeListRowInfo& row : Info.Rows)
        if (row.Node == Node) return &row;
    return nullptr;
}

TRect TCustomcvTreeList::GetCellRect(TcvTreeListNode* Node, int VisibleColumn) {
    constexpr TRect NoCell{-1, -1, -1, -1};
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const TcvTreeListHeaderCellInfo* cell = FindHeaderCell(info, GetAbsoluteIndex(VisibleColumn));
    const TcvTreeListRowInfo* row = FindRow(info, Node);
    if (!cell || !row) return NoCell;
    TRect rect{cell->Bounds.Left, 0, cell->Bounds.Right, 0};
    if (cell->Band == 0) {
        int imagesLeft = 0;
        int textLeft = 0;
        GetNodeIndents(Node, imagesLeft, textLeft);
        rect.Left = std::max(rect.Left, info.Bands[0].Bounds.Left + textLeft);
    }
    const int span = FHeaderRowHeight > 0 ? std::max(cell->Bounds.Height() / FHeaderRowHeight, 1) : 1;
    rect.Top =
        row->Top + FDefaultRowHeight * cell->BandRow + (!FShowGrid && Node->HasChildren() && !ShowRootIndent() ? 1 : 0);
    rect.Bottom = rect.Top + FDefaultRowHeight * span - (FShowGrid && FShowPreviewGrid ? 1 : 0);
    if (IsRowAutoHeight()) rect.Bottom = row->Top + row->Height - row->FooterHeight;
    return rect;
}

TRect TCustomcvTreeList::GetCellEditRect(TcvTreeListNode* Node, int VisibleColumn) {
    TRect rect = GetCellRect(Node, VisibleColumn);
    if (rect.Left == -1 && rect.Right == -1) return rect;
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const TcvTreeListHeaderCellInfo& cell = *FindHeaderCell(info, GetAbsoluteIndex(VisibleColumn));
    const int lastBand = GetBandCount() - 1;
    const int fixedLeft = GetFixedLeftBandIndex();
    const int fixedRight = GetFixedRightBandIndex();
    const bool invertSelect = (FOptionsEx & tloex_InvertSelect) != 0;
    if (!(FShowGrid && FShowPreviewGrid)) {
        if (cell.LastInRow && cell.Band == lastBand && (!invertSelect || FShowGrid)) rect.Right -= 1;
    } else if (!(cell.LastInRow && (cell.Band == fixedLeft || (fixedRight >= 0 && cell.Band == fixedRight - 1)))) {
        rect.Right -= 1;
    }
    if (invertSelect) {
        rect.Top += 1;
        rect.Bottom -= 1;
        if (cell.Band == 0 && cell.Position == 0) rect.Left += 1;
        if (cell.Band == lastBand && cell.LastInRow && cell.BandRow == GetBandRowCountOf(cell.Band) - 1)
            rect.Right -= 1;
    }
    return rect;
}

TRect TCustomcvTreeList::GetRowFooterRect(const TcvTreeListNode* Node, int Index, const TcvTreeListDrawInfo& Info,
                                          int RightInset, int Top) const {
    const TRect& rows = Info.Areas.Rows;
    const int level = GetAncestorLevel(Node, Index);
    TRect rect;
    rect.Left = rows.Left + (level >= 0 ? (level + 1) * FLevelIndent : 0);
    rect.Top = Top + Index * FRowFooterHeight;
    rect.Bottom = rect.Top + FRowFooterHeight;
    rect.Right = rows.Left + GetTotalBandsWidth() - RightInset;
    if (GetFixedLeftBandIndex() < 0) rect.Left -= FLeftCoord;
    rect.Right -= FLeftCoord;
    const int fixedRight = GetFixedRightBandIndex();
    if (fixedRight >= 0 && fixedRight < int(Info.Bands.size())) {
        rect.Right = std::min(rect.Right, Info.Bands[fixedRight].Bounds.Left - RightInset);
        rect.Left = std::min(rect.Left, rect.Right);
    }
    rect.Left = std::max(rect.Left, rows.Left);
    return rect;
}

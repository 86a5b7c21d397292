// Band widths: each band's minimum and natural width, the total the bands
// take, and with auto-width the available area shared out among them;
// the widths shared out when a band or a column is sized.
#include "treelist/TreeList.h"

#include "treelist/TreeListBands.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

#include "platform/ui/Gdi.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The widest of a band's rows, each row the sum of its columns' Measure.
template <class Tree, class Measure> int WidestBandRow(const Tree& T, int Band, Measure ColumnWidth) {
    int widest = 0;
    for (int row = 0; row < T.GetBandRowCountOf(Band); ++row) {
        int sum = 0;
        for (int position = 0; position < T.GetColumnCountInBandRow(Band, row); ++position)
            sum += ColumnWidth(T.GetColumnAt(Band, row, position));
        widest = std::max(widest, sum);
    }
    return widest;
}

} // namespace

int TCustomcvTreeList::GetBandMinimumWidth(int Band) const {
    const int own = CanBandSizing(Band) ? GetBandMinWidth(Band) : GetVisibleBandWidth(Band);
    return std::max(own, WidestBandRow(*this, Band, [this](int column) { return GetColumnMinWidth(column); }));
}

int TCustomcvTreeList::GetBandNaturalWidth(int Band) const {
    int width = 0;
    if (FOptionsEx & tloex_ColumnEdgeSizesBand)
        width = WidestBandRow(*this, Band, [this](int column) { return GetColumnWidth(column); });
    if (width == 0) width = GetVisibleBandWidth(Band);
    return std::max(width, GetBandMinimumWidth(Band));
}

int TCustomcvTreeList::GetTotalBandsWidth() const {
    const int count = GetBandCount();
    int total = GetGroupIndentWidth();
    if (!IsAutoWidth()) {
        for (int band = 0; band < count; ++band)
            total += GetBandNaturalWidth(band);
        return total;
    }
    bool anySizable = false;
    for (int band = 0; band < count; ++band) {
        total += GetBandMinimumWidth(band);
        anySizable = anySizable || CanBandSizing(band);
    }
    // The bands never shrink below their minimums: the area then scrolls.
    const int available = ClientRect().Width() - FIndicatorWidth;
    return anySizable ? std::max(available, total) : total;
}

int TCustomcvTreeList::GetBandWidth(int Band) const {
    const int count = GetBandCount();
    if (Band < 0 || Band >= count) return 0;
    if (!IsAutoWidth()) return GetBandNaturalWidth(Band);
    const int space = GetTotalBandsWidth() - GetGroupIndentWidth();
    if (Band == count - 1) {
        // The last band takes what the others leave, so the sum is exact.
        int others = 0;
        for (int band = 0; band < Band; ++band)
            others += GetBandWidth(band);
        return std::max(space - others, 0);
    }
    const int natural = GetBandNaturalWidth(Band);
    int sumNatural = 0;
    int sumMinimum = 0;
    for (int band = 0; band < count; ++band) {
        sumNatural += GetBandNaturalWidth(band);
        sumMinimum += GetBandMinimumWidth(band);
    }
    // Widths that sum to 0 give no share.
    if (!CanBandSizing(Band) || sumNatural == 0) return natural;
    // The natural widths of the sizable bands whose share stays above their
    // minimum: only those share what the minimums leave.
    int aboveMinimum = 0;
    for (int band = 0; band < count; ++band) {
        const int width = GetBandNaturalWidth(band);
        if (CanBandSizing(band) && MulDiv(space, width, sumNatural) > GetBandMinimumWidth(band)) aboveMinimum += width;
    }
    const int share = MulDiv(space, natural, sumNatural);
    if (aboveMinimum == sumNatural) return share;
    const int minimum = GetBandMinimumWidth(Band);
    if (share <= minimum) return minimum;
    return MulDiv(space - sumMinimum, natural, aboveMinimum) + minimum;
}

namespace {

// Widths[Index] becomes Width; the neighbours that make room (those right
// of it, or left of it for the last) shrink by its growth in proportion,
// the last of them taking the remainder, never below 0. Returns the
// neighbours' old and new sums; {0, 0} when they had nothing to give.
std::pair<int, int> ResizeAmongNeighbours(std::vector<int>& Widths, int Index, int Width) {
    const int count = int(Widths.size());
    const int first = Index + 1 < count ? Index + 1 : 0;
    const int last = Index + 1 < count ? count - 1 : count - 2;
    const int growth = Width - Widths[size_t(Index)];
    Widths[size_t(Index)] = Width;
    int sum = 0;
    for (int i = first; i <= last; ++i)
        sum += Widths[size_t(i)];
    if (sum <= 0) return {0, 0};
    const int target = std::max(sum - growth, 0);
    int given = 0;
    for (int i = first; i < last; ++i)
        given += Widths[size_t(i)] = MulDiv(Widths[size_t(i)], target, sum);
    Widths[size_t(last)] = target - given;
    return {sum, target};
}

} // namespace

void TCustomcvTreeList::SizeBandAutoWidth(int Band, int Width) {
    const int count = GetBandCount();
    if (Band < 0 || Band >= count) return;
    if (Band == 0) Width -= GetGroupIndentWidth();
    std::vector<int> widths(size_t(count), 0);
    for (int band = 0; band < count; ++band)
        widths[size_t(band)] = GetBandWidth(band);
    // Read before anything is sized: each sizing changes the others' shares.
    const std::vector<int> oldWidths = widths;
    const bool columnsFollow = (FOptionsEx & tloex_ColumnEdgeSizesBand) != 0;
    std::vector<std::vector<std::pair<int, int>>> columns;
    for (int band = 0; columnsFollow && band < count; ++band)
        columns.push_back(BandColumnWidths(band));
    const auto [oldSum, newSum] = ResizeAmongNeighbours(widths, Band, Width);
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (oldSum > 0) ScaleBandWidths(newSum, oldSum);
    for (int band = 0; band < count; ++band) {
        if (columnsFollow) {
            ClearLayoutCache();
            SizeBandColumnsWidth(band, columns[size_t(band)], oldWidths[size_t(band)], widths[size_t(band)]);
        } else {
            SizeBandWidth(band, widths[size_t(band)]);
        }
    }
}

std::vector<std::pair<int, int>> TCustomcvTreeList::BandColumnWidths(int Band) const {
    const int indent = Band == 0 ? GetGroupIndentWidth() : 0;
    std::vector<std::pair<int, int>> columns;
    for (int row = 0; row < GetBandRowCountOf(Band); ++row)
        for (int position = 0; position < GetColumnCountInBandRow(Band, row); ++position) {
            const int column = GetColumnAt(Band, row, position);
            columns.emplace_back(column, GetColumnDisplayWidth(column) - (position == 0 ? indent : 0));
        }
    return columns;
}

void TCustomcvTreeList::SizeBandColumnsWidth(int Band, const std::vector<std::pair<int, int>>& Columns, int OldWidth,
                                             int Width) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (OldWidth > 0) {
        for (const auto& [column, width] : Columns)
            SizeColumnWidth(column, MulDiv(width, Width, OldWidth));
        ScaleColumnWidths(Band, Width, OldWidth);
    }
    SizeBandWidth(Band, Width);
}

void TCustomcvTreeList::RecalcColumnWidths() {
    // Everything is read before anything is sized: each sizing changes what
    // the others show.
    std::vector<int> bands;
    std::vector<std::pair<int, int>> columns;
    for (int band = 0; band < GetBandCount(); ++band) {
        bands.push_back(GetBandWidth(band));
        for (const auto& column : BandColumnWidths(band))
            columns.push_back(column);
    }
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (int band = 0; band < int(bands.size()); ++band)
        SizeBandWidth(band, bands[size_t(band)]);
    for (const auto& [column, width] : columns)
        SizeColumnWidth(column, width);
}

bool TCustomcvTreeList::FindShownColumn(int Column, int& Band, int& Row, int& Position) const {
    return ForEachShownColumn([&](int b, int r, int p, int column) {
        if (column != Column) return false;
        Band = b, Row = r, Position = p;
        return true;
    });
}

void TCustomcvTreeList::SizeColumnAutoWidth(int Column, int Width) {
    int band = -1;
    int row = 0;
    int position = 0;
    if (!FindShownColumn(Column, band, row, position)) return;
    const int indent = band == 0 ? GetGroupIndentWidth() : 0;
    if (position == 0) Width -= indent;
    const int count = GetColumnCountInBandRow(band, row);
    const int bandWidth = GetBandWidth(band);
    std::vector<int> widths(size_t(count), 0);
    for (int p = 0; p < count; ++p)
        widths[size_t(p)] = GetColumnDisplayWidth(GetColumnAt(band, row, p)) - (p == 0 ? indent : 0);
    const auto [oldSum, newSum] = ResizeAmongNeighbours(widths, position, Width);
    TUpdateGuard<TCustomcvTreeList> update(this);
    ClearLayoutCache();
    if (oldSum > 0) ScaleColumnWidths(band, newSum, oldSum);
    int rowWidth = 0;
    for (int p = 0; p < count; ++p) {
        SizeColumnWidth(GetColumnAt(band, row, p), widths[size_t(p)]);
        rowWidth += widths[size_t(p)];
    }
    // The band's other rows follow, so every row keeps the band's width.
    if (!(FOptionsEx & tloex_ColumnEdgeSizesBand) || bandWidth <= 0) return;
    for (int other = 0; other < GetBandRowCountOf(band); ++other) {
        if (other == row) continue;
        for (int p = 0; p < GetColumnCountInBandRow(band, other); ++p) {
            const int column = GetColumnAt(band, other, p);
            SizeColumnWidth(column, MulDiv(GetColumnWidth(column), rowWidth, bandWidth));
        }
    }
}

void TCustomcvTreeList::SizeColumnInSingleRowBand(int Column, int Width) {
    int band = -1;
    int sizedRow = 0;
    int sizedPosition = 0;
    if (!FindShownColumn(Column, band, sizedRow, sizedPosition)) return;
    const int indent = band == 0 ? GetGroupIndentWidth() : 0;
    const int bandWidth = GetBandWidth(band);
    // The band grows or shrinks by what the column does; every row keeps
    // filling it, its last column taking what the others leave.
    const int newBandWidth = Width - GetColumnDisplayWidth(Column) + bandWidth;
    std::vector<std::pair<int, int>> widths;
    for (int row = 0; row < GetBandRowCountOf(band); ++row) {
        const int count = GetColumnCountInBandRow(band, row);
        int given = 0;
        for (int position = 0; position < count; ++position) {
            const int column = GetColumnAt(band, row, position);
            const int shown = GetColumnDisplayWidth(column) - (position == 0 ? indent : 0);
            int width = shown;
            if (position == count - 1)
                width = newBandWidth - indent - given;
            else if (row == sizedRow && position == sizedPosition)
                width = Width - (position == 0 ? indent : 0);
            else if (row != sizedRow && bandWidth > 0)
                width = MulDiv(shown, newBandWidth, bandWidth);
            widths.emplace_back(column, width);
            given += width;
        }
    }
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (const auto& [column, width] : widths)
        SizeColumnWidth(column, width);
    if (bandWidth > 0) ScaleColumnWidths(band, newBandWidth, bandWidth);
}

void TCustomcvTreeListControl::ScaleBandWidths(int Numerator, int Denominator) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (int i = 0; i < Bands()->Count(); ++i) {
        TcvTreeListBand* band = Bands()->Items(i);
        if (!band->Visible() && band->Sizing()) band->SetWidth(MulDiv(band->Width(), Numerator, Denominator));
    }
}

void TCustomcvTreeListControl::ScaleColumnWidths(int Band, int Numerator, int Denominator) {
    const int bandIndex = GetBandIndexFromVisible(Band);
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvTreeListColumn* column = Columns(i);
        if (column->BandIndex() == bandIndex && !column->Visible() && column->Sizing())
            column->SetWidth(MulDiv(column->Width(), Numerator, Denominator));
    }
}

// Band widths: each band's minimum and natural width, the total the bands
// take, and with auto-width the available area shared out among them.
#include "treelist/TreeList.h"

#include "platform/ui/Gdi.h"

#include <algorithm>
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

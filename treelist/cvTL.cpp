// The tree list unit's free routines; text is measured on the screen DC.
#include "treelist/cvTL.h"

#include "editors/cvUtils.h"
#include "platform/ui/Painting.h"
#include "treelist/TreeList.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListNode.h"

#include <algorithm>

namespace {

// A DC with Font selected for measuring, released at the end of the scope.
class TMeasuringDC {
public:
    explicit TMeasuringDC(HFONT Font) : FDC(GetDC(nullptr)), FOldFont(SelectObject(FDC, Font)) {}
    ~TMeasuringDC() {
        SelectObject(FDC, FOldFont);
        ReleaseDC(nullptr, FDC);
    }
    TMeasuringDC(const TMeasuringDC&) = delete;
    TMeasuringDC& operator=(const TMeasuringDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HDC FDC;
    HGDIOBJ FOldFont;
};

SIZE TextSizeIn(HDC DC, const char* Text) {
    SIZE size{};
    GetTextExtentPoint32(DC, Text, -1, &size);
    return size;
}

constexpr UINT MeasureWrappedFormat = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX; // 0xC50
// The strip ExtTextOut leaves free beside the text.
constexpr int TextStrip = 2;

// The order of two key values: the total variant order, or for two strings
// with Locale the locale's comparison (case-insensitive by the owner's option).
int CompareKeyValues(const Variant& A, const Variant& B, const TCustomcvTreeList* Tree, bool Locale) {
    if (Locale && VarType(A) == varString && VarType(B) == varString) {
        const int order = (Tree->Options() & tlo_CaseInsensitive) ? AnsiCompareText(VarToStr(A), VarToStr(B))
                                                                  : AnsiCompareStr(VarToStr(A), VarToStr(B));
        return (order > 0) - (order < 0);
    }
    return VarCompare(A, B);
}

// Equal keys go on to the next; the first difference decides, reversed for a
// descending key; equal chains end in the owner's tie-break.
int CompareSortItems(void* Item1, void* Item2, bool Locale) {
    const auto* a = static_cast<const cvTL::TcvSortItem*>(Item1);
    const auto* b = static_cast<const cvTL::TcvSortItem*>(Item2);
    TCustomcvTreeList* tree = a->Node->Owner();
    for (const cvTL::TcvSortItem *x = a, *y = b; x && y; x = x->Next.get(), y = y->Next.get()) {
        const int order = CompareKeyValues(x->Value, y->Value, tree, Locale);
        if (order != 0) return x->Descending ? -order : order;
    }
    return tree->CompareSelectionItems(a->Node, b->Node);
}

} // namespace

namespace cvTL {

int CompareNodesByEvent(void* Item1, void* Item2) {
    const auto* a = static_cast<const TcvSortItem*>(Item1);
    const auto* b = static_cast<const TcvSortItem*>(Item2);
    int compare = 0;
    Fire(a->Node->Owner()->OnCompare, a->Node->Owner(), a->Node, b->Node, compare);
    return compare;
}

int CompareNodesBySortKeys(void* Item1, void* Item2) {
    return CompareSortItems(Item1, Item2, false);
}

int CompareNodesBySortKeysText(void* Item1, void* Item2) {
    return CompareSortItems(Item1, Item2, static_cast<const TcvSortItem*>(Item1)->Node->Owner()->IsAnsiSort());
}

int CompareSortedOrder(void* Item1, void* Item2) {
    // Compared, not subtracted: a stored order may be any integer.
    const int a = static_cast<const TcvTreeListColumn*>(Item1)->LoadedSortOrder();
    const int b = static_cast<const TcvTreeListColumn*>(Item2)->LoadedSortOrder();
    return (a > b) - (a < b);
}

void RaiseTreeListError(const std::string& Message) {
    throw EInvalidcvTreeListOperation(Message);
}

int FontLineHeight(HFONT Font) {
    TMeasuringDC measuring(Font);
    return TextSizeIn(measuring.DC(), "Wg").cy;
}

int FontTextWidth(HFONT Font, const char* Text) {
    TMeasuringDC measuring(Font);
    return TextSizeIn(measuring.DC(), Text).cx;
}

int CalcTextLineCount(const std::string& Text, int BoundsWidth, int LineHeight, int& TextHeight, int GridFlag,
                      bool InflateFlag, HFONT Font, int MaxLineCount) {
    if (Text.empty() || MaxLineCount == 0) return 0;
    TRect bounds = Bounds(0, 0, BoundsWidth - GridFlag, LineHeight);
    InflateRect(bounds, -2, InflateFlag ? -2 : -1);
    TMeasuringDC measuring(Font);
    TextHeight = DrawText(measuring.DC(), Text, &bounds, MeasureWrappedFormat);
    if (LineHeight == 0) LineHeight = TextSizeIn(measuring.DC(), "Wg").cy;
    int count = LineHeight > 0 ? TextHeight / LineHeight : 0;
    if (MaxLineCount != -1 && count > MaxLineCount) {
        count = MaxLineCount;
        TextHeight = count * LineHeight;
    }
    TextHeight += RowTextMargin;
    return count;
}

bool IsDegenerateRect(const TRect& R) {
    return R.Left == R.Right && R.Top == R.Bottom;
}

bool SameTextIgnoreCase(const std::string& S1, const std::string& S2) {
    return AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

UINT CellTextFormat(const TTextCellArgs& Args) {
    static constexpr UINT SingleLine = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX; // 0x864
    static constexpr UINT MultiLine = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;                // 0x850
    static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return (Args.MultiLine ? MultiLine : SingleLine) | Alignments[Args.Alignment] |
           (Args.EndEllipsis ? DT_END_ELLIPSIS : 0u);
}

void DrawCellText(HDC DC, const TRect& R, const std::string& Text, const TTextCellArgs& Args) {
    if (!Args.NoFill) FillRect(DC, &R, Args.Brush);
    TRect textRect = R;
    InflateRect(textRect, -TextStrip, Args.TopMargin2 ? -2 : -1);
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    DrawText(DC, Text.c_str(), Args.TextLength, &textRect, CellTextFormat(Args));
    SetBkMode(DC, oldMode);
}

bool DrawsWithExtTextOut(HDC DC, const TTextCellArgs& Args) {
    if (Args.NoFill) return true;
    return !Args.MultiLine && !Args.EndEllipsis && GetNearestColor(DC, Args.Color) == Args.Color;
}

void DrawTextCell(HDC DC, const TRect& R, const std::string& Text, const TTextCellArgs& Args, TBitmap* WorkBitmap) {
    const int length = Args.TextLength < 0 ? int(Text.size()) : Args.TextLength;
    if (!DrawsWithExtTextOut(DC, Args)) {
        if (!Args.UseBitmap || !WorkBitmap) {
            DrawCellText(DC, R, Text, Args);
            return;
        }
        cvUtils::EnsureGraphicSize(WorkBitmap, R.Width(), R.Height());
        HDC work = WorkBitmap->Canvas()->Handle();
        const HGDIOBJ oldFont = SelectObject(work, GetCurrentObject(DC, OBJ_FONT));
        SetTextColor(work, GetTextColor(DC));
        DrawCellText(work, {0, 0, R.Width(), R.Height()}, Text, Args);
        BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), work, 0, 0, SRCCOPY);
        SelectObject(work, oldFont);
        return;
    }
    TRect area = R;
    area.Right -= TextStrip;
    if (Args.Alignment != taLeftJustify) area.Left += TextStrip;
    SIZE size{};
    GetTextExtentPoint32(DC, Text.c_str(), length, &size);
    int x = R.Left + TextStrip;
    if (Args.Alignment == taRightJustify) x = area.Right - size.cx;
    if (Args.Alignment == taCenter) x = (area.Left + area.Right - size.cx) / 2;
    const int y = R.Top + (Args.TopMargin2 ? 2 : 1);
    if (Args.NoFill) {
        const int oldMode = SetBkMode(DC, OPAQUE);
        ExtTextOut(DC, x, y, ETO_CLIPPED, &area, Text.c_str(), length, nullptr);
        SetBkMode(DC, oldMode);
        return;
    }
    const COLORREF oldBk = SetBkColor(DC, Args.Color);
    ExtTextOut(DC, x, y, ETO_CLIPPED | ETO_OPAQUE, &area, Text.c_str(), length, nullptr);
    SetBkColor(DC, oldBk);
    const TRect right{area.Right, R.Top, R.Right, R.Bottom};
    FillRect(DC, &right, Args.Brush);
    if (area.Left > R.Left) {
        const TRect left{R.Left, R.Top, area.Left, R.Bottom};
        FillRect(DC, &left, Args.Brush);
    }
}

void DrawFocusRectangle(HDC DC, const TRect& R) {
    const COLORREF oldBk = SetBkColor(DC, 0x000000);
    const COLORREF oldText = SetTextColor(DC, 0xFFFFFF);
    DrawFocusRect(DC, &R);
    SetBkColor(DC, oldBk);
    SetTextColor(DC, oldText);
}

void InvertFrame(HDC DC, const TRect& R) {
    if (R.Width() <= 0 || R.Height() <= 0) return;
    PatBlt(DC, R.Left, R.Top, R.Width(), 1, DSTINVERT);
    if (R.Height() == 1) return;
    PatBlt(DC, R.Right - 1, R.Top + 1, 1, R.Height() - 2, DSTINVERT);
    if (R.Width() > 1) PatBlt(DC, R.Left, R.Top + 1, 1, R.Height() - 2, DSTINVERT);
    PatBlt(DC, R.Left, R.Bottom - 1, R.Width(), 1, DSTINVERT);
}

TcvEditButtonViewStyle ButtonStyleOf(TcvLookAndFeel Look) {
    switch (Look) {
    case lfFlat:
        return btsFlat;
    case lfUltraFlat:
        return btsHotFlat;
    default:
        return bts3D;
    }
}

int CompareNodePositions(void* Item1, void* Item2) {
    auto* node1 = static_cast<TcvTreeListNode*>(Item1);
    auto* node2 = static_cast<TcvTreeListNode*>(Item2);
    if (node1 == node2) return 0;
    // An ancestor comes before its subtree.
    if (node2->HasAsParent(node1)) return -1;
    if (node1->HasAsParent(node2)) return 1;
    int level1 = node1->Level();
    int level2 = node2->Level();
    for (; level1 > level2; --level1)
        node1 = node1->Parent();
    for (; level2 > level1; --level2)
        node2 = node2->Parent();
    while (node1->Parent() != node2->Parent()) {
        node1 = node1->Parent();
        node2 = node2->Parent();
    }
    return node1->Index() - node2->Index();
}

int ComparePointers(void* Item1, void* Item2) {
    const auto a = reinterpret_cast<uintptr_t>(Item1);
    const auto b = reinterpret_cast<uintptr_t>(Item2);
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace cvTL

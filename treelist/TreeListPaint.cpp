// The tree list's paint: each paint lays out the whole client area again,
// makes its brushes once, and paints the areas in a fixed order, each only
// where the paint clip reaches it; the edge areas leave the clip once
// painted, so the rows painted last never cover them.
#include "treelist/TreeListPainter.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Colors.h"

namespace {

constexpr COLORREF UltraFlatShadow = 0xA0A0A0; // RGB 160,160,160
constexpr TColor DefaultGridLineColor = clBtnShadow;

} // namespace

// The tree list's own answers ------------------------------------------------------

TColor TCustomcvTreeList::GetGridLineColor() const {
    return FGridLineColor == clNone ? DefaultGridLineColor : FGridLineColor;
}

TAlignment TCustomcvTreeList::GetFooterCellAlignment(const TcvTreeListNode* Node, int Column, int FooterIndex) const {
    (void)Node, (void)FooterIndex;
    return GetColumnAlignment(Column);
}

std::string TCustomcvTreeList::GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const {
    (void)Node, (void)Column, (void)FooterIndex;
    return {};
}

void TCustomcvTreeList::DrawGroupPanel(TCanvas*, const TRect&, HBRUSH, HBRUSH) {}

void TCustomcvTreeList::SetSearch(int Column, const std::string& Text) {
    FSearching = true;
    FSearchColumn = Column;
    FSearchText = Text;
}

void TCustomcvTreeList::Paint() {
    HideDragFeedback();
    const TScopeGuard showFeedback([this] { ShowDragFeedback(); });
    TcvTreeListPainter painter(*this);
    painter.PaintAreas();
}

// Per-paint state -----------------------------------------------------------------

TPaintBrush::TPaintBrush(TColor Color) : FHandle(CreateSolidBrush(ColorToRGB(Color))) {}

TPaintBrush::~TPaintBrush() {
    Reset(nullptr);
}

void TPaintBrush::Reset(HBRUSH Handle) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = Handle;
}

TcvTreeListPainter::TcvTreeListPainter(TCustomcvTreeList& Tree)
    : T(Tree), Canvas(Tree.Canvas()), DC(Tree.Canvas()->Handle()), Info(Tree.CalcDrawInfo()),
      Focused(Tree.IsFocused()), BandBrush(Tree.BandColor()), HeaderBrush(Tree.HeaderColor()),
      GroupNodeBrush(Tree.GroupNodeColor()), ColorBrush(Tree.Color()),
      ShadowBrush(ShadowColor()),
      HighlightBrush(Tree.HighlightColor()), TreeLineBrush(Tree.TreeLineColor()),
      HideSelectionBrush(Tree.HideSelectionColor()), RowFooterBrush(Tree.RowFooterColor()),
      FixedBandLineBrush(Tree.FixedBandLineColor()) {
    T.FPaintBitmap = std::make_unique<TBitmap>();
    // Only columns of a colour of their own get a brush.
    const COLORREF colour = ColorToRGB(T.Color());
    ColumnBrushes.reserve(Info.HeaderCells.size());
    for (const TcvTreeListHeaderCellInfo& cell : Info.HeaderCells) {
        const TColor columnColour = T.GetColumnColor(cell.Column);
        ColumnBrushes.push_back({columnColour, ColorToRGB(columnColour) != colour ? TPaintBrush(columnColour)
                                                                                  : TPaintBrush()});
    }
}

TcvTreeListPainter::~TcvTreeListPainter() {
    RestorePaintClip();
    T.FPaintBitmap.reset();
}

TColor TcvTreeListPainter::ShadowColor() const {
    return T.LookAndFeel() == lfUltraFlat ? TColor(UltraFlatShadow) : clBtnShadow;
}

bool TcvTreeListPainter::Visible(const TRect& R) const {
    return !IsRectEmpty(R) && RectVisible(DC, &R);
}

void TcvTreeListPainter::SetPaintClip(const TRect& R) {
    RestorePaintClip();
    SavedClip = CreateRectRgn(0, 0, 0, 0);
    HadClip = GetClipRgn(DC, SavedClip) == 1;
    HRGN clip = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
    if (HadClip) CombineRgn(clip, clip, SavedClip, RGN_AND);
    SelectClipRgn(DC, clip);
    DeleteObject(clip);
    ClipSet = true;
}

void TcvTreeListPainter::RestorePaintClip() {
    if (!ClipSet) return;
    SelectClipRgn(DC, HadClip ? SavedClip : nullptr);
    DeleteObject(SavedClip);
    SavedClip = nullptr;
    ClipSet = false;
}

HBRUSH TcvTreeListPainter::GetLevelBrush(int Level, TColor& Colour) {
    if (!T.HasGetLevelColor()) return GroupNodeBrush.Handle();
    T.DoGetLevelColor(Level, Colour);
    if (Colour == T.GroupNodeColor()) return GroupNodeBrush.Handle();
    LevelBrush.Reset(CreateSolidBrush(ColorToRGB(Colour)));
    return LevelBrush.Handle();
}

bool TcvTreeListPainter::IsInvertSelect() const {
    return (T.OptionsEx() & tloex_InvertSelect) != 0;
}

TcvTreeListPainter::TCellColors TcvTreeListPainter::GetCellColors(const TcvTreeListNode* Node, bool Selected,
                                                                  bool GroupRow, int Position) {
    if (!Focused && T.IsDragOver() && Node == T.FocusedNode())
        return {T.HighlightColor(), T.HighlightTextColor(), HighlightBrush.Handle()};
    if (Selected && !(T.HideSelection() && !Focused)) {
        if (Focused) return {T.HighlightColor(), T.HighlightTextColor(), HighlightBrush.Handle()};
        return {T.HideSelectionColor(), T.HideSelectionTextColor(), HideSelectionBrush.Handle()};
    }
    if (!T.ShowRootIndent() && Node && (GroupRow || Node->HasChildren())) {
        TColor colour = T.GroupNodeColor();
        const TColor text = T.GroupNodeTextColor() == clNone ? T.Font()->Color() : T.GroupNodeTextColor();
        HBRUSH brush = GetLevelBrush(Node->Level(), colour);
        return {colour, text, brush};
    }
    const int column = Position >= 0 ? Info.HeaderCells[Position].Column : -1;
    const TColor text =
        column >= 0 && T.IsColumnFontAssigned(column) ? T.GetColumnFont(column)->Color() : T.Font()->Color();
    if (Position >= 0 && ColumnBrushes[Position].Brush.Handle())
        return {ColumnBrushes[Position].Color, text, ColumnBrushes[Position].Brush.Handle()};
    return {T.Color(), text, ColorBrush.Handle()};
}

bool TcvTreeListPainter::IsCellSelected(const TcvTreeListNode* Node, bool RowSelected, int Column) const {
    if (!RowSelected) return false;
    const bool newItemRowActive = T.IsNewItemRowActive();
    if (newItemRowActive && !T.IsMultiSelect()) return false;
    bool selected;
    if (T.IsRowSelect())
        selected = true;
    else if (T.IsMultiSelect() && (!IsInvertSelect() || newItemRowActive || Node != T.FocusedNode()))
        selected = true;
    else
        selected = (Column == T.GetFocusedAbsoluteIndex()) != IsInvertSelect();
    return selected && !(T.HideSelection() && !Focused);
}

bool TcvTreeListPainter::IsNewItemCellSelected(int Column) const {
    if (!T.IsNewItemRowActive()) return false;
    bool selected;
    if (T.IsRowSelect() || (T.IsMultiSelect() && !IsInvertSelect()))
        selected = true;
    else
        selected = (Column == T.GetFocusedAbsoluteIndex()) != IsInvertSelect();
    return selected && !(T.HideSelection() && !Focused);
}

void TcvTreeListPainter::AddGridLine(int X1, int Y1, int X2, int Y2) {
    LinePoints.push_back({X1, Y1});
    LinePoints.push_back({X2, Y2});
    LineCounts.push_back(2);
}

void TcvTreeListPainter::DrawGridLines(TColor Colour) {
    if (!LineCounts.empty()) {
        HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(Colour));
        const HGDIOBJ old = SelectObject(DC, pen);
        PolyPolyline(DC, LinePoints.data(), LineCounts.data(), DWORD(LineCounts.size()));
        SelectObject(DC, old);
        DeleteObject(pen);
    }
    LinePoints.clear();
    LineCounts.clear();
}

bool TcvTreeListPainter::NeedsScrollClip() const {
    return T.GetTotalBandsWidth() > Info.Areas.Rows.Width() &&
           (T.GetFixedLeftBandIndex() >= 0 || T.GetFixedRightBandIndex() >= 0 || T.LeftCoord() != 0);
}

TRect TcvTreeListPainter::ScrollArea(int Top, int Bottom) const {
    const int fixedLeft = T.GetFixedLeftBandIndex();
    const int fixedRight = T.GetFixedRightBandIndex();
    return {fixedLeft >= 0 ? Info.Bands[fixedLeft].Bounds.Right : Info.Areas.Rows.Left, Top,
            fixedRight >= 0 ? Info.Bands[fixedRight].Bounds.Left : Info.Areas.Rows.Right, Bottom};
}

int TcvTreeListPainter::UnscrolledLeft(int Left) const {
    return T.GetFixedLeftBandIndex() < 0 ? Left + T.LeftCoord() : Left;
}

TcvTreeListCellPaint TcvTreeListPainter::CellPaint(const TRect& R) const {
    TcvTreeListCellPaint cell;
    cell.Canvas = Canvas;
    cell.Rect = R;
    cell.WorkBitmap = T.PaintBitmap();
    return cell;
}

void TcvTreeListPainter::DrawFocusFrame(const TRect& R) {
    if (Focused) {
        if (!(T.Options() & tlo_HideFocusedCell)) cvTL::DrawFocusRectangle(DC, R);
    } else if (!T.HideFocusRect() && !T.IsDragOver()) {
        cvTL::InvertFrame(DC, R);
    }
}

// Areas ----------------------------------------------------------------------------

void TcvTreeListPainter::PaintAreas() {
    PaintGroupPanelArea();
    PaintBandRow();
    PaintHeaderPanel();
    PaintNewItemRow();
    PaintIndicatorColumn();
    PaintFooterPanel();
    PaintFilterPanel();
    DrawRows();
}

void TcvTreeListPainter::PaintGroupPanelArea() {
    if (Visible(Info.Areas.GroupPanel))
        T.DrawGroupPanel(Canvas, Info.Areas.GroupPanel, HeaderBrush.Handle(), ShadowBrush.Handle());
}

void TcvTreeListPainter::PaintNewItemRow() {
    const TRect& area = Info.Areas.NewItemRow;
    if (!Visible(area)) return;
    const TRect& rows = Info.Areas.Rows;
    const int fixedLeft = T.GetFixedLeftBandIndex();
    const int fixedRight = T.GetFixedRightBandIndex();
    TRect strip{rows.Left, area.Top, rows.Left + T.GetTotalBandsWidth(), area.Bottom};
    if (fixedLeft < 0) OffsetRect(strip, -T.LeftCoord(), 0);
    strip.Left = std::max(strip.Left, fixedLeft < 0 ? rows.Left : strip.Left);
    if (fixedRight >= 0) strip.Right = std::min(strip.Right, Info.Bands[fixedRight].Bounds.Left);
    TRect face = strip;
    cvTL::DrawButtonFrame(DC, face, HeaderBrush.Handle(), T.LookAndFeel() == lfStandard ? lfStandard : lfFlat, 0,
                          false);
    if (T.ShowIndicator()) {
        const TRect cell{area.Left, area.Top, rows.Left, area.Bottom};
        cvTL::DrawIndicatorCell(DC, cell, cell, T.LookAndFeel(), 3, T.PaintBitmap(), HeaderBrush.Handle());
    }
    const bool active = T.IsNewItemRowActive();
    const bool scrollClip = NeedsScrollClip();
    const TRect scrollArea = ScrollArea(area.Top, area.Bottom);
    const int top = area.Top + (T.Flat() ? 2 : 3);
    const int bottom = top + T.DefaultRowHeight() - (T.ShowGrid() && T.ShowPreviewGrid() ? 1 : 0);
    TRect focusRect{};
    for (size_t i = 0; i < Info.HeaderCells.size(); ++i) {
        const TcvTreeListHeaderCellInfo& header = Info.HeaderCells[i];
        if (header.BandRow != 0) continue;
        const TRect cell{header.Bounds.Left, top, header.Bounds.Right - (T.ShowGrid() ? 1 : 0), bottom};
        const bool fixed = header.Band == fixedLeft || header.Band == fixedRight;
        if (scrollClip && !fixed)
            SetPaintClip(scrollArea);
        else
            RestorePaintClip();
        if (Visible(cell)) {
            const bool selected = IsNewItemCellSelected(header.Column);
            const TCellColors colours = GetCellColors(nullptr, selected, false, int(i));
            TcvTreeListCellPaint paint = CellPaint(cell);
            paint.Column = header.Column;
            paint.Selected = selected;
            paint.Color = colours.Color;
            paint.TextColor = colours.TextColor;
            paint.Brush = colours.Brush;
            paint.Kind = ckNewItemRow;
            paint.LeftEdge = header.Band == 0 && header.Position == 0;
            paint.RightEdge = header.Band + 1 == int(Info.Bands.size()) && header.LastInRow;
            paint.ColumnColor = ColumnBrushes[i].Color;
            paint.ColumnBrush = ColumnBrushes[i].Brush.Handle();
            T.PaintNodeCell(paint);
        }
        if (active && (T.IsRowSelect() || header.Column == T.GetFocusedAbsoluteIndex())) focusRect = cell;
        if (T.ShowGrid() && T.ShowPreviewGrid()) AddGridLine(cell.Right, cell.Top, cell.Right, cell.Bottom + 1);
    }
    RestorePaintClip();
    if (active && !IsRectEmpty(focusRect)) {
        if (T.IsRowSelect()) focusRect = {strip.Left, top, strip.Right, bottom};
        DrawFocusFrame(focusRect);
    }
    if (T.ShowGrid()) AddGridLine(strip.Left, bottom, strip.Right, bottom);
    DrawGridLines(T.GetGridLineColor());
}

// The areas around the rows: the band row and the header panel (buttons
// composed in the work bitmap, with their custom-draw events), the indicator
// column, the footer panel and the filter panel.
#include "treelist/TreeListPainter.h"

#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Colors.h"

namespace {

constexpr DWORD CornerEdgeFlags = BF_FLAT | BF_ADJUST | BF_TOP | BF_RIGHT | BF_BOTTOM; // 0x600E
constexpr int FilterTextIndent = 18;
constexpr int FilterButtonWidth = 12;
constexpr int FilterButtonHeight = 11;

// The frame code of a header cell by its place in its band row.
int HeaderPosition(const TcvTreeListHeaderCellInfo& Cell) {
    const bool first = Cell.Position == 0;
    if (first && Cell.LastInRow) return 0;
    if (first) return 2;
    return Cell.LastInRow ? 1 : 3;
}

} // namespace

template <class Event>
void TcvTreeListPainter::DrawButtonCell(const TRect& Cell, const TRect& Clip, bool CustomDraw, TColor Colour,
                                        cvTL::THeaderButtonArgs& Args, Event Fire) {
    bool done = false;
    if (CustomDraw) T.FCellFont->Assign(Canvas->Font());
    const TScopeGuard restoreFont([&] {
        if (!CustomDraw) return;
        Canvas->SetFont(T.FCellFont.get());
        Canvas->Refresh();
    });
    if (CustomDraw) {
        TColor colour = Colour;
        // A partly hidden cell is clipped for the time of its event only.
        if (Cell == Clip) {
            Fire(colour, done);
        } else {
            SetPaintClip(Clip);
            const TScopeGuard restoreClip([this] { RestorePaintClip(); });
            Fire(colour, done);
        }
        if (!done && ColorToRGB(colour) != ColorToRGB(Colour)) {
            Canvas->Brush()->SetColor(colour);
            Args.Brush = Canvas->Brush()->Handle();
        }
        Canvas->Refresh();
    }
    if (!done) cvTL::DrawHeaderButton(DC, Clip, Cell, Args, T.PaintBitmap());
}

void TcvTreeListPainter::DrawCornerButton(const TRect& R, HBRUSH Brush, bool Down) {
    if (T.LookAndFeel() != lfUltraFlat) {
        TRect face = R;
        cvTL::DrawButtonFrameEx(DC, face, Brush, T.LookAndFeel(), 0, Down, true);
        return;
    }
    TRect face = R;
    DrawEdge(DC, &face, BDR_SUNKENOUTER, CornerEdgeFlags);
    FillRect(DC, &face, Brush);
    if (Down) BitBlt(DC, face.Left, face.Top, face.Width(), face.Height(), DC, face.Left, face.Top, DSTINVERT);
}

void TcvTreeListPainter::PaintBandRow() {
    if (Visible(Info.Areas.BandIndicator)) DrawCornerButton(Info.Areas.BandIndicator, BandBrush.Handle(), T.IsBandButtonDown());
    if (Visible(Info.Areas.BandHeader) && !Info.Bands.empty()) {
        Canvas->SetFont(T.BandFont());
        Canvas->Refresh();
        for (const TcvTreeListBandInfo& band : Info.Bands) {
            if (!Visible(band.Visible)) continue;
            cvTL::THeaderButtonArgs args;
            args.Text = T.GetBandCaption(band.Band);
            args.Alignment = T.GetBandAlignment(band.Band);
            args.Brush = BandBrush.Handle();
            args.Look = T.LookAndFeel();
            args.MultiLine = T.BandRowCount() > 1;
            args.Down = T.IsBandDown(band.Band);
            DrawButtonCell(band.Bounds, band.Visible, T.HasCustomDrawBand(), T.BandColor(), args,
                           [&](TColor& Colour, bool& Done) {
                               T.DoCustomDrawBand(band.Band, Canvas, band.Bounds, args.Text, Colour, Canvas->Font(),
                                                  args.Alignment, Done);
                           });
        }
    }
    FillRightOfColumns(Info.Areas.BandHeader);
    // The lines that set the fixed bands off from the scrolling ones.
    for (const int fixed : {T.GetFixedLeftBandIndex(), T.GetFixedRightBandIndex()}) {
        if (fixed < 0 || fixed >= int(Info.Bands.size())) continue;
        const TRect& bounds = Info.Bands[fixed].Bounds;
        const bool left = fixed == T.GetFixedLeftBandIndex();
        const TRect line = left ? TRect{bounds.Right - T.FixedBandLineWidth(), bounds.Top, bounds.Right, bounds.Bottom}
                                : TRect{bounds.Left, bounds.Top, bounds.Left + T.FixedBandLineWidth(), bounds.Bottom};
        if (Visible(line)) FillRect(DC, &line, FixedBandLineBrush.Handle());
    }
}

void TcvTreeListPainter::FillRightOfColumns(const TRect& Area) {
    // The control erases no background: header space right of the last band
    // would keep whatever was there (a scroll bar that went away).
    const TRect rest{std::max(Info.ColumnsRight, Area.Left), Area.Top, Area.Right, Area.Bottom};
    if (!IsRectEmpty(rest) && Visible(rest)) FillRect(DC, &rest, ShadowBrush.Handle());
}

void TcvTreeListPainter::PaintHeaderPanel() {
    if (Visible(Info.Areas.HeaderIndicator))
        DrawCornerButton(Info.Areas.HeaderIndicator, HeaderBrush.Handle(), T.IsHeaderButtonDown());
    FillRightOfColumns(Info.Areas.Header);
    if (!Visible(Info.Areas.Header) || (Info.HeaderCells.empty() && Info.HeaderSeparators.empty())) return;
    Canvas->SetFont(T.HeaderFont());
    Canvas->Refresh();
    const int rowHeight = std::max(T.HeaderRowHeight(), 1);
    for (const TcvTreeListHeaderCellInfo& cell : Info.HeaderCells) {
        if (Visible(cell.Separator)) FillRect(DC, &cell.Separator, ShadowBrush.Handle());
        if (!Visible(cell.Visible)) continue;
        cvTL::THeaderButtonArgs args;
        args.Alignment = T.GetColumnHeaderAlignment(cell.Column);
        args.Glyph = T.HasColumnHeaderGlyph(cell.Column) ? T.GetColumnHeaderGlyph(cell.Column) : nullptr;
        args.Text = T.GetColumnCaption(cell.Column);
        args.SortMark = T.GetColumnSortState(cell.Column);
        args.Brush = HeaderBrush.Handle();
        const int state = T.GetHeaderButtonState(cell.Column);
        args.HasFilterButton = (state & 1) != 0;
        args.FilterState = state;
        args.Look = T.LookAndFeel();
        args.Position = HeaderPosition(cell);
        args.Down = T.IsColumnDown(cell.Column);
        args.MultiLine = cell.Bounds.Height() / rowHeight > 1 || T.GetHeaderLineCount() > 1;
        DrawButtonCell(cell.Bounds, cell.Visible, T.HasCustomDrawColumnHeader(cell.Column), T.HeaderColor(), args,
                       [&](TColor& Colour, bool& Done) {
                           T.DoCustomDrawColumnHeader(cell.Column, Canvas, cell.Bounds, args.Text, Colour,
                                                      Canvas->Font(), args.Alignment, args.SortMark, Done);
                       });
    }
    for (const TcvTreeListHeaderSeparatorInfo& separator : Info.HeaderSeparators)
        if (Visible(separator.Bounds)) FillRect(DC, &separator.Bounds, ShadowBrush.Handle());
}

void TcvTreeListPainter::PaintIndicatorColumn() {
    const TRect& column = Info.Areas.RowsIndicator;
    if (!Visible(column)) return;
    const TRect& footer = Info.Areas.Footer;
    int bottom = column.Top;
    for (const TcvTreeListRowInfo& row : Info.Rows) {
        const TRect cell{column.Left, row.Top, column.Right, row.Top + row.Height};
        TRect clip = cell;
        if (!IsRectEmpty(footer) && footer.Top < clip.Bottom) clip.Bottom = footer.Top;
        if (Visible(clip))
            cvTL::DrawIndicatorCell(DC, clip, cell, T.LookAndFeel(), row.IndicatorKind, T.PaintBitmap(),
                                    HeaderBrush.Handle());
        bottom = cell.Bottom;
    }
    // Below the last row it is empty like the rows beside it: the control
    // erases no background, so what is not painted keeps old cells.
    const TRect rest{column.Left, bottom, column.Right, column.Bottom};
    if (!IsRectEmpty(rest) && Visible(rest)) FillRect(DC, &rest, ColorBrush.Handle());
    ExcludeClipRect(DC, column.Left, column.Top, column.Right, column.Bottom);
}

void TcvTreeListPainter::DrawSunkenCellFrame(const TRect& R) {
    TRect frame = R;
    if (T.LookAndFeel() == lfUltraFlat)
        FrameRect(DC, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(DC, &frame, BDR_SUNKENOUTER, BF_RECT);
}

TRect TcvTreeListPainter::PlaceFooterCell(const TcvTreeListHeaderCellInfo& Header, TRect Cell, bool ScrollClip,
                                          const TRect& ScrollArea) {
    InflateRect(Cell, -1, -1);
    if (Header.Band == 0 && Header.Position == 0) ++Cell.Left;
    if (Header.Band == int(Info.Bands.size()) - 1 && Header.LastInRow) Cell.Right -= 2;
    const bool fixed = Header.Band == T.GetFixedLeftBandIndex() || Header.Band == T.GetFixedRightBandIndex();
    if (ScrollClip && !fixed)
        SetPaintClip(ScrollArea);
    else
        RestorePaintClip();
    return Cell;
}

void TcvTreeListPainter::DrawFooterCell(TRect Cell, int Column, bool MultiLine, TColor Color, TColor TextColor,
                                        HBRUSH Brush, TcvTreeListNode* Node, int FooterIndex) {
    DrawSunkenCellFrame(Cell);
    InflateRect(Cell, -1, -1);
    SetBkColor(DC, ColorToRGB(Color));
    SetTextColor(DC, ColorToRGB(TextColor));
    TcvTreeListCellPaint paint = CellPaint(Cell);
    paint.Node = Node;
    paint.Column = Column;
    paint.FooterIndex = FooterIndex;
    paint.Color = Color;
    paint.TextColor = TextColor;
    paint.Brush = Brush;
    paint.MultiLine = MultiLine;
    paint.Kind = ckFooter;
    T.PaintTextCell(paint);
}

void TcvTreeListPainter::PaintFooterPanel() {
    const TRect& panel = Info.Areas.Footer;
    if (!Visible(panel)) return;
    const TRect& rows = Info.Areas.Rows;
    const int fixedLeft = T.GetFixedLeftBandIndex();
    const int fixedRight = T.GetFixedRightBandIndex();
    // The frame's sides scroll out of view with the bands.
    TRect r = panel;
    const int frameSide = T.LookAndFeel() == lfStandard ? 2 : 1;
    if (fixedLeft < 0 && T.LeftCoord() != 0) r.Left -= frameSide;
    if (fixedRight < 0 && rows.Left + T.GetTotalBandsWidth() - T.LeftCoord() > r.Right) r.Right += frameSide;
    if (T.LookAndFeel() == lfStandard) {
        FrameRect(DC, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(r, -1, -1);
        --r.Left;
        TRect edge = r;
        DrawEdge(DC, &edge, BDR_RAISEDINNER, BF_RECT);
    } else {
        TRect edge = r;
        DrawEdge(DC, &edge, BDR_SUNKENOUTER, BF_TOP);
        ++r.Top;
        if (T.LookAndFeel() == lfUltraFlat) {
            FillRect(DC, &r, HeaderBrush.Handle());
        } else {
            edge = r;
            DrawEdge(DC, &edge, BDR_RAISEDINNER, BF_RECT);
        }
    }
    InflateRect(r, -1, -1);
    FillRect(DC, &r, HeaderBrush.Handle());
    const int top = r.Top;

    const bool scrollClip = NeedsScrollClip();
    TRect scrollArea = ScrollArea(panel.Top, panel.Bottom);
    if (fixedLeft < 0) scrollArea.Left = std::max(rows.Left - T.LeftCoord(), rows.Left - T.IndicatorWidth());
    const TScopeGuard restore([this] { RestorePaintClip(); });
    Canvas->SetFont(T.Font());
    Canvas->Refresh();
    const int lineHeight = T.FFooterLineHeight;
    const int rowHeight = std::max(T.HeaderRowHeight(), 1);
    for (const TcvTreeListHeaderCellInfo& header : Info.HeaderCells) {
        const int unscrolled = UnscrolledLeft(header.Bounds.Left);
        const int offset = header.Band == 0 && unscrolled < rows.Left ? rows.Left - unscrolled : 0;
        const int span = std::max(header.Bounds.Height() / rowHeight, 1);
        TRect cell{header.Bounds.Left + offset, top + lineHeight * header.BandRow, header.Bounds.Right,
                   top + lineHeight * (header.BandRow + span)};
        if (IsRectEmpty(cell)) continue;
        cell = PlaceFooterCell(header, cell, scrollClip, scrollArea);
        if (!T.IsExistFooterCell(header.Column) || !Visible(cell)) continue;
        DrawFooterCell(cell, header.Column, span > 1, T.HeaderColor(), T.Font()->Color(), HeaderBrush.Handle());
    }
    RestorePaintClip();
    ExcludeClipRect(DC, panel.Left, panel.Top, panel.Right, panel.Bottom);
}

void TcvTreeListPainter::DrawFilterCloseButton(const TRect& R, bool Hot, bool Down) {
    const int face = Down ? COLOR_WINDOWFRAME : Hot ? COLOR_WINDOW : COLOR_BTNFACE;
    const TColor cross = Down ? clWindow : Hot ? clWindowFrame : clBtnText;
    FillRect(DC, &R, GetSysColorBrush(face));
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(cross));
    const HGDIOBJ old = SelectObject(DC, pen);
    TRect r = R;
    InflateRect(r, -2, -2);
    // Two pixels thick: each stroke goes out along one diagonal and back
    // along its neighbour.
    const POINT down[] = {{r.Left, r.Top}, {r.Right - 2, r.Bottom - 1}, {r.Right - 1, r.Bottom - 1},
                          {r.Left + 1, r.Top}, {r.Left, r.Top}};
    const POINT up[] = {{r.Right - 1, r.Top}, {r.Left + 1, r.Bottom - 1}, {r.Left, r.Bottom - 1},
                        {r.Right - 2, r.Top}, {r.Right, r.Top}};
    Polyline(DC, down, 5);
    Polyline(DC, up, 5);
    SelectObject(DC, old);
    DeleteObject(pen);
}

TRect TCustomcvTreeList::FilterPanelButtonRect(const TRect& Panel) {
    const int left = Panel.Left + 3;
    const int top = Panel.Top + (Panel.Height() - FilterButtonHeight) / 2;
    return {left, top, left + FilterButtonWidth, top + FilterButtonHeight};
}

TRect TCustomcvTreeList::FilterTextRect(const TRect& Panel) const {
    TRect text = Panel;
    InflateRect(text, -2, -2);
    if (HasFilter()) text.Left += FilterTextIndent;
    return text;
}

bool TCustomcvTreeList::IsInFilterPanelButton(TPoint Point) const {
    const TRect panel = CalcRectInfo().FilterBar;
    return !IsRectEmpty(panel) && HasFilter() && PtInRect(FilterPanelButtonRect(panel), Point);
}

void TcvTreeListPainter::PaintFilterPanel() {
    const TRect& panel = Info.Areas.FilterBar;
    if (!Visible(panel)) return;
    const bool filtered = T.HasFilter();
    const std::string text = T.GetFilterText();
    Canvas->SetFont(T.Font());
    Canvas->Refresh();
    const TRect textRect = T.FilterTextRect(panel);
    cvUtils::DrawTextInRect(DC, text, int(Utf8Length(text)), nullptr, ColorToRGB(clBtnHighlight),
                            ColorToRGB(ShadowColor()), T.Font()->Handle(), ShadowBrush.Handle(),
                            cvUtils::cvdtLeft | cvUtils::cvdtVCenter, textRect, panel);
    if (filtered) {
        const bool hot = T.FFilterPanelButtonHot;
        const bool down = T.ControlState().Contains(csLButtonDown);
        DrawFilterCloseButton(TCustomcvTreeList::FilterPanelButtonRect(panel), hot && !down, hot && down);
    }
    ExcludeClipRect(DC, panel.Left, panel.Top, panel.Right, panel.Bottom);
}

// What lies inside one cell: its text through the custom-draw events, the
// content (a node cell's through DrawCellContent, a text cell's drawn here),
// then the incremental-search highlight and the searched cell's focus frame.
#include "treelist/TreeList.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Colors.h"

#include <algorithm>

namespace {

constexpr COLORREF InverseColours = 0xFFFFFF;

// The search colour, or the inverse of Colour while it is clNone.
TColor SearchColour(TColor Search, TColor Colour) {
    return Search == clNone ? TColor(ColorToRGB(Colour) ^ InverseColours) : Search;
}

// The leading characters of Text that the typed Search covers.
int HighlightLength(const std::string& Search, const std::string& Text) {
    return int(std::min(Utf8Length(Search), Utf8Length(Text)));
}

// A colour a custom-draw event changed becomes the cell's brush and the DC's
// background colour.
HBRUSH ChangedColourBrush(TCanvas* Canvas, TColor Colour, const TcvTreeListCellPaint& Cell) {
    if (ColorToRGB(Colour) == ColorToRGB(Cell.Color)) return Cell.Brush;
    Canvas->Brush()->SetColor(Colour);
    SetBkColor(Canvas->Handle(), ColorToRGB(Colour));
    return Canvas->Brush()->Handle();
}

} // namespace

bool TCustomcvTreeList::IsSearchCell(const TcvTreeListCellPaint& Cell) const {
    return FSearching && Cell.Focused && Cell.Kind == ckNode && Cell.Column == FSearchColumn;
}

void TCustomcvTreeList::DrawSearchFocus(const TcvTreeListCellPaint& Cell) {
    TRect r = Cell.Rect;
    InflateRect(r, -1, -1);
    if (IsRowSelect() || (FOptionsEx & tloex_InvertSelect)) {
        // The frames of neighbouring cells join into one.
        if (!Cell.LeftEdge) --r.Left;
        if (!Cell.RightEdge) ++r.Right;
    }
    cvTL::DrawFocusRectangle(Cell.Canvas->Handle(), r);
}

void TCustomcvTreeList::FillCellViewData(const TcvTreeListCellPaint& Cell, const std::string& Text,
                                         TAlignment Alignment, TColor Colour, TColor TextColour, HBRUSH Brush) {
    TcvTreeListCellViewData& data = FCellViewData;
    data.Brush = Brush;
    data.Font = Cell.Canvas->Font()->Handle();
    data.Color = Colour;
    data.TextColor = TextColour;
    data.Alignment = Alignment;
    data.Text = Text;
    data.HighlightLength = 0;
    data.Selected = Cell.Selected;
    data.InvertedSelection = (FOptionsEx & tloex_InvertSelect) != 0;
    data.LeftEdge = Cell.LeftEdge;
    data.RightEdge = Cell.RightEdge;
    data.MultiLine = Cell.MultiLine;
    data.SearchHighlight = false;
    data.EndEllipsis = (FOptions & tlo_DrawEndEllipsis) != 0;
    data.Node = Cell.Node;
    data.NewItemRowIdle = Cell.Kind == ckNewItemRow && !IsInserting();
    data.SelectionColor = Cell.Focused ? FHighlightColor : FHideSelectionColor;
    data.ColumnBrush = Cell.ColumnBrush;
    data.ColumnColor = Cell.ColumnColor;
    data.Hot = IsHotCell(Cell.Node, Cell.Column);
    data.Bounds = {-2, -2, Cell.Rect.Width() + 2, Cell.Rect.Height() + 2};
}

void TCustomcvTreeList::PaintNodeCell(const TcvTreeListCellPaint& Cell) {
    if (Cell.Node) BeginNodeAccess(Cell.Node);
    const TScopeGuard endAccess([&] {
        if (Cell.Node) EndNodeAccess(Cell.Node);
    });
    TCanvas* canvas = Cell.Canvas;
    std::string text = Cell.Kind == ckNode || Cell.Kind == ckGroupRow ? GetCellText(Cell.Node, Cell.Column)
                                                                      : GetInsertingCellText(Cell.Column);
    TAlignment alignment = GetColumnAlignment(Cell.Column);
    const bool ownFont = (Cell.Kind == ckNode || Cell.Kind == ckNewItemRow) && IsColumnFontAssigned(Cell.Column);
    const bool customDraw = HasCustomDrawCell(Cell.Node, Cell.Column);
    TColor colour = Cell.Color;
    TColor textColour = Cell.TextColor;
    HBRUSH brush = Cell.Brush;
    const bool keepFont = customDraw || ownFont;
    if (keepFont) {
        if (!ownFont) canvas->Font()->SetColor(textColour);
        FCellFont->Assign(canvas->Font());
        if (ownFont) {
            canvas->SetFont(GetColumnFont(Cell.Column));
            // The selection's colours win over the column font's.
            if (Cell.Selected)
                canvas->Font()->SetColor(textColour);
            else
                textColour = canvas->Font()->Color();
        }
    }
    const TScopeGuard restoreFont([&] {
        if (keepFont) canvas->SetFont(FCellFont.get());
    });

    bool done = false;
    const TColor fontColour = canvas->Font()->Color();
    DoCustomDrawCell(canvas, Cell.Rect, Cell.Node, Cell.Column, Cell.Selected, Cell.Focused,
                     Cell.Kind == ckNewItemRow, text, colour, canvas->Font(), alignment, done);
    if (done) return;
    if (customDraw) {
        if (ColorToRGB(colour) != ColorToRGB(Cell.Color)) {
            canvas->Brush()->SetColor(colour);
            brush = canvas->Brush()->Handle();
        }
        if (canvas->Font()->Color() != fontColour) textColour = canvas->Font()->Color();
    }
    HDC dc = canvas->Handle();
    FillCellViewData(Cell, text, alignment, colour, textColour, brush);
    DrawCellContent(dc, Cell.Rect, Cell.Column, FCellViewData);
    if (!IsSearchCell(Cell)) return;
    if (!FSearchText.empty()) {
        colour = SearchColour(FAutoSearchColor, colour);
        canvas->Brush()->SetColor(colour);
        brush = canvas->Brush()->Handle();
        textColour = SearchColour(FAutoSearchTextColor, textColour);
        FillCellViewData(Cell, text, alignment, colour, textColour, brush);
        FCellViewData.HighlightLength = HighlightLength(FSearchText, text);
        FCellViewData.SearchHighlight = true;
        DrawCellContent(dc, Cell.Rect, Cell.Column, FCellViewData);
    }
    DrawSearchFocus(Cell);
}

void TCustomcvTreeList::PaintTextCell(const TcvTreeListCellPaint& Cell) {
    if (Cell.Node) BeginNodeAccess(Cell.Node);
    const TScopeGuard endAccess([&] {
        if (Cell.Node) EndNodeAccess(Cell.Node);
    });
    TCanvas* canvas = Cell.Canvas;
    HDC dc = canvas->Handle();
    std::string text;
    TAlignment alignment;
    if (Cell.Kind == ckFooter) {
        text = GetLevelText(Cell.Node, Cell.Column, Cell.FooterIndex);
        alignment = GetFooterCellAlignment(Cell.Node, Cell.Column, Cell.FooterIndex);
    } else {
        text = Cell.Kind == ckNewItemRow ? GetInsertingCellText(Cell.Column) : GetCellText(Cell.Node, Cell.Column);
        alignment = GetColumnAlignment(Cell.Column);
    }
    const bool ownFont = (Cell.Kind == ckNode || Cell.Kind == ckNewItemRow) && IsColumnFontAssigned(Cell.Column);
    const bool customDraw = Cell.Kind == ckFooter ? HasCustomDrawFooter(Cell.Node, Cell.Column, Cell.FooterIndex)
                                                  : HasCustomDrawCell(Cell.Node, Cell.Column);
    bool fontCopied = false;
    const auto copyFont = [&] {
        canvas->Font()->SetColor(TColor(GetTextColor(dc)));
        FCellFont->Assign(canvas->Font());
        fontCopied = true;
    };
    if (customDraw || ownFont) {
        copyFont();
        if (ownFont) {
            const TColor selectedColour = canvas->Font()->Color();
            canvas->SetFont(GetColumnFont(Cell.Column));
            if (Cell.Selected) canvas->Font()->SetColor(selectedColour);
        }
    }
    const COLORREF background = GetBkColor(dc);
    TColor colour = Cell.Color;
    const TScopeGuard restore([&] {
        if (fontCopied) canvas->SetFont(FCellFont.get());
        if (ColorToRGB(colour) != ColorToRGB(Cell.Color)) SetBkColor(dc, background);
    });

    bool done = false;
    if (Cell.Kind == ckFooter)
        DoCustomDrawFooter(Cell.Node, Cell.Column, Cell.FooterIndex, canvas, Cell.Rect, text, colour, canvas->Font(),
                           alignment, done);
    else
        DoCustomDrawCell(canvas, Cell.Rect, Cell.Node, Cell.Column, Cell.Selected, Cell.Focused,
                         Cell.Kind == ckNewItemRow, text, colour, canvas->Font(), alignment, done);
    if (done) return;
    HBRUSH brush = ChangedColourBrush(canvas, colour, Cell);
    if (fontCopied) {
        SelectObject(dc, canvas->Font()->Handle());
        SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    }
    cvTL::TTextCellArgs args;
    args.Brush = brush;
    args.TopMargin2 = Cell.Kind != ckFooter && (FOptionsEx & tloex_InvertSelect);
    args.UseBitmap = (FOptionsEx & tloex_UseBitmap) != 0;
    args.Alignment = alignment;
    args.EndEllipsis = (FOptions & tlo_DrawEndEllipsis) != 0;
    args.MultiLine = Cell.MultiLine;
    args.Color = ColorToRGB(colour);
    cvTL::DrawTextCell(dc, Cell.Rect, text, args, Cell.WorkBitmap);
    if (!IsSearchCell(Cell)) return;
    if (!FSearchText.empty()) {
        colour = SearchColour(FAutoSearchColor, colour);
        canvas->Brush()->SetColor(colour);
        if (!fontCopied) copyFont();
        canvas->Font()->SetColor(SearchColour(FAutoSearchTextColor, canvas->Font()->Color()));
        SelectObject(dc, canvas->Font()->Handle());
        SetBkColor(dc, ColorToRGB(colour));
        SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
        args.Brush = canvas->Brush()->Handle();
        args.NoFill = true;
        args.Color = ColorToRGB(colour);
        args.TextLength = int(Utf8ByteOffset(text, size_t(HighlightLength(FSearchText, text))));
        cvTL::DrawTextCell(dc, Cell.Rect, text, args, Cell.WorkBitmap);
    }
    DrawSearchFocus(Cell);
}

void TCustomcvTreeList::PaintPreview(const TcvTreeListCellPaint& Cell) {
    TCanvas* canvas = Cell.Canvas;
    HDC dc = canvas->Handle();
    std::string text = GetPreviewText(Cell.Node);
    TColor textColour = Cell.TextColor;
    // A strip in the highlight keeps the caller's text colour.
    if (Cell.Color != FHighlightColor) textColour = FPreviewFont->Color();
    FCellFont->Assign(canvas->Font());
    canvas->SetFont(FPreviewFont.get());
    const COLORREF background = GetBkColor(dc);
    TColor colour = Cell.Color;
    const TScopeGuard restore([&] {
        canvas->SetFont(FCellFont.get());
        if (ColorToRGB(colour) != ColorToRGB(Cell.Color)) SetBkColor(dc, background);
    });
    bool done = false;
    DoCustomDrawPreview(canvas, Cell.Rect, Cell.Node, Cell.Selected, text, colour, textColour, canvas->Font(), done);
    if (done) return;
    HBRUSH brush = ChangedColourBrush(canvas, colour, Cell);
    cvTL::DrawPreviewText(dc, Cell.Rect, text, canvas->Font()->Handle(), ColorToRGB(textColour), brush, FIndentDesc);
}

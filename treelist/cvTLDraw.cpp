// The unit's shared pictures (indicator images, expand buttons) and the
// painters of buttons, frames and marks that headers, bands, the indicator
// and rows share. Colours are system colours unless a value is given.
#include "treelist/cvTL.h"

#include "editors/cvUtils.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Resources.h"

#include <algorithm>
#include <memory>

void RegisterTreeListResources();

namespace {

struct TUnit {
    int References = 0;
    std::unique_ptr<TImageList> IndicatorImages;
    std::unique_ptr<TBitmap> PlusBitmap;
    std::unique_ptr<TBitmap> MinusBitmap;
    std::unique_ptr<TBitmap> DragWorkBitmap;
};

TUnit& Unit() {
    static TUnit unit;
    return unit;
}

constexpr const char* IndicatorBitmapNames[] = {"CVGRID_ARROW", "CVGRID_EDIT", "CVGRID_INSERT", "CVGRID_MULTIDOT",
                                                "CVGRID_MULTIARROW"};
constexpr TColor IndicatorMaskColor = 0xFFFFFF;
constexpr struct {
    TCursor Id;
    const char* Resource;
} UnitCursors[] = {
    {cvTL::crcvTLRemove, "CVTLDELETECURSOR"},
    {cvTL::crcvTLFullScroll, "CVTL_FULLSCROLLCURSOR"},
    {cvTL::crcvTLHorScroll, "CVTL_HORSCROLLCURSOR"},
    {cvTL::crcvTLVerScroll, "CVTL_VERSCROLLCURSOR"},
    {cvTL::crcvTLUpScroll, "CVTL_UPSCROLLCURSOR"},
    {cvTL::crcvTLRightScroll, "CVTL_RIGHTSCROLLCURSOR"},
    {cvTL::crcvTLDownScroll, "CVTL_DOWNSCROLLCURSOR"},
    {cvTL::crcvTLLeftScroll, "CVTL_LEFTSCROLLCURSOR"},
    {cvTL::crcvTLDragCopy, "CVTL_DRAGCOPY"},
    {cvTL::crcvTLMultiDragCopy, "CVTL_MULTIDRAGCOPY"},
};
constexpr int ExpandBitmapSize = 12;
constexpr int SortMarkWidth = 16;

void FillSys(HDC DC, const TRect& R, int Index) {
    FillRect(DC, &R, GetSysColorBrush(Index));
}

void PaintExpandBitmap(TBitmap& Bitmap, bool Plus) {
    Bitmap.SetSize(ExpandBitmapSize, ExpandBitmapSize);
    HDC dc = Bitmap.Canvas()->Handle();
    TRect r{0, 0, ExpandBitmapSize, ExpandBitmapSize};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
    InflateRect(r, -1, -1);
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
    --r.Right;
    --r.Bottom;
    FillSys(dc, r, COLOR_BTNFACE);
    FillSys(dc, {3, 5, 8, 6}, COLOR_BTNTEXT);
    if (Plus) FillSys(dc, {5, 3, 6, 8}, COLOR_BTNTEXT);
}

// Copies the part of the work picture's top-left Button-sized area that lies
// inside Clip to Button's place in Target.
void CopyInsideClip(HDC Target, const TRect& Clip, const TRect& Button, HDC Work) {
    TRect visible;
    if (!IntersectRect(visible, Clip, Button)) return;
    BitBlt(Target, visible.Left, visible.Top, visible.Width(), visible.Height(), Work, visible.Left - Button.Left,
           visible.Top - Button.Top, SRCCOPY);
}

} // namespace

namespace cvTL {

void Initialize() {
    TUnit& unit = Unit();
    if (unit.References++ > 0) return;
    RegisterTreeListResources();
    for (const auto& cursor : UnitCursors)
        Screen->SetCursors(cursor.Id, LoadCursor(HInstance, cursor.Resource));
    TBitmap bitmap;
    for (const char* name : IndicatorBitmapNames) {
        bitmap.LoadFromResourceName(HInstance, name);
        if (!unit.IndicatorImages) {
            unit.IndicatorImages = std::make_unique<TImageList>(nullptr);
            unit.IndicatorImages->SetWidth(bitmap.Width());
            unit.IndicatorImages->SetHeight(bitmap.Height());
        }
        unit.IndicatorImages->AddMasked(&bitmap, IndicatorMaskColor);
    }
    unit.PlusBitmap = std::make_unique<TBitmap>();
    unit.MinusBitmap = std::make_unique<TBitmap>();
    unit.DragWorkBitmap = std::make_unique<TBitmap>();
}

void Finalize() {
    TUnit& unit = Unit();
    if (unit.References == 0 || --unit.References > 0) return;
    unit.IndicatorImages.reset();
    unit.PlusBitmap.reset();
    unit.MinusBitmap.reset();
    unit.DragWorkBitmap.reset();
    // The handles are the module's shared ones: leaving the table frees them.
    for (const auto& cursor : UnitCursors)
        Screen->SetCursors(cursor.Id, nullptr);
}

TImageList* IndicatorImages() {
    return Unit().IndicatorImages.get();
}
TBitmap* PlusBitmap() {
    return Unit().PlusBitmap.get();
}
TBitmap* MinusBitmap() {
    return Unit().MinusBitmap.get();
}
TBitmap* DragWorkBitmap() {
    return Unit().DragWorkBitmap.get();
}

void PaintExpandBitmaps() {
    PaintExpandBitmap(*PlusBitmap(), true);
    PaintExpandBitmap(*MinusBitmap(), false);
}

void DrawImageCentered(HDC DC, const TRect& R, TCustomImageList* List, int Index) {
    if (!List || Index < 0 || Index >= List->Count()) return;
    const int x = R.Left + (R.Width() - List->Width()) / 2;
    const int y = R.Top + (R.Height() - List->Height()) / 2;
    ImageList_Draw(List->Handle(), Index, DC, x, y, ILD_TRANSPARENT);
}

void DrawTreeButton(HDC DC, const TRect& R, int CentreY, bool Collapsed) {
    const int left = (R.Left + R.Right - 9) / 2;
    const int top = CentreY - 4;
    const TRect box{left, top, left + 9, top + 9};
    FrameRect(DC, &box, GetSysColorBrush(COLOR_GRAYTEXT));
    FillSys(DC, {left + 2, top + 4, left + 7, top + 5}, COLOR_WINDOWTEXT);
    if (Collapsed) FillSys(DC, {left + 4, top + 2, left + 5, top + 7}, COLOR_WINDOWTEXT);
}

void DrawExpandBitmap(HDC DC, const TRect& R, bool Collapsed) {
    TBitmap* bitmap = Collapsed ? PlusBitmap() : MinusBitmap();
    const int x = R.Left + (R.Width() - bitmap->Width()) / 2;
    const int y = R.Top + (R.Height() - bitmap->Height()) / 2;
    BitBlt(DC, x, y, bitmap->Width(), bitmap->Height(), bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawFlatTreeButton(HDC DC, const TRect& R, bool Collapsed) {
    const int left = (R.Left + R.Right - 11) / 2;
    const int top = (R.Top + R.Bottom - 11) / 2;
    TRect shadow{left + 1, top + 1, left + 12, top + 12};
    DrawEdge(DC, &shadow, BDR_RAISEDOUTER, BF_FLAT | BF_RIGHT | BF_BOTTOM);
    const TRect box{left, top, left + 10, top + 10};
    FrameRect(DC, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    FillSys(DC, {left + 3, top + 5, left + 8, top + 6}, COLOR_WINDOWFRAME);
    if (Collapsed) FillSys(DC, {left + 5, top + 3, left + 6, top + 8}, COLOR_WINDOWFRAME);
}

void DrawSortMark(HDC DC, const TRect& R, bool Up) {
    const int left = (R.Left + R.Right) / 2 - 4;
    const int right = left + 7; // the last column of the 8-pixel box
    const int top = (R.Top + R.Bottom) / 2 - 3;
    const int bottom = (R.Top + R.Bottom) / 2 + 3; // the last row of the 7-pixel box
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    const HGDIOBJ oldPen = SelectObject(DC, shadow);
    // Polylines omit their last point: each segment ends one step past it.
    if (Up) {
        const POINT shaded[] = {{left, bottom}, {left + 3, top - 1}};
        Polyline(DC, shaded, 2);
        SelectObject(DC, light);
        const POINT lit[] = {{left + 4, top}, {right, bottom}, {left - 1, bottom}};
        Polyline(DC, lit, 3);
    } else {
        const POINT shaded[] = {{right, top}, {left, top}, {left + 4, bottom + 1}};
        Polyline(DC, shaded, 3);
        SelectObject(DC, light);
        const POINT lit[] = {{left + 4, bottom}, {right + 1, top - 1}};
        Polyline(DC, lit, 2);
    }
    SelectObject(DC, oldPen);
    DeleteObject(shadow);
    DeleteObject(light);
}

void DrawButtonFrame(HDC DC, TRect& R, HBRUSH Brush, TcvLookAndFeel Look, int Position, bool Down) {
    if (Look == lfStandard) {
        DrawEdge(DC, &R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        if (!Down) {
            DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
            DrawEdge(DC, &R, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
        } else {
            DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
        }
        FillRect(DC, &R, Brush);
        return;
    }
    if (Position == 0) {
        if (Look == lfUltraFlat) {
            FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
            InflateRect(R, -1, -1);
        } else {
            DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
        FillRect(DC, &R, Brush);
        InflateRect(R, -1, 0);
        return;
    }
    FillRect(DC, &R, Brush);
    TRect edges = R;
    if (Look == lfUltraFlat)
        DrawEdge(DC, &edges, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM | BF_FLAT);
    else
        DrawEdge(DC, &edges, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
    if (Look == lfFlat) {
        const int inset = Position == 1 || Position == 3 ? 2 : 1;
        TRect left{R.Left, R.Top + inset, R.Left + 1, R.Bottom - inset};
        DrawEdge(DC, &left, BDR_RAISEDINNER, BF_LEFT);
    }
    TRect right = Position == 2 || Position == 3 ? TRect{R.Right - 1, R.Top + 2, R.Right, R.Bottom - 2}
                                                 : TRect{R.Right - 1, R.Top, R.Right, R.Bottom - 1};
    DrawEdge(DC, &right, BDR_RAISEDINNER, BF_RIGHT);
    InflateRect(R, -2, -1);
}

void DrawButtonFrameEx(HDC DC, TRect& R, HBRUSH Brush, TcvLookAndFeel Look, int Position, bool Down, bool Invert) {
    const TRect whole = R;
    DrawButtonFrame(DC, R, Brush, Look, Position, Down);
    if (Down && Invert) InvertRect(DC, &whole);
}

void DrawSunkenPanel(HDC DC, TRect& R, HBRUSH Brush) {
    DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
    FillRect(DC, &R, Brush);
    InflateRect(R, -1, 0);
}

void DrawFilterButton(HDC DC, const TRect& R, int State) {
    TRect r = R;
    FrameRect(DC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(r, -1, -1);
    FillSys(DC, r, State & fbsActive ? COLOR_BTNTEXT : State & fbsPressed ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    COLORREF colour = GetSysColor(COLOR_BTNTEXT);
    if (State & (fbsPressed | fbsActive))
        colour = GetSysColor(COLOR_WINDOW);
    else if (State & fbsFiltered)
        colour = 0xFF0000; // blue
    int width = r.Width() / 2;
    if (width % 2 == 0) ++width;
    const int height = (width + 1) / 2; // down to a one-pixel point
    const int left = r.Left + (r.Width() - width) / 2;
    const int top = r.Top + (r.Height() - height) / 2;
    HBRUSH brush = CreateSolidBrush(colour);
    for (int row = 0; row < height; ++row) {
        const TRect line{left + row, top + row, left + width - row, top + row + 1};
        FillRect(DC, &line, brush);
    }
    DeleteObject(brush);
}

UINT HeaderTextFormat(bool MultiLine, TAlignment Alignment) {
    static constexpr UINT SingleLine = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS;
    static constexpr UINT WrappedLines = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return (MultiLine ? WrappedLines : SingleLine) | Alignments[Alignment];
}

void DrawHeaderButtonContent(HDC DC, const TRect& R, const THeaderButtonArgs& Args) {
    TRect r = R;
    DrawButtonFrame(DC, r, Args.Brush, Args.Look, Args.Position, Args.Down);
    if (Args.Down && Args.Look == lfStandard) {
        r.Left += 3;
        r.Top += 3;
    } else {
        InflateRect(r, -1, -1);
    }
    --r.Bottom;
    // The marks take their room from the right while the button has it.
    int room = R.Width();
    if (Args.HasFilterButton && room >= FilterButtonWidth) {
        DrawFilterButton(DC, {std::max(r.Left, r.Right - FilterButtonWidth), r.Top, r.Right, r.Bottom},
                         Args.FilterState);
        r.Right -= FilterButtonWidth;
        room -= FilterButtonWidth;
    }
    if (Args.SortMark != csNone && room >= SortMarkWidth) {
        DrawSortMark(DC, {r.Right - SortMarkWidth, r.Top, r.Right, r.Bottom}, Args.SortMark == csUp);
        r.Right -= SortMarkWidth;
    }
    if (Args.Glyph && !Args.Glyph->Empty() && r.Width() >= 1) {
        const int width = std::min(Args.Glyph->Width(), r.Width());
        const int top = r.Top + (r.Height() - Args.Glyph->Height()) / 2;
        cvUtils::DrawBitmapOnBrush(DC, Args.Brush, {r.Left, top, r.Left + width, top + Args.Glyph->Height()},
                                   Args.Glyph);
        r.Left += width;
    }
    if (r.Width() > 0 && !Args.Text.empty()) {
        UINT format = HeaderTextFormat(Args.MultiLine, Args.Alignment);
        SIZE size{};
        GetTextExtentPoint32(DC, Args.Text.c_str(), int(Args.Text.size()), &size);
        if (!Args.MultiLine && size.cx <= r.Width()) format |= DT_NOCLIP;
        const int oldMode = SetBkMode(DC, TRANSPARENT);
        DrawText(DC, Args.Text, &r, format);
        SetBkMode(DC, oldMode);
    }
    if (Args.Down && Args.Invert) InvertRect(DC, &R);
}

void DrawHeaderButton(HDC Target, const TRect& Clip, const TRect& Button, const THeaderButtonArgs& Args,
                      TBitmap* WorkBitmap) {
    cvUtils::EnsureGraphicSize(WorkBitmap, Button.Width(), Button.Height());
    HDC work = WorkBitmap->Canvas()->Handle();
    const HGDIOBJ oldFont = SelectObject(work, GetCurrentObject(Target, OBJ_FONT));
    SetTextColor(work, GetTextColor(Target));
    DrawHeaderButtonContent(work, {0, 0, Button.Width(), Button.Height()}, Args);
    CopyInsideClip(Target, Clip, Button, work);
    SelectObject(work, oldFont);
}

void DrawIndicatorCell(HDC Target, const TRect& Clip, const TRect& Cell, int Look, int Kind, TBitmap* WorkBitmap,
                       HBRUSH Brush) {
    cvUtils::EnsureGraphicSize(WorkBitmap, Cell.Width(), Cell.Height());
    HDC work = WorkBitmap->Canvas()->Handle();
    const TRect whole{0, 0, Cell.Width(), Cell.Height()};
    TRect face = whole;
    if (Look == lfUltraFlat)
        DrawSunkenPanel(work, face, Brush);
    else
        DrawButtonFrame(work, face, Brush, TcvLookAndFeel(Look), 0, false);
    if (Kind != 0) DrawImageCentered(work, whole, IndicatorImages(), Kind - 1);
    CopyInsideClip(Target, Clip, Cell, work);
}

void DrawPreviewText(HDC DC, const TRect& R, const std::string& Text, HFONT Font, COLORREF TextColor, HBRUSH Brush,
                     int Indent) {
    static constexpr UINT PreviewFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS; // 0x8850
    FillRect(DC, &R, Brush);
    TRect r = R;
    InflateRect(r, -1, -1);
    r.Left += Indent;
    const int oldMode = SetBkMode(DC, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(DC, TextColor);
    const HGDIOBJ oldFont = SelectObject(DC, Font);
    DrawText(DC, Text, &r, PreviewFormat);
    SelectObject(DC, oldFont);
    SetTextColor(DC, oldColour);
    SetBkMode(DC, oldMode);
}

} // namespace cvTL

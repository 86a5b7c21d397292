// The drawing routines of cvUtils on the platform's GDI. The checkerboard brush
// of DitherRect is made on first use and lives until the program ends.
#include "editors/cvUtils.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Monitors.h"

#include <algorithm>

namespace cvUtils {

namespace {

// An 8 x 8 pattern whose pixels with row and column of the same parity are
// black (0), the others white (1).
class TCheckerboardBrush {
public:
    TCheckerboardBrush() {
        // Rows are word-aligned: one byte of pixels, one of padding.
        Byte rows[16] = {};
        for (int y = 0; y < 8; ++y)
            rows[2 * y] = y % 2 == 0 ? 0x55 : 0xAA;
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
        FBrush = CreatePatternBrush(pattern);
        DeleteObject(pattern);
    }
    ~TCheckerboardBrush() { DeleteObject(FBrush); }
    TCheckerboardBrush(const TCheckerboardBrush&) = delete;
    TCheckerboardBrush& operator=(const TCheckerboardBrush&) = delete;
    HBRUSH Handle() const { return FBrush; }

private:
    HBRUSH FBrush = nullptr;
};

HBRUSH CheckerboardBrush() {
    static const TCheckerboardBrush brush;
    return brush.Handle();
}

// A memory DC with a bitmap of its own (a colour one unless Monochrome; a
// memory DC alone would make it monochrome), both freed with it.
class TMemoryDC {
public:
    TMemoryDC(HDC Compatible, int Width, int Height, bool Monochrome)
        : FDC(CreateCompatibleDC(Compatible)),
          FBitmap(Monochrome ? CreateBitmap(Width, Height, 1, 1, nullptr)
                             : CreateCompatibleBitmap(nullptr, Width, Height)),
          FOld(SelectObject(FDC, FBitmap)) {}
    ~TMemoryDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

// Restores the font, colours and background mode of a DC at its end.
class TDCTextState {
public:
    explicit TDCTextState(HDC DC)
        : FDC(DC), FFont(GetCurrentObject(DC, OBJ_FONT)), FText(GetTextColor(DC)), FBack(GetBkColor(DC)),
          FMode(GetBkMode(DC)) {}
    ~TDCTextState() {
        SelectObject(FDC, FFont);
        SetTextColor(FDC, FText);
        SetBkColor(FDC, FBack);
        SetBkMode(FDC, FMode);
    }
    TDCTextState(const TDCTextState&) = delete;
    TDCTextState& operator=(const TDCTextState&) = delete;

private:
    HDC FDC;
    HGDIOBJ FFont;
    COLORREF FText, FBack;
    int FMode;
};

UINT DrawTextFormat(UINT Flags, bool FitsWidth) {
    UINT format = DT_EXPANDTABS;
    switch (Flags & cvdtHorizontalMask) {
    case cvdtCenter:
        format |= DT_CENTER;
        break;
    case cvdtRight:
        format |= DT_RIGHT;
        break;
    default:
        format |= DT_LEFT;
        break;
    }
    if (FitsWidth) format |= DT_NOCLIP;
    if ((Flags & cvdtPrefix) == 0) format |= DT_NOPREFIX;
    if (Flags & cvdtEndEllipsis) format |= DT_END_ELLIPSIS;
    if (Flags & cvdtPathEllipsis) format |= DT_PATH_ELLIPSIS;
    switch (Flags & cvdtVerticalMask) {
    case cvdtVCenter:
        format |= DT_VCENTER | DT_SINGLELINE;
        break;
    case cvdtBottom:
        format |= DT_BOTTOM | DT_SINGLELINE;
        break;
    case cvdtWordBreak:
        format |= DT_WORDBREAK;
        break;
    default:
        format |= DT_SINGLELINE;
        break;
    }
    return format;
}

void DrawFocusFrame(HDC DC, TRect R) {
    InflateRect(R, 1, 1);
    SetTextColor(DC, 0xFFFFFF);
    SetBkColor(DC, 0);
    DrawFocusRect(DC, &R);
}

} // namespace

int DrawTextInRect(HDC DC, const std::string& Text, int Length, int* LineHeight, COLORREF TextColor,
                   COLORREF BkColor, HFONT Font, HBRUSH Brush, UINT Flags, const TRect& Rect, const TRect& FillRect) {
    TDCTextState saved(DC);
    SelectObject(DC, Font);
    SetTextColor(DC, TextColor);
    SetBkColor(DC, BkColor);
    const std::string text = Length < 0 ? Text : Utf8Copy(Text, 0, static_cast<size_t>(Length));
    const int bytes = static_cast<int>(text.size());
    SIZE extent{};
    GetTextExtentPoint32(DC, text.c_str(), bytes, &extent);

    const UINT vertical = Flags & cvdtVerticalMask;
    const bool fitsWidth = extent.cx <= Rect.Width();
    const bool breaksLine = text.find_first_of("\r\n") != std::string::npos;
    const bool drawTextPath = (Flags & cvdtPrefix) || vertical == cvdtWordBreak ||
                              ((Flags & (cvdtEndEllipsis | cvdtPathEllipsis)) && (!fitsWidth || breaksLine));
    const UINT format = DrawTextFormat(Flags, fitsWidth);

    if (Flags & cvdtMeasure) {
        TEXTMETRIC metrics;
        GetTextMetrics(DC, &metrics);
        if (LineHeight) *LineHeight = metrics.tmHeight;
        if (metrics.tmHeight == 0) return 0;
        if (drawTextPath) {
            TRect measured = Rect;
            return DrawText(DC, text.c_str(), bytes, &measured, format | DT_CALCRECT);
        }
        return metrics.tmHeight + FillRect.Height() - Rect.Height();
    }

    if ((Flags & cvdtKeepBkMode) == 0) SetBkMode(DC, TRANSPARENT);
    TRect textArea;
    if (drawTextPath) {
        if ((Flags & cvdtNoFill) == 0) ::FillRect(DC, &FillRect, Brush);
        TRect r = Rect;
        DrawText(DC, text.c_str(), bytes, &r, format);
        textArea = Rect;
        if (Flags & cvdtFocusText) {
            TRect measured = Rect;
            DrawText(DC, text.c_str(), bytes, &measured, format | DT_CALCRECT);
            textArea = measured;
        }
    } else {
        int x = Rect.Left;
        if ((Flags & cvdtHorizontalMask) == cvdtCenter) x = Rect.Left + (Rect.Width() - extent.cx) / 2;
        if ((Flags & cvdtHorizontalMask) == cvdtRight) x = Rect.Right - extent.cx;
        int y = Rect.Top;
        if (vertical == cvdtVCenter) y = Rect.Top + (Rect.Height() - extent.cy) / 2;
        if (vertical == cvdtBottom) y = Rect.Bottom - extent.cy;
        // A text wider than its area stays inside it; the fill margin to its
        // right is painted with the brush instead.
        TRect clip = FillRect;
        if (!fitsWidth) {
            clip.Right = std::min(clip.Right, Rect.Right);
            if ((Flags & cvdtNoFill) == 0 && FillRect.Right > clip.Right) {
                const TRect margin{clip.Right, FillRect.Top, FillRect.Right, FillRect.Bottom};
                ::FillRect(DC, &margin, Brush);
            }
        }
        const UINT options = (Flags & cvdtNoFill) ? ETO_CLIPPED : ETO_OPAQUE | ETO_CLIPPED;
        ExtTextOut(DC, x, y, options, &clip, text.c_str(), bytes, nullptr);
        textArea = Rect;
        if (Flags & cvdtFocusText) textArea = TRect{x, y, x + extent.cx, y + extent.cy};
    }
    if ((Flags & cvdtFocusRect) && (!(Flags & cvdtFocusText) || !text.empty())) DrawFocusFrame(DC, textArea);
    return 0;
}

void GetWorkArea(TPoint P, TRect& R) {
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST), info);
    R = info.rcWork;
}

void FitPopupToWorkArea(TPoint& P, int Width, int Height, int OwnerHeight, const TRect& WorkArea) {
    P.X = std::max(P.X, WorkArea.Left);
    if (P.X + Width > WorkArea.Right) P.X = WorkArea.Right - Width;
    if (P.Y + Height <= WorkArea.Bottom) return;
    const int roomBelow = WorkArea.Bottom - P.Y;
    const int roomAbove = P.Y - OwnerHeight - WorkArea.Top;
    if (roomAbove > roomBelow) P.Y -= Height + OwnerHeight;
}

void FitPopupToScreen(TPoint& P, int Width, int Height, int OwnerHeight) {
    TRect workArea;
    GetWorkArea(P, workArea);
    FitPopupToWorkArea(P, Width, Height, OwnerHeight, workArea);
}

void EnsureGraphicSize(TGraphic* Graphic, int Width, int Height) {
    if (Graphic->Width() < Width) Graphic->SetWidth(Width);
    if (Graphic->Height() < Height) Graphic->SetHeight(Height);
}

void DitherRect(HDC DC, const TRect& Rect, TColor Color) {
    const int width = Rect.Width(), height = Rect.Height();
    if (width <= 0 || height <= 0) return;
    const HBRUSH checkerboard = CheckerboardBrush();
    // The painted pixels survive where the pattern is white...
    TMemoryDC memory(DC, width, height, false);
    SetTextColor(memory.Handle(), 0);
    SetBkColor(memory.Handle(), 0xFFFFFF);
    HGDIOBJ oldMemoryBrush = SelectObject(memory.Handle(), checkerboard);
    PatBlt(memory.Handle(), 0, 0, width, height, PATCOPY);
    SelectObject(memory.Handle(), oldMemoryBrush);
    BitBlt(memory.Handle(), 0, 0, width, height, DC, Rect.Left, Rect.Top, SRCAND);
    // ...and Color goes where it is black.
    const COLORREF oldText = SetTextColor(DC, ColorToRGB(Color));
    const COLORREF oldBack = SetBkColor(DC, 0);
    HGDIOBJ oldBrush = SelectObject(DC, checkerboard);
    PatBlt(DC, Rect.Left, Rect.Top, width, height, PATCOPY);
    SelectObject(DC, oldBrush);
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBack);
    BitBlt(DC, Rect.Left, Rect.Top, width, height, memory.Handle(), 0, 0, SRCPAINT);
}

void DrawBitmapOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap) {
    const int width = Bitmap->Width(), height = Bitmap->Height();
    if (width <= 0 || height <= 0) return;
    HDC source = Bitmap->Canvas()->Handle();
    // The mask is white where the bitmap shows its transparent colour.
    TMemoryDC mask(DC, width, height, true);
    const COLORREF oldSourceBack = SetBkColor(source, ColorToRGB(Bitmap->TransparentColor()));
    BitBlt(mask.Handle(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldSourceBack);
    TMemoryDC work(DC, width, height, false);
    BitBlt(work.Handle(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    constexpr DWORD BrushWhereSourceIsWhite = 0x00E20746;
    SetTextColor(work.Handle(), 0);
    SetBkColor(work.Handle(), 0xFFFFFF);
    HGDIOBJ oldBrush = SelectObject(work.Handle(), Brush);
    BitBlt(work.Handle(), 0, 0, width, height, mask.Handle(), 0, 0, BrushWhereSourceIsWhite);
    SelectObject(work.Handle(), oldBrush);
    BitBlt(DC, Rect.Left, Rect.Top, width, height, work.Handle(), 0, 0, SRCCOPY);
}

void DrawBitmapInRect(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap, const TRect& ImageRect) {
    const int saved = SaveDC(DC);
    ExcludeClipRect(DC, ImageRect.Left, ImageRect.Top, ImageRect.Right, ImageRect.Bottom);
    FillRect(DC, &Rect, Brush);
    RestoreDC(DC, saved);
    DrawBitmapOnBrush(DC, Brush, ImageRect, Bitmap);
}

COLORREF ToImageListColor(TColor Color) {
    return TCustomImageList::ToImageListColor(Color);
}

void DrawImageListImage(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index) {
    if (!ImageList->HandleAllocated()) return;
    static constexpr UINT DrawingStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    UINT style = DrawingStyles[ImageList->DrawingStyle()];
    if (ImageList->ImageType() == itMask) style |= ILD_MASK;
    ImageList_DrawEx(ImageList->Handle(), Index, DC, X, Y, ImageList->Width(), ImageList->Height(),
                     ToImageListColor(ImageList->BkColor()), ToImageListColor(ImageList->BlendColor()), style);
}

void DrawShadow(HDC DC, const TRect& Rect, int Size, HBRUSH Brush) {
    const TRect bottom{Rect.Left, Rect.Bottom - Size, Rect.Right, Rect.Bottom};
    const TRect right{Rect.Right - Size, Rect.Top, Rect.Right, Rect.Bottom - Size};
    FillRect(DC, &bottom, Brush);
    FillRect(DC, &right, Brush);
}

} // namespace cvUtils

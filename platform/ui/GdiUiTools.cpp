// The classic 3-D look: DrawEdge and DrawFrameControl, drawn pixel by pixel in
// the system colours so that edges come out exactly as the classic scheme has them.
#include "platform/ui/Gdi.h"

#include "platform/ui/private/GdiObjects_p.h"

using namespace platform_ui;

namespace {

constexpr int None = -1;

// The system colour of each edge line for an edge value: outer and inner lines,
// left-top and right-bottom halves. A lone inner edge takes the outer line's place.
struct EdgeColors {
    int ltOuter = None, ltInner = None, rbOuter = None, rbInner = None;
    int lines = 0; // lines per side, for BF_ADJUST
};

EdgeColors ColorsOf(UINT edge, UINT flags) {
    const UINT outer = edge & 3, inner = (edge >> 2) & 3;
    EdgeColors c;
    const bool outerLine = outer != 0 || inner != 0;
    const bool innerLine = outer != 0 && inner != 0;
    c.lines = (outerLine ? 1 : 0) + (innerLine ? 1 : 0);
    if (flags & BF_MONO) {
        c.ltOuter = c.rbOuter = outer ? COLOR_WINDOWFRAME : (inner ? COLOR_WINDOW : None);
        if (innerLine) c.ltInner = c.rbInner = COLOR_WINDOW;
        return c;
    }
    if (flags & BF_FLAT) {
        c.ltOuter = c.rbOuter = outer ? COLOR_BTNSHADOW : (inner ? COLOR_BTNFACE : None);
        if (innerLine) c.ltInner = c.rbInner = COLOR_BTNFACE;
        return c;
    }
    const bool soft = flags & BF_SOFT;
    // Raised and sunken halves of the outer and inner lines.
    const int ltRaisedOuter = soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
    const int ltSunkenOuter = soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
    const int ltRaisedInner = soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT;
    const int ltSunkenInner = soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
    auto pick = [](UINT bits, int raised, int sunken) { return bits == 1 ? raised : bits == 2 ? sunken : None; };
    if (outer) {
        c.ltOuter = pick(outer, ltRaisedOuter, ltSunkenOuter);
        c.rbOuter = pick(outer, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT);
        if (outer != 3) {
            c.ltInner = pick(inner, ltRaisedInner, ltSunkenInner);
            c.rbInner = pick(inner, COLOR_BTNSHADOW, COLOR_3DLIGHT);
        }
    } else {
        c.ltOuter = pick(inner, ltRaisedInner, ltSunkenInner);
        c.rbOuter = pick(inner, COLOR_BTNSHADOW, COLOR_3DLIGHT);
    }
    return c;
}

// A run of pixels in a system colour; logical coordinates, right and bottom excluded.
void Fill(HDC dc, int left, int top, int right, int bottom, int sysColor) {
    if (sysColor == None || right <= left || bottom <= top) return;
    FillWithColor(dc, QRegion(ToDevice(dc, RECT{left, top, right, bottom})), GetSysColor(sysColor));
}

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    FillWithColor(dc, QRegion(ToDevice(dc, r)), color);
}

// Sets the listed pixels relative to (x, y).
void Pixels(HDC dc, int x, int y, std::initializer_list<std::pair<int, int>> points, COLORREF color) {
    for (auto [px, py] : points)
        FillColor(dc, RECT{x + px, y + py, x + px + 1, y + py + 1}, color);
}

// The rectangle less the lines drawn on each side that the flags name.
RECT Inside(const RECT& r, UINT flags, int lines) {
    RECT inside = r;
    if (flags & BF_LEFT) inside.Left += lines;
    if (flags & BF_TOP) inside.Top += lines;
    if (flags & BF_RIGHT) inside.Right -= lines;
    if (flags & BF_BOTTOM) inside.Bottom -= lines;
    return inside;
}

int MiddleColor(UINT flags) {
    return (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE;
}

void DrawRectEdge(HDC dc, const RECT& r, const EdgeColors& c, UINT flags) {
    const int l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    // Left-top halves first; the right-bottom halves then own the two far corners.
    if (flags & BF_TOP) Fill(dc, l, t, rt, t + 1, c.ltOuter);
    if (flags & BF_LEFT) Fill(dc, l, t, l + 1, b, c.ltOuter);
    if (flags & BF_BOTTOM) Fill(dc, l, b - 1, rt, b, c.rbOuter);
    if (flags & BF_RIGHT) Fill(dc, rt - 1, t, rt, b, c.rbOuter);
    // Inner lines start past the outer line of a neighbouring side that is drawn.
    const int lt = (flags & BF_TOPLEFT) == BF_TOPLEFT, rtop = (flags & BF_TOPRIGHT) == BF_TOPRIGHT;
    const int lb = (flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT, rb = (flags & BF_BOTTOMRIGHT) == BF_BOTTOMRIGHT;
    if (flags & BF_TOP) Fill(dc, l + lt, t + 1, rt - rtop, t + 2, c.ltInner);
    if (flags & BF_LEFT) Fill(dc, l + 1, t + lt, l + 2, b - lb, c.ltInner);
    if (flags & BF_BOTTOM) Fill(dc, l + lb, b - 2, rt - rb, b - 1, c.rbInner);
    if (flags & BF_RIGHT) Fill(dc, rt - 2, t + rtop, rt - 1, b - rb, c.rbInner);
    if (flags & BF_MIDDLE) {
        const RECT inside = Inside(r, flags, c.lines);
        Fill(dc, inside.Left, inside.Top, inside.Right, inside.Bottom, MiddleColor(flags));
    }
}

// A diagonal edge runs corner to corner across the largest square in the
// rectangle: "\" (ending top-left or bottom-right) in the square at the top
// left, "/" (every other end) in the square at the bottom left. The inner line
// lies one pixel beside the outer one towards the inside, BF_MIDDLE fills the
// rest of the rectangle on the inside, and a line ending at the bottom takes
// the right-bottom colours.
void DrawDiagonalEdge(HDC dc, const RECT& r, const EdgeColors& c, UINT flags) {
    const UINT corner = flags & BF_RECT;
    const bool backslash = corner == BF_TOPLEFT || corner == BF_BOTTOMRIGHT;
    // +1: the inside is right of the line (above "\", below "/"); -1: left of it.
    const int side = backslash ? (corner == BF_TOPLEFT ? 1 : -1) : ((flags & BF_TOP) ? 1 : -1);
    const bool bottom = flags & BF_BOTTOM;
    const int outer = bottom ? c.rbOuter : c.ltOuter, inner = bottom ? c.rbInner : c.ltInner;
    const int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
    const int squareTop = backslash ? r.Top : r.Bottom - size;
    auto line = [&](int x, int y, int color) {
        if (x >= r.Left && x < r.Left + size && y >= squareTop && y < squareTop + size)
            Fill(dc, x, y, x + 1, y + 1, color);
    };
    for (int y = r.Top; y < r.Bottom; ++y) {
        // The column of the outer line in this row, even where it leaves the square.
        const int x = r.Left + (backslash ? y - r.Top : r.Bottom - 1 - y);
        line(x, y, outer);
        line(x + side, y, inner);
        if (!(flags & BF_MIDDLE)) continue;
        if (side > 0)
            Fill(dc, std::max(x + c.lines, r.Left), y, r.Right, y + 1, MiddleColor(flags));
        else
            Fill(dc, r.Left, y, std::min(x - c.lines + 1, r.Right), y + 1, MiddleColor(flags));
    }
}

} // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    if (!IsLiveDC(dc) || !rect) return 0;
    const EdgeColors c = ColorsOf(edge, flags);
    if (flags & BF_DIAGONAL)
        DrawDiagonalEdge(dc, *rect, c, flags);
    else
        DrawRectEdge(dc, *rect, c, flags);
    if (flags & BF_ADJUST) *rect = Inside(*rect, flags, c.lines);
    return 1;
}

namespace {

// The classic check mark, seven columns of three pixels, placed in a 13 x 13 box at (x, y).
void CheckMark(HDC dc, int x, int y, COLORREF color) {
    static constexpr int tops[7] = {5, 6, 7, 6, 5, 4, 3};
    for (int i = 0; i < 7; ++i)
        FillColor(dc, RECT{x + 3 + i, y + tops[i], x + 4 + i, y + tops[i] + 3}, color);
}

RECT CenteredSquare(const RECT& r, int size) {
    const int left = r.Left + (r.Right - r.Left - size) / 2, top = r.Top + (r.Bottom - r.Top - size) / 2;
    return RECT{left, top, left + size, top + size};
}

void ButtonPush(HDC dc, RECT* rect, UINT state) {
    const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
    RECT r = *rect;
    const UINT edge = (down || (state & DFCS_FLAT)) ? EDGE_SUNKEN : EDGE_RAISED;
    DrawEdge(dc, &r, edge,
             (state & DFCS_FLAT ? BF_FLAT : 0) | (state & DFCS_MONO ? BF_MONO : 0) | BF_SOFT | BF_RECT | BF_ADJUST |
                 BF_MIDDLE);
    if (state & DFCS_ADJUSTRECT) *rect = r;
}

void ButtonCheck(HDC dc, const RECT* rect, UINT state) {
    const int size = std::min(13, std::min(rect->Right - rect->Left, rect->Bottom - rect->Top));
    RECT box = CenteredSquare(*rect, size);
    const RECT outer = box;
    DrawEdge(dc, &box, EDGE_SUNKEN,
             BF_RECT | BF_ADJUST | (state & DFCS_FLAT ? BF_FLAT : 0) | (state & DFCS_MONO ? BF_MONO : 0));
    const bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) || (state & DFCS_BUTTON3STATE);
    FillColor(dc, box, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED) {
        const int markColor = (state & (DFCS_INACTIVE | DFCS_BUTTON3STATE)) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        CheckMark(dc, outer.Left, outer.Top, GetSysColor(markColor));
    }
}

// Rings of a circle: the pixels of the disc of `box` that are outside the disc shrunk by one.
void RadioRing(HDC dc, const RECT& box, int ltColor, int rbColor) {
    const int size = box.Right - box.Left;
    const double radius = size / 2.0, cx = box.Left + radius, cy = box.Top + radius;
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = dx * dx + dy * dy;
            if (d > radius * radius || d <= (radius - 1) * (radius - 1)) continue;
            const int color = (dx + dy < 0 || (dx + dy == 0 && dx < 0)) ? ltColor : rbColor;
            FillColor(dc, RECT{x, y, x + 1, y + 1}, GetSysColor(color));
        }
}

void ButtonRadio(HDC dc, const RECT* rect, UINT state) {
    const int size = std::min(12, std::min(rect->Right - rect->Left, rect->Bottom - rect->Top));
    const RECT box = CenteredSquare(*rect, size);
    if ((state & 0xF) == DFCS_BUTTONRADIOMASK) {
        // The mask: a black disc on white.
        FillColor(dc, box, RGB(255, 255, 255));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, box.Left, box.Top, box.Right + 1, box.Bottom + 1);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        return;
    }
    RadioRing(dc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    const RECT inner{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
    RadioRing(dc, inner, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    const bool grey = state & (DFCS_PUSHED | DFCS_INACTIVE);
    const RECT disc{inner.Left + 1, inner.Top + 1, inner.Right - 1, inner.Bottom - 1};
    const int discSize = disc.Right - disc.Left;
    const double radius = discSize / 2.0;
    for (int y = 0; y < discSize; ++y)
        for (int x = 0; x < discSize; ++x) {
            const double dx = x + 0.5 - radius, dy = y + 0.5 - radius;
            if (dx * dx + dy * dy <= radius * radius)
                FillColor(dc, RECT{disc.Left + x, disc.Top + y, disc.Left + x + 1, disc.Top + y + 1},
                          GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
        }
    if (state & DFCS_CHECKED) {
        // The dot: 4 x 4 without its corners, and the rows above and below.
        const int x = box.Left + size / 2 - 2, y = box.Top + size / 2 - 2;
        const COLORREF color = GetSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
        FillColor(dc, RECT{x, y + 1, x + 4, y + 3}, color);
        FillColor(dc, RECT{x + 1, y, x + 3, y + 4}, color);
    }
}

// A filled triangle pointing in `direction` (0 up, 1 down, 2 left, 3 right) centred in r.
void Arrow(HDC dc, const RECT& r, UINT direction, COLORREF color, int dx = 0, int dy = 0) {
    const int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
    const int half = std::max(1, (size - 4) / 4); // rows beyond the tip: 16 pixels give a 7 x 4 arrow
    const int cx = r.Left + (r.Right - r.Left) / 2 + dx, cy = r.Top + (r.Bottom - r.Top) / 2 + dy;
    for (int i = 0; i <= half; ++i) {
        const int length = 2 * i + 1;
        switch (direction) {
        case DFCS_SCROLLUP:
            FillColor(dc, RECT{cx - i, cy - 2 + i, cx - i + length, cy - 1 + i}, color);
            break;
        case DFCS_SCROLLLEFT:
            FillColor(dc, RECT{cx - 2 + i, cy - i, cx - 1 + i, cy - i + length}, color);
            break;
        case DFCS_SCROLLRIGHT:
            FillColor(dc, RECT{cx + 1 - i, cy - i, cx + 2 - i, cy - i + length}, color);
            break;
        default:
            FillColor(dc, RECT{cx - i, cy + 1 - i, cx - i + length, cy + 2 - i}, color);
            break;
        }
    }
}

void ScrollArrow(HDC dc, RECT* rect, UINT state) {
    RECT r = *rect;
    const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
    if (down)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_FLAT | BF_RECT | BF_MIDDLE);
    else
        DrawEdge(dc, &r, EDGE_RAISED, (state & DFCS_FLAT ? BF_FLAT : 0) | BF_RECT | BF_MIDDLE);
    const UINT direction = (state & 0xF) == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : (state & 0xF);
    const int shift = down ? 1 : 0;
    if (state & DFCS_INACTIVE) {
        Arrow(dc, r, direction, GetSysColor(COLOR_BTNHIGHLIGHT), shift + 1, shift + 1);
        Arrow(dc, r, direction, GetSysColor(COLOR_BTNSHADOW), shift, shift);
    } else {
        Arrow(dc, r, direction, GetSysColor(COLOR_BTNTEXT), shift, shift);
    }
}

void SizeGrip(HDC dc, const RECT* rect, UINT state) {
    if (!(state & DFCS_TRANSPARENT)) FillColor(dc, *rect, GetSysColor(COLOR_BTNFACE));
    const int size = std::min(rect->Right - rect->Left, rect->Bottom - rect->Top);
    const int right = rect->Right - 1, bottom = rect->Bottom - 1;
    // Three ridges lit from the top left: shadow, shadow, highlight, then a gap.
    for (int d = 1; d < std::min(size, 12); ++d) {
        const int phase = d % 4;
        if (phase == 0) continue;
        const COLORREF color = GetSysColor(phase == 3 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        for (int i = 0; i <= d; ++i)
            FillColor(dc, RECT{right - d + i, bottom - i, right - d + i + 1, bottom - i + 1}, color);
    }
}

void CaptionButton(HDC dc, RECT* rect, UINT state) {
    ButtonPush(dc, rect, state & ~DFCS_ADJUSTRECT);
    const RECT& r = *rect;
    const int shift = (state & DFCS_PUSHED) ? 1 : 0;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const int x = r.Left + w / 2 - 4 + shift, y = r.Top + h / 2 - 4 + shift;
    const COLORREF color = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    switch (state & 0xF) {
    case DFCS_CAPTIONCLOSE:
        for (int i = 0; i < 8; ++i) {
            FillColor(dc, RECT{x + i, y + i, x + i + 2, y + i + 1}, color);
            FillColor(dc, RECT{x + 6 - i, y + i, x + 8 - i, y + i + 1}, color);
        }
        break;
    case DFCS_CAPTIONMIN:
        FillColor(dc, RECT{x + 1, y + 6, x + 7, y + 8}, color);
        break;
    case DFCS_CAPTIONMAX:
        FillColor(dc, RECT{x, y, x + 9, y + 2}, color);
        FillColor(dc, RECT{x, y, x + 1, y + 8}, color);
        FillColor(dc, RECT{x + 8, y, x + 9, y + 8}, color);
        FillColor(dc, RECT{x, y + 7, x + 9, y + 8}, color);
        break;
    case DFCS_CAPTIONRESTORE:
        FillColor(dc, RECT{x + 2, y, x + 8, y + 2}, color);
        FillColor(dc, RECT{x + 7, y, x + 8, y + 5}, color);
        FillColor(dc, RECT{x, y + 3, x + 6, y + 5}, color);
        FillColor(dc, RECT{x, y + 3, x + 1, y + 8}, color);
        FillColor(dc, RECT{x + 5, y + 3, x + 6, y + 8}, color);
        FillColor(dc, RECT{x, y + 7, x + 6, y + 8}, color);
        break;
    default:
        break;
    }
}

void MenuGlyph(HDC dc, const RECT* rect, UINT state) {
    // Menu glyphs are black on white, for use as masks.
    FillColor(dc, *rect, RGB(255, 255, 255));
    const COLORREF black = 0;
    switch (state & 0xF) {
    case DFCS_MENUARROW:
        Arrow(dc, *rect, DFCS_SCROLLRIGHT, black);
        break;
    case DFCS_MENUCHECK: {
        const RECT box = CenteredSquare(*rect, 13);
        CheckMark(dc, box.Left, box.Top, black);
        break;
    }
    case DFCS_MENUBULLET: {
        const int x = rect->Left + (rect->Right - rect->Left) / 2 - 3,
                  y = rect->Top + (rect->Bottom - rect->Top) / 2 - 3;
        Pixels(dc, x, y, {{2, 0}, {3, 0}, {0, 2}, {0, 3}, {5, 2}, {5, 3}, {2, 5}, {3, 5}}, black);
        FillColor(dc, RECT{x + 1, y + 1, x + 5, y + 5}, black);
        break;
    }
    default:
        break;
    }
}

} // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    if (!IsLiveDC(dc) || !rect) return 0;
    switch (type) {
    case DFC_BUTTON:
        if (state & DFCS_BUTTONPUSH)
            ButtonPush(dc, rect, state);
        else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
            ButtonRadio(dc, rect, state);
        else
            ButtonCheck(dc, rect, state);
        return 1;
    case DFC_SCROLL:
        if ((state & 0xF) == DFCS_SCROLLSIZEGRIP)
            SizeGrip(dc, rect, state);
        else
            ScrollArrow(dc, rect, state);
        return 1;
    case DFC_CAPTION:
        CaptionButton(dc, rect, state);
        return 1;
    case DFC_MENU:
        MenuGlyph(dc, rect, state);
        return 1;
    default:
        return 0;
    }
}

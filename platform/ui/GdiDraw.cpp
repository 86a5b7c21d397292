// Lines, shapes, fills and block transfers. Shapes go through a mask of the
// pixels they cover so that every raster op applies to each pixel exactly once.
#include "platform/ui/Gdi.h"

#include "platform/ui/private/GdiObjects_p.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace platform_ui;
using Kind = PlatformGdiObject::Kind;

namespace {

struct PenInfo {
    bool null = true;
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

PenInfo PenOf(HDC dc) {
    PenInfo p;
    HGDIOBJ pen = dc->state.pen;
    if (!IsLive(pen, Kind::Pen) || (pen->pen.lopnStyle & 0xF) == PS_NULL) return p;
    p.null = false;
    p.style = static_cast<int>(pen->pen.lopnStyle & 0xF);
    p.width = std::max(pen->pen.lopnWidth.X, 1);
    p.color = pen->pen.lopnColor;
    // Wide pens draw solid, as Win32 cosmetic pens do.
    if (p.width > 1 && p.style != PS_INSIDEFRAME) p.style = PS_SOLID;
    return p;
}

// Dash patterns of one-pixel pens, alternating on and off runs.
const std::vector<int>& DashesOf(int style) {
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3},
        alternate{1, 1};
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    case PS_ALTERNATE:
        return alternate;
    default:
        return solid;
    }
}

// Visits the pixels of a one-pixel line from a towards b (Bresenham), b itself
// excluded, so that joined segments touch their shared point once.
template <typename Visit> void WalkLine(QPoint a, QPoint b, Visit visit) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int error = dx + dy;
    while (x != b.x() || y != b.y()) {
        visit(x, y);
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
}

// A one-pixel line through the pen's raster op; `step` carries the dash phase along a polyline.
class LinePainter {
public:
    explicit LinePainter(HDC dc) : dc_(dc), pen_(PenOf(dc)), dashes_(DashesOf(pen_.style)) {
        QImage* image = SurfaceOf(dc);
        if (image) {
            image_ = image;
            offset_ = SurfaceOffset(dc);
            clip_ = EffectiveClip(dc);
        }
    }

    bool Null() const { return pen_.null; }
    int Width() const { return pen_.width; }

    // Device coordinates; the last point is not drawn.
    void Line(QPoint a, QPoint b) {
        if (pen_.null || !image_) return;
        if (pen_.width > 1) {
            WideLine(a, b);
            return;
        }
        WalkLine(a, b, [this](int x, int y) { Plot(x, y); });
    }

private:
    void Plot(int x, int y) {
        COLORREF color = pen_.color;
        if (!dashes_.empty()) {
            int phase = step_++ % Period();
            bool on = true;
            for (int run : dashes_) {
                if (phase < run) break;
                phase -= run;
                on = !on;
            }
            if (!on) {
                if (dc_->state.bkMode != OPAQUE) return;
                color = dc_->state.bkColor;
            }
        }
        if (!clip_.contains(QPoint(x, y))) return;
        const int ix = x + offset_.x(), iy = y + offset_.y();
        WritePixel(*image_, ix, iy, ApplyRop2(dc_->state.rop2, color, ReadPixel(*image_, ix, iy)));
    }

    int Period() const {
        int sum = 0;
        for (int run : dashes_)
            sum += run;
        return sum;
    }

    void WideLine(QPoint a, QPoint b) {
        const int w = pen_.width;
        const QRect box = QRect(a, b).normalized().adjusted(-w, -w, w, w);
        QImage mask = NewMask(box.size());
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.translate(-box.topLeft());
        painter.drawLine(QPointF(a) + QPointF(0.5, 0.5), QPointF(b) + QPointF(0.5, 0.5));
        painter.end();
        PaintMaskWithColor(dc_, mask, box.topLeft(), pen_.color, dc_->state.rop2);
    }

    HDC dc_;
    PenInfo pen_;
    const std::vector<int>& dashes_;
    QImage* image_ = nullptr;
    QPoint offset_;
    QRegion clip_;
    int step_ = 0;
};

// Fills a path's interior with the DC's brush and then rings it with the pen,
// both through the DC's raster op. The box is in device coordinates, right and
// bottom excluded; a null pen leaves the figure a pixel smaller at the right and
// bottom, as Win32 does.
void FillAndFrame(HDC dc, QRect box, const std::function<void(QPainterPath&, const QRectF&)>& shape) {
    const PenInfo pen = PenOf(dc);
    if (pen.null) box.adjust(0, 0, -1, -1);
    if (box.width() <= 0 || box.height() <= 0) return;
    const int inset = pen.null ? 0 : pen.width;
    QRectF outer(box);
    if (!pen.null && pen.style != PS_INSIDEFRAME && pen.width > 1) {
        const double grow = (pen.width - 1) / 2.0;
        outer.adjust(-grow, -grow, grow, grow);
    }
    const QRect maskBox = outer.toAlignedRect();
    auto maskOf = [&](const QRectF& r) {
        QImage mask = NewMask(maskBox.size());
        if (r.width() <= 0 || r.height() <= 0) return mask;
        QPainterPath path;
        shape(path, r.translated(-maskBox.topLeft()));
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillPath(path, Qt::black);
        return mask;
    };
    const QImage outerMask = maskOf(outer);
    const QImage innerMask = inset ? maskOf(outer.adjusted(inset, inset, -inset, -inset)) : outerMask;
    PaintMaskWithBrush(dc, innerMask, maskBox.topLeft(), dc->state.brush, dc->state.rop2);
    if (pen.null) return;
    QImage ring = outerMask;
    for (int y = 0; y < ring.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(ring.scanLine(y));
        const auto* inner = reinterpret_cast<const QRgb*>(innerMask.constScanLine(y));
        for (int x = 0; x < ring.width(); ++x)
            if (qAlpha(inner[x]) > 127) row[x] = 0;
    }
    PaintMaskWithColor(dc, ring, maskBox.topLeft(), pen.color, dc->state.rop2);
}

QRect DeviceBox(HDC dc, int left, int top, int right, int bottom) {
    return ToDevice(dc, RECT{left, top, right, bottom});
}

void PaintPattern(HDC dc, const QRegion& area, HBRUSH brush, Byte rop) {
    BrushSampler sampler(dc, brush);
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, area, [&](QImage& image, int x, int y) {
        COLORREF p = 0;
        if (!sampler.At(x - offset.x(), y - offset.y(), p) && ((rop >> 4) ^ rop) & 0x0F) return;
        WritePixel(image, x, y, ApplyRop3(rop, p, 0, ReadPixel(image, x, y)));
    });
}

Byte RopIndex(DWORD rop) {
    return static_cast<Byte>((rop >> 16) & 0xFF);
}
bool UsesSource(Byte rop) {
    return (((rop >> 2) ^ rop) & 0x33) != 0;
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!IsLiveDC(dc) || !rect) return 0;
    // FillRect also takes a system colour index + 1 in place of a brush.
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= static_cast<uintptr_t>(SystemColorCount))
        brush = GetSysColorBrush(static_cast<int>(value) - 1);
    PaintWithBrush(dc, QRegion(ToDevice(dc, *rect)), brush, R2_COPYPEN);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!IsLiveDC(dc) || !rect) return 0;
    const QRect r = ToDevice(dc, *rect);
    if (r.isEmpty()) return 0;
    const QRegion frame = QRegion(r) - QRegion(r.adjusted(1, 1, -1, -1));
    PaintWithBrush(dc, frame, brush, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    if (!IsLiveDC(dc) || !rect) return 0;
    ForEachPixel(dc, QRegion(ToDevice(dc, *rect)),
                 [](QImage& image, int x, int y) { WritePixel(image, x, y, ~ReadPixel(image, x, y) & 0xFFFFFF); });
    return 1;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    if (!IsLiveDC(dc) || !rect) return 0;
    const QRect r = ToDevice(dc, *rect);
    if (r.isEmpty()) return 0;
    // The one-pixel frame is xored with a checkerboard of the text and background
    // colours, by device parity, so neighbouring frames join and a second call
    // restores the pixels. Black text on white inverts every other pixel.
    const QRegion frame = QRegion(r) - QRegion(r.adjusted(1, 1, -1, -1));
    const COLORREF text = dc->state.textColor, back = dc->state.bkColor;
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, frame, [&](QImage& image, int x, int y) {
        const COLORREF pattern = ((x - offset.x() + y - offset.y()) & 1) ? back : text;
        WritePixel(image, x, y, (ReadPixel(image, x, y) ^ pattern) & 0xFFFFFF);
    });
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return 0;
    const PenInfo pen = PenOf(dc);
    const QRect box = DeviceBox(dc, left, top, right, bottom);
    if (!pen.null && pen.width == 1) {
        // One-pixel pens: the interior, then the outline as a closed polyline so
        // dashed pens and raster ops touch each outline pixel once.
        PaintWithBrush(dc, QRegion(box.adjusted(1, 1, -1, -1)), dc->state.brush, dc->state.rop2);
        LinePainter line(dc);
        const QPoint a = box.topLeft(), b(box.right(), box.top()), c = box.bottomRight(), d(box.left(), box.bottom());
        if (box.width() == 1) {
            line.Line(a, QPoint(a.x(), box.bottom() + 1));
            return 1;
        }
        if (box.height() == 1) {
            line.Line(a, QPoint(box.right() + 1, a.y()));
            return 1;
        }
        line.Line(a, b);
        line.Line(b, c);
        line.Line(c, d);
        line.Line(d, a);
        return 1;
    }
    FillAndFrame(dc, box, [](QPainterPath& path, const QRectF& r) { path.addRect(r); });
    return 1;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    if (!IsLiveDC(dc)) return 0;
    FillAndFrame(dc, DeviceBox(dc, left, top, right, bottom), [&](QPainterPath& path, const QRectF& r) {
        path.addRoundedRect(r, std::min(width / 2.0, r.width() / 2), std::min(height / 2.0, r.height() / 2));
    });
    return 1;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return 0;
    FillAndFrame(dc, DeviceBox(dc, left, top, right, bottom),
                 [](QPainterPath& path, const QRectF& r) { path.addEllipse(r); });
    return 1;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    if (!IsLiveDC(dc) || count < 2) return 0;
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << ToDevice(dc, points[i].X, points[i].Y);
    const QRect box = polygon.boundingRect().adjusted(-1, -1, 1, 1);
    QImage mask = NewMask(box.size());
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPolygon(polygon.translated(-box.topLeft()), Qt::OddEvenFill);
    }
    LinePainter line(dc);
    if (!line.Null()) {
        // The outline wins over the interior: keep the brush off the outline pixels.
        for (int i = 0; i < count; ++i)
            WalkLine(polygon[i] - box.topLeft(), polygon[(i + 1) % count] - box.topLeft(), [&mask](int x, int y) {
                if (mask.valid(x, y)) mask.setPixel(x, y, 0);
            });
    }
    PaintMaskWithBrush(dc, mask, box.topLeft(), dc->state.brush, dc->state.rop2);
    for (int i = 0; i < count; ++i)
        line.Line(polygon[i], polygon[(i + 1) % count]);
    return 1;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!IsLiveDC(dc) || count < 2) return 0;
    LinePainter line(dc);
    for (int i = 1; i < count; ++i)
        line.Line(ToDevice(dc, points[i - 1].X, points[i - 1].Y), ToDevice(dc, points[i].X, points[i].Y));
    return 1;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines) {
    if (!IsLiveDC(dc)) return 0;
    for (DWORD i = 0; i < polylines; ++i) {
        Polyline(dc, points, static_cast<int>(counts[i]));
        points += counts[i];
    }
    return 1;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (!IsLiveDC(dc)) return 0;
    LinePainter line(dc);
    const POINT from = dc->state.position;
    line.Line(ToDevice(dc, from.X, from.Y), ToDevice(dc, x, y));
    dc->state.position = {x, y};
    return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (!SetPixelV(dc, x, y, color)) return CLR_INVALID;
    return GetPixel(dc, x, y);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
    if (!IsLiveDC(dc)) return 0;
    const QPoint p = ToDevice(dc, x, y);
    if (!EffectiveClip(dc).contains(p)) return 0;
    const QPoint offset = SurfaceOffset(dc);
    WritePixel(*SurfaceOf(dc), p.x() + offset.x(), p.y() + offset.y(), color);
    return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    if (!IsLiveDC(dc)) return CLR_INVALID;
    const QPoint p = ToDevice(dc, x, y);
    if (!EffectiveClip(dc).contains(p)) return CLR_INVALID;
    const QPoint offset = SurfaceOffset(dc);
    return ReadPixel(*SurfaceOf(dc), p.x() + offset.x(), p.y() + offset.y());
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (!IsLiveDC(dc)) return 0;
    PaintPattern(dc, QRegion(ToDevice(dc, RECT{x, y, x + width, y + height})), dc->state.brush, RopIndex(rop));
    return 1;
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
    return StretchBlt(dc, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop) {
    if (!IsLiveDC(dc)) return 0;
    const Byte code = RopIndex(rop);
    const QRect target = ToDevice(dc, RECT{x, y, x + width, y + height});
    if (!UsesSource(code)) {
        PaintPattern(dc, QRegion(target), dc->state.brush, code);
        return 1;
    }
    if (!IsLiveDC(source) || width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return 0;
    QImage* sourceImage = SurfaceOf(source);
    if (!sourceImage) return 0;
    // Within one image, read from a copy of the source area so the transfer
    // sees the pixels as they were.
    const QPoint sourceOffset = SurfaceOffset(source);
    QImage copied;
    QPoint copiedAt;
    if (sourceImage == SurfaceOf(dc)) {
        const QPoint a = ToDevice(source, sourceX, sourceY) + sourceOffset;
        const QRect area = QRect(a, a + QPoint(sourceWidth, sourceHeight)).normalized().adjusted(-1, -1, 1, 1);
        copiedAt = area.intersected(sourceImage->rect()).topLeft();
        copied = sourceImage->copy(area.intersected(sourceImage->rect()));
    }
    const QImage& from = copied.isNull() ? *sourceImage : copied;
    const QPoint s0 = ToDevice(source, sourceX, sourceY);
    const QPoint d0 = ToDevice(dc, x, y);
    const bool sourceMono = BitsPerPixelOf(source) == 1, destMono = BitsPerPixelOf(dc) == 1;
    const COLORREF sourceBack = source->state.bkColor;
    const COLORREF text = dc->state.textColor, back = dc->state.bkColor;
    BrushSampler sampler(dc, dc->state.brush);
    const bool usesPattern = ((code >> 4) ^ code) & 0x0F;
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, QRegion(target), [&](QImage& image, int ix, int iy) {
        const int dx = ix - offset.x(), dy = iy - offset.y();
        const double tx = (dx - d0.x() + 0.5) / width, ty = (dy - d0.y() + 0.5) / height;
        const int sx = static_cast<int>(std::floor(s0.x() + tx * sourceWidth)) + sourceOffset.x() - copiedAt.x();
        const int sy = static_cast<int>(std::floor(s0.y() + ty * sourceHeight)) + sourceOffset.y() - copiedAt.y();
        if (sx < 0 || sy < 0 || sx >= from.width() || sy >= from.height()) return;
        COLORREF s = ReadPixel(from, sx, sy);
        // Monochrome to colour: 0 takes the text colour, 1 the background colour;
        // colour to monochrome: the source's background colour becomes 1, all else 0.
        if (sourceMono && !destMono)
            s = (s & 0xFFFFFF) ? back : text;
        else if (!sourceMono && destMono)
            s = (s & 0xFFFFFF) == sourceBack ? 0xFFFFFF : 0;
        COLORREF p = 0;
        if (usesPattern && !sampler.At(dx, dy, p)) p = 0;
        WritePixel(image, ix, iy, ApplyRop3(code, p, s, ReadPixel(image, ix, iy)));
    });
    return 1;
}

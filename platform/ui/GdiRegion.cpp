// Regions and the clip of a device context. Regions hold device coordinates;
// ExcludeClipRect and IntersectClipRect take logical ones.
#include "platform/ui/Gdi.h"

#include "platform/ui/private/GdiObjects_p.h"

#include <QPainter>
#include <QPainterPath>

using namespace platform_ui;
using Kind = PlatformGdiObject::Kind;

namespace {

int RegionKind(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect Normalised(int left, int top, int right, int bottom) {
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

// The pixels whose centres a path covers, as a region.
QRegion RegionOfPath(const QPainterPath& path, Qt::FillRule rule) {
    const QRect box = path.boundingRect().toAlignedRect();
    if (box.isEmpty()) return {};
    QImage mask(box.size(), QImage::Format_ARGB32);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-box.topLeft());
    QPainterPath p = path;
    p.setFillRule(rule);
    painter.fillPath(p, Qt::black);
    painter.end();
    // Runs of covered pixels row by row; no pixmap, so no GUI application is needed.
    QList<QRect> runs;
    for (int y = 0; y < mask.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < mask.width();) {
            if (qAlpha(row[x]) <= 127) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && qAlpha(row[x]) > 127)
                ++x;
            runs << QRect(start + box.left(), y + box.top(), x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.constData(), static_cast<int>(runs.size()));
    return region;
}

HRGN NewRegion(const QRegion& r) {
    auto* region = NewObject(Kind::Region);
    region->region = r;
    return region;
}

QRegion CurrentClipOrAll(HDC dc) {
    if (dc->state.hasClip) return dc->state.clip;
    // No clip selected yet: start from everything the DC may touch.
    return EffectiveClip(dc);
}

int SetClip(HDC dc, const QRegion& r) {
    dc->state.hasClip = true;
    dc->state.clip = r;
    return RegionKind(EffectiveClip(dc));
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return NewRegion(QRegion(Normalised(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT& rect) {
    return CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    QPainterPath path;
    path.addEllipse(QRectF(Normalised(left, top, right, bottom)).adjusted(0, 0, 1, 1));
    return NewRegion(RegionOfPath(path, Qt::OddEvenFill));
}

HRGN CreateEllipticRgnIndirect(const RECT& rect) {
    return CreateEllipticRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
    QPainterPath path;
    path.addRoundedRect(QRectF(Normalised(left, top, right, bottom)).adjusted(0, 0, 1, 1), width / 2.0, height / 2.0);
    return NewRegion(RegionOfPath(path, Qt::OddEvenFill));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    QPolygonF polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPointF(points[i].X, points[i].Y);
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return NewRegion(RegionOfPath(path, fillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
    if (!IsLive(destination, Kind::Region) || !IsLive(source1, Kind::Region)) return RGN_ERROR;
    if (mode == RGN_COPY) {
        destination->region = source1->region;
        return RegionKind(destination->region);
    }
    if (!IsLive(source2, Kind::Region)) return RGN_ERROR;
    const QRegion &a = source1->region, &b = source2->region;
    switch (mode) {
    case RGN_AND:
        destination->region = a & b;
        break;
    case RGN_OR:
        destination->region = a | b;
        break;
    case RGN_XOR:
        destination->region = a ^ b;
        break;
    case RGN_DIFF:
        destination->region = a - b;
        break;
    default:
        return RGN_ERROR;
    }
    return RegionKind(destination->region);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    if (!IsLive(region, Kind::Region)) return 0;
    region->region = QRegion(Normalised(left, top, right, bottom));
    return 1;
}

int OffsetRgn(HRGN region, int dx, int dy) {
    if (!IsLive(region, Kind::Region)) return RGN_ERROR;
    region->region.translate(dx, dy);
    return RegionKind(region->region);
}

int GetRgnBox(HRGN region, RECT* box) {
    if (!IsLive(region, Kind::Region)) return RGN_ERROR;
    const QRect r = region->region.boundingRect();
    *box = region->region.isEmpty() ? RECT{} : RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return RegionKind(region->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    return IsLive(region, Kind::Region) && region->region.contains(QPoint(x, y));
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
    if (!IsLive(region, Kind::Region) || !rect) return 0;
    const QRect r = Normalised(rect->Left, rect->Top, rect->Right, rect->Bottom);
    return !r.isEmpty() && region->region.intersects(r);
}

BOOL EqualRgn(HRGN a, HRGN b) {
    return IsLive(a, Kind::Region) && IsLive(b, Kind::Region) && a->region == b->region;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    if (!IsLiveDC(dc) || !IsLive(region, Kind::Region)) return 0;
    PaintWithBrush(dc, region->region, brush, R2_COPYPEN);
    return 1;
}

BOOL PaintRgn(HDC dc, HRGN region) {
    if (!IsLiveDC(dc)) return 0;
    return FillRgn(dc, region, dc->state.brush);
}

BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height) {
    if (!IsLiveDC(dc) || !IsLive(region, Kind::Region)) return 0;
    // The frame is the part of the region within width/height of its outside.
    const QRegion& r = region->region;
    QRegion inner = r;
    for (int dx = -width; dx <= width; ++dx)
        for (int dy = -height; dy <= height; ++dy)
            inner &= r.translated(dx, dy);
    PaintWithBrush(dc, r - inner, brush, R2_COPYPEN);
    return 1;
}

BOOL InvertRgn(HDC dc, HRGN region) {
    if (!IsLiveDC(dc) || !IsLive(region, Kind::Region)) return 0;
    ForEachPixel(dc, region->region,
                 [](QImage& image, int x, int y) { WritePixel(image, x, y, ~ReadPixel(image, x, y) & 0xFFFFFF); });
    return 1;
}

int SelectClipRgn(HDC dc, HRGN region) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    if (!region) {
        dc->state.hasClip = false;
        dc->state.clip = {};
        return RegionKind(EffectiveClip(dc));
    }
    if (!IsLive(region, Kind::Region)) return RGN_ERROR;
    return SetClip(dc, region->region);
}

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    if (mode == RGN_COPY || !region) return SelectClipRgn(dc, mode == RGN_COPY ? region : nullptr);
    if (!IsLive(region, Kind::Region)) return RGN_ERROR;
    const QRegion current = CurrentClipOrAll(dc), &r = region->region;
    switch (mode) {
    case RGN_AND:
        return SetClip(dc, current & r);
    case RGN_OR:
        return SetClip(dc, current | r);
    case RGN_XOR:
        return SetClip(dc, current ^ r);
    case RGN_DIFF:
        return SetClip(dc, current - r);
    default:
        return RGN_ERROR;
    }
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    return SetClip(dc, CurrentClipOrAll(dc) - QRegion(ToDevice(dc, RECT{left, top, right, bottom})));
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    return SetClip(dc, CurrentClipOrAll(dc) & QRegion(ToDevice(dc, RECT{left, top, right, bottom})));
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    if (!dc->state.hasClip) return RegionKind(EffectiveClip(dc));
    return SetClip(dc, dc->state.clip.translated(dx, dy));
}

int GetClipBox(HDC dc, RECT* box) {
    if (!IsLiveDC(dc)) return RGN_ERROR;
    const QRegion clip = EffectiveClip(dc);
    if (clip.isEmpty()) {
        *box = {};
        return NULLREGION;
    }
    const QRect r = clip.boundingRect();
    const auto& s = dc->state;
    const int dx = s.windowOrg.X - s.viewportOrg.X, dy = s.windowOrg.Y - s.viewportOrg.Y;
    *box = RECT{r.left() + dx, r.top() + dy, r.right() + 1 + dx, r.bottom() + 1 + dy};
    return RegionKind(clip);
}

int GetClipRgn(HDC dc, HRGN region) {
    if (!IsLiveDC(dc) || !IsLive(region, Kind::Region)) return -1;
    if (!dc->state.hasClip) return 0;
    region->region = dc->state.clip;
    return 1;
}

BOOL PtVisible(HDC dc, int x, int y) {
    return IsLiveDC(dc) && EffectiveClip(dc).contains(ToDevice(dc, x, y));
}

BOOL RectVisible(HDC dc, const RECT* rect) {
    if (!IsLiveDC(dc) || !rect) return 0;
    return EffectiveClip(dc).intersects(ToDevice(dc, *rect));
}

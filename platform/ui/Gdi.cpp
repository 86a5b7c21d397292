// GDI objects in a handle table, device contexts and their state, and the
// pixel machinery that every drawing call shares.
#include "platform/ui/Gdi.h"

#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"

#include <QPainter>

#include <array>
#include <cstring>
#include <unordered_set>

using Kind = PlatformGdiObject::Kind;

namespace platform_ui {

namespace {

std::unordered_set<PlatformGdiObject*>& Objects() {
    static std::unordered_set<PlatformGdiObject*> objects;
    return objects;
}

std::unordered_set<PlatformDC*>& DCs() {
    static std::unordered_set<PlatformDC*> dcs;
    return dcs;
}

void Free(PlatformGdiObject* object) {
    Objects().erase(object);
    delete object;
}

void Hold(HGDIOBJ object) {
    if (object) ++object->holds;
}

void Unhold(HGDIOBJ object) {
    if (!object) return;
    --object->holds;
    if (object->holds <= 0 && object->deletePending) Free(object);
}

void HoldState(const DCState& s) {
    Hold(s.pen);
    Hold(s.brush);
    Hold(s.font);
    Hold(s.bitmap);
}

void UnholdState(const DCState& s) {
    Unhold(s.pen);
    Unhold(s.brush);
    Unhold(s.font);
    Unhold(s.bitmap);
}

HGDIOBJ MakeStockBitmap() {
    auto* b = NewObject(Kind::Bitmap);
    b->stock = true;
    b->image = QImage(1, 1, QImage::Format_Indexed8);
    b->image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    b->image.fill(0);
    b->bitsPerPixel = 1;
    return b;
}

HGDIOBJ StockBitmap() {
    static HGDIOBJ bitmap = MakeStockBitmap();
    return bitmap;
}

PlatformDC* NewDC() {
    auto* dc = new PlatformDC;
    dc->state.pen = GetStockObject(BLACK_PEN);
    dc->state.brush = GetStockObject(WHITE_BRUSH);
    dc->state.font = GetStockObject(SYSTEM_FONT);
    DCs().insert(dc);
    return dc;
}

void FreeDC(PlatformDC* dc) {
    UnholdState(dc->state);
    for (const auto& s : dc->saved)
        UnholdState(s);
    DCs().erase(dc);
    delete dc;
}

int RegionKind(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

bool IsLive(HGDIOBJ object, Kind kind) {
    return object && Objects().count(object) && object->kind == kind;
}
bool IsLiveDC(HDC dc) {
    return dc && DCs().count(dc);
}

PlatformGdiObject* NewObject(Kind kind) {
    auto* object = new PlatformGdiObject(kind);
    Objects().insert(object);
    return object;
}

QImage* SurfaceOf(HDC dc) {
    if (!IsLiveDC(dc) || dc->measureOnly) return nullptr;
    if (dc->memory) return dc->state.bitmap ? &dc->state.bitmap->image : nullptr;
    return dc->target;
}

QPoint SurfaceOffset(HDC dc) {
    return dc->memory ? QPoint() : dc->origin;
}

int BitsPerPixelOf(HDC dc) {
    if (IsLiveDC(dc) && dc->memory && dc->state.bitmap) return dc->state.bitmap->bitsPerPixel;
    return 32;
}

QPoint ToDevice(HDC dc, int x, int y) {
    const auto& s = dc->state;
    return {x - s.windowOrg.X + s.viewportOrg.X, y - s.windowOrg.Y + s.viewportOrg.Y};
}

QRect ToDevice(HDC dc, const RECT& r) {
    QPoint a = ToDevice(dc, r.Left, r.Top), b = ToDevice(dc, r.Right, r.Bottom);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

QRegion EffectiveClip(HDC dc) {
    QImage* image = SurfaceOf(dc);
    if (!image) return {};
    QPoint offset = SurfaceOffset(dc);
    QRegion r(QRect(-offset, image->size()));
    if (!dc->memory) r &= dc->limit;
    if (dc->state.hasClip) r &= dc->state.clip;
    return r;
}

COLORREF ReadPixel(const QImage& image, int x, int y) {
    return ColorRefOf(image.pixel(x, y));
}

namespace {

// The palette entry of an indexed image nearest to a colour (the first of equals;
// 0 for an empty palette).
int NearestIndex(const QImage& image, COLORREF color) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < image.colorCount(); ++i) {
        QRgb c = image.color(i);
        long dr = qRed(c) - GetRValue(color), dg = qGreen(c) - GetGValue(color), db = qBlue(c) - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

COLORREF NearestIn(const QImage& image, COLORREF color) {
    if (image.format() != QImage::Format_Indexed8) return color & 0xFFFFFF;
    return image.colorCount() ? ColorRefOf(image.color(NearestIndex(image, color))) : 0;
}

void WritePixel(QImage& image, int x, int y, COLORREF color) {
    if (image.format() == QImage::Format_Indexed8) {
        image.setPixel(x, y, static_cast<uint>(NearestIndex(image, color)));
        return;
    }
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = QRgbOf(color);
}

// A binary raster op is a 4-entry truth table over (pen bit, destination bit) in rop2 - 1.
COLORREF ApplyRop2(int rop2, COLORREF pen, COLORREF dest) {
    const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
    COLORREF result = 0;
    for (unsigned i = 0; i < 4; ++i)
        if (table & (1u << i)) result |= ((i & 2) ? pen : ~pen) & ((i & 1) ? dest : ~dest);
    return result & 0xFFFFFF;
}

// A ternary raster op is an 8-entry truth table over (pattern, source, destination) bits.
COLORREF ApplyRop3(Byte rop, COLORREF pattern, COLORREF source, COLORREF dest) {
    switch (rop) {
    case 0xCC:
        return source & 0xFFFFFF;
    case 0xF0:
        return pattern & 0xFFFFFF;
    default:
        break;
    }
    COLORREF result = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (rop & (1u << i))
            result |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) & ((i & 1) ? dest : ~dest);
    return result & 0xFFFFFF;
}

namespace {

using HatchRows = std::array<Byte, 8>;
// One row per byte, most significant bit leftmost; a set bit is the hatch colour.
constexpr std::array<HatchRows, 6> Hatches = {{
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF}, // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
}};

int Wrap(int v, int n) {
    return ((v % n) + n) % n;
}

} // namespace

BrushSampler::BrushSampler(HDC dc, HBRUSH brush) {
    if (!IsLive(brush, Kind::Brush)) return;
    text_ = dc->state.textColor;
    back_ = dc->state.bkColor;
    org_ = dc->state.brushOrg;
    switch (brush->brush.lbStyle) {
    case BS_SOLID:
        null_ = false;
        solid_ = true;
        color_ = brush->sysColorIndex >= 0 ? GetSysColor(brush->sysColorIndex) : brush->brush.lbColor;
        break;
    case BS_HATCHED:
        null_ = false;
        color_ = brush->brush.lbColor;
        hatch_ = static_cast<int>(brush->brush.lbHatch) % 6;
        hatchTransparent_ = dc->state.bkMode == TRANSPARENT;
        break;
    case BS_PATTERN:
        if (brush->pattern.isNull()) break;
        null_ = false;
        pattern_ = &brush->pattern;
        mono_ = brush->patternMono;
        break;
    default:
        break;
    }
}

bool BrushSampler::At(int x, int y, COLORREF& color) const {
    if (null_) return false;
    if (solid_) {
        color = color_;
        return true;
    }
    if (pattern_) {
        int px = Wrap(x - org_.X, pattern_->width()), py = Wrap(y - org_.Y, pattern_->height());
        COLORREF c = ReadPixel(*pattern_, px, py);
        // A monochrome pattern takes the DC's colours: 0 the text colour, 1 the background.
        if (mono_) c = (c & 0xFFFFFF) ? back_ : text_;
        color = c;
        return true;
    }
    int px = Wrap(x - org_.X, 8), py = Wrap(y - org_.Y, 8);
    if (Hatches[hatch_][py] & (0x80 >> px)) {
        color = color_;
        return true;
    }
    if (hatchTransparent_) return false;
    color = back_;
    return true;
}

void ForEachPixel(HDC dc, const QRegion& area, const std::function<void(QImage&, int, int)>& paint) {
    QImage* image = SurfaceOf(dc);
    if (!image) return;
    const QPoint offset = SurfaceOffset(dc);
    const QRegion visible = area & EffectiveClip(dc);
    for (const QRect& r : visible)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                paint(*image, x + offset.x(), y + offset.y());
}

namespace {

// A mask pixel is set when it is more than half opaque: when the top bit of its
// alpha is set.
bool IsSet(QRgb maskPixel) {
    return qAlpha(maskPixel) > 127;
}

// Stores `value` at the set pixels of a run. Text leaves most of its mask clear,
// so the run is tested four pixels at a time: their bitwise or is set when any is.
void StoreWhereSet(QRgb* out, const QRgb* pixels, int count, QRgb value) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        if (!IsSet(pixels[i] | pixels[i + 1] | pixels[i + 2] | pixels[i + 3])) continue;
        for (int k = i; k < i + 4; ++k)
            if (IsSet(pixels[k])) out[k] = value;
    }
    for (; i < count; ++i)
        if (IsSet(pixels[i])) out[i] = value;
}

// Calls paintRow(image, pixels, x, y, count) for each run of a mask placed with its
// (0, 0) at device `at` that lies inside the DC's clip: `pixels` points at the
// run's `count` mask pixels, and (x, y) is where the first lands in the image.
template <typename PaintRow> void ForEachMaskRow(HDC dc, const QImage& mask, QPoint at, PaintRow paintRow) {
    QImage* image = SurfaceOf(dc);
    if (!image) return;
    const QPoint offset = SurfaceOffset(dc);
    for (const QRect& r : QRegion(QRect(at, mask.size())) & EffectiveClip(dc))
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(mask.constScanLine(y - at.y())) + (r.left() - at.x());
            paintRow(*image, pixels, r.left() + offset.x(), y + offset.y(), r.width());
        }
}

// Calls paint(image, x, y) for the set pixels of such a mask; x and y are image coordinates.
template <typename Paint> void ForEachMaskPixel(HDC dc, const QImage& mask, QPoint at, Paint paint) {
    ForEachMaskRow(dc, mask, at, [&](QImage& image, const QRgb* pixels, int x, int y, int count) {
        for (int i = 0; i < count; ++i)
            if (IsSet(pixels[i])) paint(image, x + i, y);
    });
}

} // namespace

QImage NewMask(QSize size) {
    QImage mask(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    mask.fill(0);
    return mask;
}

void PaintWithBrush(HDC dc, const QRegion& area, HBRUSH brush, int rop2) {
    BrushSampler sampler(dc, brush);
    if (sampler.IsNull()) return;
    COLORREF solid;
    if (rop2 == R2_COPYPEN && sampler.IsSolid(solid)) {
        FillWithColor(dc, area, solid);
        return;
    }
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, area, [&](QImage& image, int x, int y) {
        COLORREF c;
        if (!sampler.At(x - offset.x(), y - offset.y(), c)) return;
        WritePixel(image, x, y, rop2 == R2_COPYPEN ? c : ApplyRop2(rop2, c, ReadPixel(image, x, y)));
    });
}

void PaintMaskWithBrush(HDC dc, const QImage& mask, QPoint at, HBRUSH brush, int rop2) {
    BrushSampler sampler(dc, brush);
    if (sampler.IsNull()) return;
    const QPoint offset = SurfaceOffset(dc);
    ForEachMaskPixel(dc, mask, at, [&](QImage& image, int x, int y) {
        COLORREF c;
        if (!sampler.At(x - offset.x(), y - offset.y(), c)) return;
        WritePixel(image, x, y, ApplyRop2(rop2, c, ReadPixel(image, x, y)));
    });
}

void FillWithColor(HDC dc, const QRegion& area, COLORREF color) {
    QImage* image = SurfaceOf(dc);
    if (!image) return;
    if (image->format() != QImage::Format_RGB32) {
        ForEachPixel(dc, area, [color](QImage& surface, int x, int y) { WritePixel(surface, x, y, color); });
        return;
    }
    // Whole rows at a time: window-sized fills are common.
    const QPoint offset = SurfaceOffset(dc);
    const QRgb value = QRgbOf(color);
    for (const QRect& r : area& EffectiveClip(dc))
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(image->scanLine(y + offset.y())) + r.left() + offset.x(), r.width(),
                        value);
}

void PaintMaskWithColor(HDC dc, const QImage& mask, QPoint at, COLORREF color, int rop2) {
    QImage* surface = SurfaceOf(dc);
    if (surface && rop2 == R2_COPYPEN && surface->format() == QImage::Format_RGB32) {
        // Every text call ends here: plain stores, no raster op or palette per pixel.
        const QRgb value = QRgbOf(color);
        ForEachMaskRow(dc, mask, at, [value](QImage& image, const QRgb* pixels, int x, int y, int count) {
            StoreWhereSet(reinterpret_cast<QRgb*>(image.scanLine(y)) + x, pixels, count, value);
        });
        return;
    }
    ForEachMaskPixel(dc, mask, at, [&](QImage& image, int x, int y) {
        WritePixel(image, x, y, ApplyRop2(rop2, color, ReadPixel(image, x, y)));
    });
}

void BlendImage(HDC dc, const QImage& source, const QRect& target) {
    if (source.isNull() || target.isEmpty()) return;
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, QRegion(target), [&](QImage& surface, int x, int y) {
        const int sx = (x - offset.x() - target.left()) * image.width() / target.width();
        const int sy = (y - offset.y() - target.top()) * image.height() / target.height();
        const QRgb s = image.pixel(sx, sy);
        const int a = qAlpha(s);
        if (a == 0) return;
        if (a == 255) {
            WritePixel(surface, x, y, ColorRefOf(s));
            return;
        }
        const COLORREF d = ReadPixel(surface, x, y);
        auto mix = [a](int over, int under) { return static_cast<Byte>((over * a + under * (255 - a) + 127) / 255); };
        WritePixel(surface, x, y,
                   RGB(mix(qRed(s), GetRValue(d)), mix(qGreen(s), GetGValue(d)), mix(qBlue(s), GetBValue(d))));
    });
}

// The seam for the window manager.

HDC CreateImageDC(QImage* image, const QRegion& clip, const QPoint& origin) {
    if (image->format() != QImage::Format_RGB32) *image = image->convertToFormat(QImage::Format_RGB32);
    PlatformDC* dc = NewDC();
    dc->target = image;
    dc->origin = origin;
    dc->limit = clip;
    HoldState(dc->state);
    return dc;
}

void ReleaseImageDC(HDC dc) {
    if (IsLiveDC(dc)) FreeDC(dc);
}

HDC CreateMeasureDC() {
    PlatformDC* dc = NewDC();
    dc->measureOnly = true;
    HoldState(dc->state);
    return dc;
}

QRegion RegionOf(HRGN region) {
    return IsLive(region, Kind::Region) ? region->region : QRegion();
}

HRGN CreateRegionFrom(const QRegion& region) {
    auto* r = NewObject(Kind::Region);
    r->region = region;
    return r;
}

QImage ImageOfBitmap(HBITMAP bitmap) {
    if (!IsLive(bitmap, Kind::Bitmap)) return {};
    return bitmap->image.convertToFormat(QImage::Format_RGB32);
}

} // namespace platform_ui

using namespace platform_ui;

// Objects.

HGDIOBJ GetStockObject(int index) {
    static std::array<HGDIOBJ, 18> stock = [] {
        std::array<HGDIOBJ, 18> s{};
        auto brush = [](COLORREF c, UINT style) {
            auto* b = NewObject(Kind::Brush);
            b->brush.lbStyle = style;
            b->brush.lbColor = c;
            b->stock = true;
            return b;
        };
        auto pen = [](COLORREF c, int style) {
            auto* p = NewObject(Kind::Pen);
            p->pen.lopnStyle = style;
            p->pen.lopnWidth.X = 1;
            p->pen.lopnColor = c;
            p->stock = true;
            return p;
        };
        auto font = [](const char* face, int height) {
            LOGFONT lf;
            lf.lfHeight = height;
            lf.lfFaceName = face;
            auto* f = NewObject(Kind::Font);
            f->font = lf;
            f->qfont = MakeQFont(lf);
            f->stock = true;
            return f;
        };
        s[WHITE_BRUSH] = brush(RGB(255, 255, 255), BS_SOLID);
        s[LTGRAY_BRUSH] = brush(RGB(192, 192, 192), BS_SOLID);
        s[GRAY_BRUSH] = brush(RGB(128, 128, 128), BS_SOLID);
        s[DKGRAY_BRUSH] = brush(RGB(64, 64, 64), BS_SOLID);
        s[BLACK_BRUSH] = brush(RGB(0, 0, 0), BS_SOLID);
        s[NULL_BRUSH] = brush(0, BS_NULL);
        s[WHITE_PEN] = pen(RGB(255, 255, 255), PS_SOLID);
        s[BLACK_PEN] = pen(RGB(0, 0, 0), PS_SOLID);
        s[NULL_PEN] = pen(0, PS_NULL);
        s[OEM_FIXED_FONT] = font("Terminal", 12);
        s[ANSI_FIXED_FONT] = font("Courier", 13);
        s[ANSI_VAR_FONT] = font("MS Sans Serif", 13);
        s[SYSTEM_FONT] = font("System", 16);
        s[DEVICE_DEFAULT_FONT] = font("System", 16);
        s[SYSTEM_FIXED_FONT] = font("Fixedsys", 15);
        s[DEFAULT_GUI_FONT] = font("宋体", -12);
        auto* palette = NewObject(Kind::Palette);
        palette->stock = true;
        s[DEFAULT_PALETTE] = palette;
        return s;
    }();
    if (index < 0 || index >= static_cast<int>(stock.size())) return nullptr;
    return stock[static_cast<size_t>(index)];
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto* p = NewObject(Kind::Pen);
    p->pen.lopnStyle = static_cast<UINT>(style);
    p->pen.lopnWidth.X = std::max(width, 0);
    p->pen.lopnColor = color & 0xFFFFFF;
    return p;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* b = NewObject(Kind::Brush);
    b->brush.lbStyle = BS_SOLID;
    b->brush.lbColor = color & 0xFFFFFF;
    return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    auto* b = NewObject(Kind::Brush);
    b->brush.lbStyle = BS_HATCHED;
    b->brush.lbColor = color & 0xFFFFFF;
    b->brush.lbHatch = static_cast<uintptr_t>(std::clamp(hatch, HS_HORIZONTAL, HS_DIAGCROSS));
    return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    if (!IsLive(bitmap, Kind::Bitmap)) return nullptr;
    auto* b = NewObject(Kind::Brush);
    b->brush.lbStyle = BS_PATTERN;
    b->brush.lbHatch = reinterpret_cast<uintptr_t>(bitmap);
    b->pattern = bitmap->image;
    b->patternMono = bitmap->bitsPerPixel == 1;
    return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& brush) {
    switch (brush.lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(brush.lbColor);
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(brush.lbHatch), brush.lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush.lbHatch));
    default: {
        auto* b = NewObject(Kind::Brush);
        b->brush.lbStyle = BS_NULL;
        return b;
    }
    }
}

HBRUSH GetSysColorBrush(int index) {
    static std::array<HGDIOBJ, SystemColorCount> brushes{};
    if (index < 0 || index >= SystemColorCount) return nullptr;
    auto& b = brushes[static_cast<size_t>(index)];
    if (!b) {
        b = NewObject(Kind::Brush);
        b->stock = true;
        b->sysColorIndex = index;
    }
    b->brush.lbColor = GetSysColor(index);
    return b;
}

HFONT CreateFontIndirect(const LOGFONT& font) {
    auto* f = NewObject(Kind::Font);
    f->font = font;
    f->qfont = MakeQFont(font);
    return f;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    auto* b = NewObject(Kind::Bitmap);
    const UINT bpp = planes * bitsPerPixel;
    if (bpp == 1) {
        b->bitsPerPixel = 1;
        b->image = QImage(width, height, QImage::Format_Indexed8);
        b->image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        b->image.fill(0);
        if (bits) {
            const auto* data = static_cast<const Byte*>(bits);
            const int stride = ((width + 15) / 16) * 2;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    b->image.setPixel(x, y, (data[y * stride + x / 8] & (0x80 >> (x % 8))) ? 1 : 0);
        }
    } else {
        b->bitsPerPixel = 32;
        b->image = QImage(width, height, QImage::Format_RGB32);
        b->image.fill(Qt::black);
        if (bits && bpp == 32)
            for (int y = 0; y < height; ++y)
                std::memcpy(b->image.scanLine(y), static_cast<const Byte*>(bits) + y * width * 4,
                            static_cast<size_t>(width) * 4);
    }
    return b;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    // A memory DC holding a monochrome bitmap makes monochrome bitmaps, as on Win32.
    if (IsLiveDC(dc) && BitsPerPixelOf(dc) == 1) return CreateBitmap(width, height, 1, 1, nullptr);
    return CreateBitmap(width, height, 1, 32, nullptr);
}

HDC CreateCompatibleDC(HDC) {
    PlatformDC* dc = NewDC();
    dc->memory = true;
    dc->state.bitmap = StockBitmap();
    HoldState(dc->state);
    return dc;
}

BOOL DeleteDC(HDC dc) {
    if (!IsLiveDC(dc)) return 0;
    FreeDC(dc);
    return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!IsLiveDC(dc) || !object || !Objects().count(object)) return nullptr;
    auto& s = dc->state;
    HGDIOBJ* slot = nullptr;
    switch (object->kind) {
    case Kind::Pen:
        slot = &s.pen;
        break;
    case Kind::Brush:
        slot = &s.brush;
        break;
    case Kind::Font:
        slot = &s.font;
        break;
    case Kind::Bitmap:
        if (!dc->memory) return nullptr;
        slot = &s.bitmap;
        break;
    case Kind::Region: {
        SelectClipRgn(dc, object);
        return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(RegionKind(EffectiveClip(dc))));
    }
    case Kind::Palette:
        return GetStockObject(DEFAULT_PALETTE);
    }
    HGDIOBJ previous = *slot;
    Hold(object);
    *slot = object;
    Unhold(previous);
    return previous;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    if (!IsLiveDC(dc)) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_BITMAP:
        return dc->state.bitmap;
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object || !Objects().count(object)) return 0;
    if (object->stock) return 1;
    // Deleting an object that a DC still holds waits until the DC lets it go.
    if (object->holds > 0)
        object->deletePending = true;
    else
        Free(object);
    return 1;
}

DWORD GetObjectType(HGDIOBJ object) {
    if (object && Objects().count(object)) {
        switch (object->kind) {
        case Kind::Pen:
            return OBJ_PEN;
        case Kind::Brush:
            return OBJ_BRUSH;
        case Kind::Font:
            return OBJ_FONT;
        case Kind::Bitmap:
            return OBJ_BITMAP;
        case Kind::Region:
            return OBJ_REGION;
        case Kind::Palette:
            return OBJ_PAL;
        }
    }
    if (IsLiveDC(reinterpret_cast<HDC>(object))) return reinterpret_cast<HDC>(object)->memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
}

bool GetObject(HGDIOBJ object, LOGPEN& pen) {
    if (!IsLive(object, Kind::Pen)) return false;
    pen = object->pen;
    return true;
}

bool GetObject(HGDIOBJ object, LOGBRUSH& brush) {
    if (!IsLive(object, Kind::Brush)) return false;
    brush = object->brush;
    if (object->sysColorIndex >= 0) brush.lbColor = GetSysColor(object->sysColorIndex);
    return true;
}

bool GetObject(HGDIOBJ object, LOGFONT& font) {
    if (!IsLive(object, Kind::Font)) return false;
    font = object->font;
    return true;
}

bool GetObject(HGDIOBJ object, BITMAP& bitmap) {
    if (!IsLive(object, Kind::Bitmap)) return false;
    bitmap = {};
    bitmap.bmWidth = object->image.width();
    bitmap.bmHeight = object->image.height();
    bitmap.bmBitsPixel = static_cast<Word>(object->bitsPerPixel);
    bitmap.bmWidthBytes = ((bitmap.bmWidth * object->bitsPerPixel + 15) / 16) * 2;
    return true;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors) {
    if (!IsLiveDC(dc) || !dc->memory || !dc->state.bitmap) return 0;
    QImage& image = dc->state.bitmap->image;
    if (image.format() != QImage::Format_Indexed8 || dc->state.bitmap->bitsPerPixel == 1) return 0;
    UINT set = 0;
    for (UINT i = 0; i < count && start + i < static_cast<UINT>(image.colorCount()); ++i, ++set)
        image.setColor(static_cast<int>(start + i), qRgb(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue));
    return set;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    if (!IsLiveDC(dc) || !dc->memory || !dc->state.bitmap) return 0;
    const QImage& image = dc->state.bitmap->image;
    if (image.format() != QImage::Format_Indexed8) return 0;
    UINT got = 0;
    for (UINT i = 0; i < count && start + i < static_cast<UINT>(image.colorCount()); ++i, ++got) {
        QRgb c = image.color(static_cast<int>(start + i));
        colors[i] = RGBQUAD{static_cast<Byte>(qBlue(c)), static_cast<Byte>(qGreen(c)), static_cast<Byte>(qRed(c)), 0};
    }
    return got;
}

// Device-context state.

int SaveDC(HDC dc) {
    if (!IsLiveDC(dc)) return 0;
    HoldState(dc->state);
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC dc, int saved) {
    if (!IsLiveDC(dc)) return 0;
    const int depth = static_cast<int>(dc->saved.size());
    const int level = saved < 0 ? depth + saved + 1 : saved;
    if (level < 1 || level > depth) return 0;
    UnholdState(dc->state);
    dc->state = dc->saved[static_cast<size_t>(level - 1)];
    // The restored level's holds move to the current state; the later levels go.
    for (int i = level; i < depth; ++i)
        UnholdState(dc->saved[static_cast<size_t>(i)]);
    dc->saved.resize(static_cast<size_t>(level - 1));
    return 1;
}

#define DC_FIELD_ACCESSORS(Set, Get, Type, field)                                                                      \
    Type Set(HDC dc, Type value) {                                                                                     \
        if (!IsLiveDC(dc)) return Type{};                                                                              \
        Type previous = dc->state.field;                                                                               \
        dc->state.field = value;                                                                                       \
        return previous;                                                                                               \
    }                                                                                                                  \
    Type Get(HDC dc) {                                                                                                 \
        return IsLiveDC(dc) ? dc->state.field : Type{};                                                                \
    }

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (!IsLiveDC(dc)) return CLR_INVALID;
    COLORREF previous = dc->state.textColor;
    dc->state.textColor = color & 0xFFFFFF;
    return previous;
}
COLORREF GetTextColor(HDC dc) {
    return IsLiveDC(dc) ? dc->state.textColor : CLR_INVALID;
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (!IsLiveDC(dc)) return CLR_INVALID;
    COLORREF previous = dc->state.bkColor;
    dc->state.bkColor = color & 0xFFFFFF;
    return previous;
}
COLORREF GetBkColor(HDC dc) {
    return IsLiveDC(dc) ? dc->state.bkColor : CLR_INVALID;
}
DC_FIELD_ACCESSORS(SetBkMode, GetBkMode, int, bkMode)
DC_FIELD_ACCESSORS(SetROP2, GetROP2, int, rop2)
DC_FIELD_ACCESSORS(SetTextAlign, GetTextAlign, UINT, textAlign)
#undef DC_FIELD_ACCESSORS

namespace {

BOOL SetPoint(HDC dc, POINT DCState::*field, int x, int y, POINT* previous) {
    if (!IsLiveDC(dc)) return 0;
    if (previous) *previous = dc->state.*field;
    dc->state.*field = {x, y};
    return 1;
}

BOOL GetPoint(HDC dc, POINT DCState::*field, POINT* value) {
    if (!IsLiveDC(dc)) return 0;
    if (value) *value = dc->state.*field;
    return 1;
}

} // namespace

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &DCState::brushOrg, x, y, previous);
}
BOOL GetBrushOrgEx(HDC dc, POINT* origin) {
    return GetPoint(dc, &DCState::brushOrg, origin);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &DCState::viewportOrg, x, y, previous);
}
BOOL GetViewportOrgEx(HDC dc, POINT* origin) {
    return GetPoint(dc, &DCState::viewportOrg, origin);
}
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &DCState::windowOrg, x, y, previous);
}
BOOL GetWindowOrgEx(HDC dc, POINT* origin) {
    return GetPoint(dc, &DCState::windowOrg, origin);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
    if (!IsLiveDC(dc)) return 0;
    const POINT v = dc->state.viewportOrg;
    return SetViewportOrgEx(dc, v.X + dx, v.Y + dy, previous);
}
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &DCState::position, x, y, previous);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* position) {
    return GetPoint(dc, &DCState::position, position);
}

int GetDeviceCaps(HDC dc, int index) {
    const int bits = IsLiveDC(dc) ? BitsPerPixelOf(dc) : 32;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case BITSPIXEL:
        return bits;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return bits <= 8 ? 1 << bits : -1;
    case SIZEPALETTE:
        return 0;
    case RASTERCAPS:
        return 0;
    case HORZRES: {
        QImage* image = SurfaceOf(dc);
        return image ? image->width() : 1024;
    }
    case VERTRES: {
        QImage* image = SurfaceOf(dc);
        return image ? image->height() : 768;
    }
    default:
        return 0;
    }
}

COLORREF GetNearestColor(HDC dc, COLORREF color) {
    QImage* image = IsLiveDC(dc) ? SurfaceOf(dc) : nullptr;
    if (!image) return color & 0xFFFFFF;
    return NearestIn(*image, color);
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const int64_t product = static_cast<int64_t>(number) * numerator;
    // Rounds half away from zero, as Win32 does.
    int64_t result = (std::abs(product) + std::abs(static_cast<int64_t>(denominator)) / 2) /
                     std::abs(static_cast<int64_t>(denominator));
    if ((product < 0) != (denominator < 0)) result = -result;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int>(result);
}

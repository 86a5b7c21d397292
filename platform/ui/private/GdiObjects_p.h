// The objects behind GDI handles and device contexts, and the pixel machinery
// every drawing call shares: logical-to-device mapping, the effective clip, brush
// sampling and raster operations done on the pixels themselves (never blended),
// so XOR drawing done twice restores an image exactly.
#pragma once

#include "platform/ui/Gdi.h"

#include <QFont>
#include <QImage>
#include <QRegion>

#include <functional>
#include <vector>

struct PlatformGdiObject {
    enum class Kind { Pen, Brush, Font, Bitmap, Region, Palette };
    Kind kind;
    bool stock = false;
    int holds = 0; // selections in DCs and saved DC states
    bool deletePending = false;

    LOGPEN pen;

    LOGBRUSH brush;
    int sysColorIndex = -1; // a system-colour brush follows the table
    QImage pattern;         // BS_PATTERN: a copy of the bitmap
    bool patternMono = false;

    LOGFONT font;
    QFont qfont;

    // Bitmap: Format_RGB32, or Format_Indexed8 for 1, 4 and 8 bits per pixel
    // (a monochrome bitmap has the palette black, white).
    QImage image;
    int bitsPerPixel = 32;

    QRegion region;

    explicit PlatformGdiObject(Kind k) : kind(k) {}
};

// An icon (or any picture kept with its alpha channel): ARGB32. An icon read
// from a file of several sizes keeps them all in sizes, for the desktop to
// pick from (window and tray icons); image is the one drawn.
struct PlatformIcon {
    QImage image;
    std::vector<QImage> sizes;
};

struct DCState {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr; // memory DCs only
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT brushOrg{};
    POINT position{};
    POINT viewportOrg{};
    POINT windowOrg{};
    bool hasClip = false;
    QRegion clip; // device coordinates
};

struct PlatformDC {
    QImage* target = nullptr; // window DCs: the backing image
    QPoint origin;            // device (0, 0) in the image
    QRegion limit;            // window DCs: device coordinates the DC may touch
    bool memory = false;
    bool measureOnly = false;
    DCState state;
    std::vector<DCState> saved;
};

namespace platform_ui {

bool IsLive(HGDIOBJ object, PlatformGdiObject::Kind kind);
bool IsLiveDC(HDC dc);
PlatformGdiObject* NewObject(PlatformGdiObject::Kind kind); // registered in the handle table

// The image a DC draws into and the device-to-image offset; nullptr when it draws nowhere.
QImage* SurfaceOf(HDC dc);
QPoint SurfaceOffset(HDC dc);
int BitsPerPixelOf(HDC dc);

// Logical to device coordinates.
QPoint ToDevice(HDC dc, int x, int y);
QRect ToDevice(HDC dc, const RECT& r); // normalised, right and bottom excluded
// The region a DC may draw in now, device coordinates (already limited to its surface).
QRegion EffectiveClip(HDC dc);

// Pixel access on any surface: RGB32 directly, indexed images through their
// palette (writes take the nearest entry).
COLORREF ReadPixel(const QImage& image, int x, int y);
void WritePixel(QImage& image, int x, int y, COLORREF color);
COLORREF NearestIn(const QImage& image, COLORREF color);

COLORREF ApplyRop2(int rop2, COLORREF pen, COLORREF dest);
COLORREF ApplyRop3(Byte rop, COLORREF pattern, COLORREF source, COLORREF dest);

// The colour a brush paints at device pixel (x, y); false where it paints nothing
// (hollow brushes, the gaps of a hatch in transparent mode).
class BrushSampler {
public:
    BrushSampler(HDC dc, HBRUSH brush);
    bool IsNull() const { return null_; }
    bool IsSolid(COLORREF& color) const {
        color = color_;
        return solid_;
    }
    bool At(int x, int y, COLORREF& color) const;

private:
    bool null_ = true;
    bool solid_ = false;
    COLORREF color_ = 0;
    const QImage* pattern_ = nullptr;
    bool mono_ = false;
    bool hatchTransparent_ = false;
    COLORREF text_ = 0, back_ = 0;
    int hatch_ = 0;
    POINT org_{};
};

// Calls paint(x, y) for every device pixel of `area` inside the DC's clip.
void ForEachPixel(HDC dc, const QRegion& area, const std::function<void(QImage&, int, int)>& paint);
// An empty ARGB32 mask of the given size, and a painter on it with antialiasing off.
QImage NewMask(QSize size);

// Paints `area` (device) with a brush through a raster op (PATCOPY for FillRect).
void PaintWithBrush(HDC dc, const QRegion& area, HBRUSH brush, int rop2);
void PaintMaskWithBrush(HDC dc, const QImage& mask, QPoint at, HBRUSH brush, int rop2);
void FillWithColor(HDC dc, const QRegion& area, COLORREF color);
void PaintMaskWithColor(HDC dc, const QImage& mask, QPoint at, COLORREF color, int rop2);

// Draws an ARGB image scaled into a device rectangle, blending by its alpha.
void BlendImage(HDC dc, const QImage& image, const QRect& target);

// The pixels of a bitmap object for reading and writing in place; the object's
// format stays what it was (RGB32 or indexed).
inline QImage& PixelsOf(HBITMAP bitmap) {
    return bitmap->image;
}

// The selected font of a DC as a Qt font.
QFont FontOfDC(HDC dc);
// The Qt font of a font handle; the default GUI font for anything else.
QFont QFontOf(HFONT font);
// The face and size mapping of a logical font.
QFont MakeQFont(const LOGFONT& font);

} // namespace platform_ui

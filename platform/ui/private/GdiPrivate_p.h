// What the window manager and the controls need from GDI on the Qt side: device
// contexts on a window's backing image, and the Qt objects behind GDI handles.
// Qt types are allowed here; only .cpp files of platform/ui include this header.
#pragma once

#include "platform/ui/WinTypes.h"

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRegion>

#include <span>

namespace platform_ui {

// A device context drawing into *image, which must outlive it. The DC's (0, 0)
// lies at `origin` in the image (a client-area DC of a bordered window passes the
// client offset). `clip` is the region the DC may ever touch, in the DC's own
// coordinates (0, 0 at origin); SelectClipRgn and friends only narrow it, and it
// is further limited to the image. The image is converted to
// QImage::Format_RGB32 if it has another format. Free with ReleaseImageDC.
HDC CreateImageDC(QImage* image, const QRegion& clip, const QPoint& origin);
void ReleaseImageDC(HDC dc);

// A DC that draws nowhere but measures text like any other (the screen DC that
// GetDC(0) hands out). Free with ReleaseImageDC.
HDC CreateMeasureDC();

// The region behind an HRGN (empty for anything that is not a region), and a
// new HRGN made from a QRegion (the caller owns it: DeleteObject).
QRegion RegionOf(HRGN region);
HRGN CreateRegionFrom(const QRegion& region);

// The pixels of a bitmap handle as RGB32 (a copy; a null image for anything that
// is not a bitmap).
QImage ImageOfBitmap(HBITMAP bitmap);

// A new icon holding a copy of an image (kept as ARGB32), and the image of an
// icon (a null image for nullptr). Free icons with DestroyIcon.
HICON CreateIconFrom(const QImage& image);
QImage ImageOfIcon(HICON icon);

// A new icon from the bytes of an icon file (every size it holds, the one
// nearest to DrawnSize x DrawnSize drawn) or of any picture Qt reads;
// nullptr when the bytes hold no picture.
HICON CreateIconFromFile(std::span<const Byte> bytes, int DrawnSize);

// The icon as the desktop takes it, with every size it has (null for nullptr).
QIcon QIconOf(HICON icon);

// Colour conversions between COLORREF (0x00BBGGRR) and Qt's 0xAARRGGBB.
inline QRgb QRgbOf(COLORREF c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline COLORREF ColorRefOf(QRgb c) {
    return static_cast<COLORREF>(qRed(c)) | (static_cast<COLORREF>(qGreen(c)) << 8) |
           (static_cast<COLORREF>(qBlue(c)) << 16);
}

} // namespace platform_ui

#include "platform/ui/Cursors.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/Resources_p.h"
#include "platform/ui/private/WindowHost_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

using namespace platform_ui;

namespace {

struct StandardShape {
    int Id;
    Qt::CursorShape Shape;
};

constexpr StandardShape StandardShapes[] = {
    {IDC_ARROW, Qt::ArrowCursor},        {IDC_IBEAM, Qt::IBeamCursor},     {IDC_WAIT, Qt::WaitCursor},
    {IDC_CROSS, Qt::CrossCursor},        {IDC_UPARROW, Qt::UpArrowCursor}, {IDC_SIZENWSE, Qt::SizeFDiagCursor},
    {IDC_SIZENESW, Qt::SizeBDiagCursor}, {IDC_SIZEWE, Qt::SizeHorCursor},  {IDC_SIZENS, Qt::SizeVerCursor},
    {IDC_SIZEALL, Qt::SizeAllCursor},    {IDC_NO, Qt::ForbiddenCursor},    {IDC_HAND, Qt::PointingHandCursor},
    {IDC_APPSTARTING, Qt::BusyCursor},   {IDC_HELP, Qt::WhatsThisCursor},
};

// The compiled-in cursors are 32x32 and drawn here: a pixel is black where the
// figure says so, white where it touches black (an outline that shows on any
// background), transparent elsewhere.
constexpr int Side = 32;
using Figure = std::function<bool(int X, int Y)>;

bool Arrow(int x, int y) {
    return (y < 16 && x <= y / 2 + 1 && x >= 0) || (y >= 12 && y < 20 && x >= 3 && x <= 4);
}
bool Box(int x, int y, int left, int top) {
    return x >= left && x < left + 10 && y >= top && y < top + 8 &&
           (x == left || x == left + 9 || y == top || y == top + 7);
}

// A splitter cursor across X (Across false: across Y): two bars and two arrows.
bool Split(int x, int y, bool across) {
    if (!across) std::swap(x, y);
    const bool bars = (x == 14 || x == 17) && y >= 8 && y <= 23;
    const bool shaft = (y == 15 || y == 16) && x >= 6 && x <= 25;
    const int d = std::abs(y - 15) + (y > 15 ? -1 : 0);
    const bool heads = (x >= 6 && x <= 10 && d <= x - 6 + 1 && x - 6 <= 4) || (x >= 21 && x <= 25 && d <= 25 - x + 1);
    return bars || shaft || heads;
}

bool NoDrop(int x, int y) {
    const double r = std::hypot(x - 15.5, y - 15.5);
    return (r >= 9 && r <= 11.5) || (std::abs((x - 15.5) - (y - 15.5)) <= 1.5 && r < 10);
}

struct ProgramCursor {
    int Id;
    TPoint HotSpot;
    Figure Draw;
};

const std::vector<ProgramCursor>& ProgramCursors() {
    static const std::vector<ProgramCursor> table = {
        {IDC_PROGRAM_DRAG, {0, 0}, [](int x, int y) { return Arrow(x, y) || Box(x, y, 8, 20); }},
        {IDC_PROGRAM_NODROP, {15, 15}, NoDrop},
        {IDC_PROGRAM_MULTIDRAG,
         {0, 0},
         [](int x, int y) { return Arrow(x, y) || Box(x, y, 8, 20) || Box(x, y, 12, 16); }},
        {IDC_PROGRAM_HSPLIT, {15, 15}, [](int x, int y) { return Split(x, y, true); }},
        {IDC_PROGRAM_VSPLIT, {15, 15}, [](int x, int y) { return Split(x, y, false); }},
    };
    return table;
}

// Every cursor is made here from one ARGB picture that carries both planes a
// cursor keeps: alpha 0 where the AND mask lets the screen show, the XOR
// colour in the RGB. A black-and-white picture becomes a Qt bitmap cursor,
// which can also invert the screen (AND 1 with a white XOR); any other becomes
// a colour cursor, in which such pixels are just transparent.
HCURSOR MakeCursor(const QImage& Picture, QPoint HotSpot) {
    EnsureQtApplication(); // pixmaps need the GUI application
    const int w = Picture.width(), h = Picture.height();
    bool monochrome = true;
    for (int y = 0; y < h && monochrome; ++y)
        for (int x = 0; x < w && monochrome; ++x) {
            const QRgb p = Picture.pixel(x, y);
            monochrome = (qAlpha(p) == 0 || qAlpha(p) == 255) &&
                         (qRgb(0, 0, 0) == (p | 0xFF000000u) || qRgb(255, 255, 255) == (p | 0xFF000000u));
        }
    if (!monochrome) {
        QImage colour = Picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (qAlpha(colour.pixel(x, y)) == 0) colour.setPixel(x, y, 0);
        return new PlatformCursor{QCursor(QPixmap::fromImage(colour), HotSpot.x(), HotSpot.y()), false};
    }
    // Qt's bitmap 1 is black and its mask 1 opaque; a pixel in neither is
    // transparent and bitmap 1 without mask inverts, as AND 1 / XOR 1 does.
    QImage bits(w, h, QImage::Format_Mono), mask(w, h, QImage::Format_Mono);
    for (QImage* plane : {&bits, &mask}) {
        plane->setColorCount(2);
        plane->setColor(0, qRgb(255, 255, 255));
        plane->setColor(1, qRgb(0, 0, 0));
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = Picture.pixel(x, y);
            const bool andBit = qAlpha(p) == 0, xorBit = qRed(p) != 0;
            bits.setPixel(x, y, andBit == xorBit ? 1 : 0);
            mask.setPixel(x, y, andBit ? 0 : 1);
        }
    return new PlatformCursor{QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), HotSpot.x(), HotSpot.y()),
                              false};
}

// Little-endian numbers of a file; 0 past its end, which every caller's checks refuse.
struct LittleEndian {
    std::span<const Byte> Bytes;
    uint32_t U16(size_t At) const { return At + 2 <= Bytes.size() ? uint32_t(Bytes[At] | Bytes[At + 1] << 8) : 0; }
    uint32_t U32(size_t At) const { return U16(At) | U16(At + 2) << 16; }
};

// A cursor picture kept as a DIB: the header, the colour table, then the XOR
// rows and the AND mask rows, both bottom-up and each row padded to 4 bytes;
// the header counts both in its height. 32-bit pictures with any alpha use it
// instead of the mask. A null image for anything else.
QImage PictureOfDib(std::span<const Byte> Dib) {
    const LittleEndian in{Dib};
    const uint32_t headerSize = in.U32(0), bits = in.U16(14), compression = in.U32(16), used = in.U32(32);
    const int width = static_cast<int32_t>(in.U32(4)), height = static_cast<int32_t>(in.U32(8)) / 2;
    constexpr int MaxSide = 256;
    const bool knownBits = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    if (headerSize < 40 || !knownBits || compression != 0 || width <= 0 || height <= 0 || width > MaxSide ||
        height > MaxSide || used > 256)
        return {};
    const size_t colors = bits <= 8 ? (used ? used : 1u << bits) : 0;
    const size_t xorStart = headerSize + colors * 4, xorStride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t andStart = xorStart + xorStride * height, andStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    if (andStart + andStride * height > Dib.size()) return {};
    auto bgr = [&](size_t at, uint8_t alpha) { return qRgba(Dib[at + 2], Dib[at + 1], Dib[at], alpha); };
    bool useAlpha = false;
    for (size_t at = xorStart + 3; bits == 32 && at < andStart && !useAlpha; at += 4)
        useAlpha = Dib[at] != 0;
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const size_t xorRow = xorStart + (height - 1 - y) * xorStride, andRow = andStart + (height - 1 - y) * andStride;
        for (int x = 0; x < width; ++x) {
            const bool andBit = (Dib[andRow + x / 8] >> (7 - x % 8)) & 1;
            const uint8_t alpha = andBit ? 0 : 255;
            QRgb p;
            if (bits <= 8) {
                const size_t bitAt = static_cast<size_t>(x) * bits;
                const size_t index = (Dib[xorRow + bitAt / 8] >> (8 - bits - bitAt % 8)) & ((1u << bits) - 1);
                p = index < colors ? bgr(headerSize + index * 4, alpha) : qRgba(0, 0, 0, alpha);
            } else {
                const size_t at = xorRow + static_cast<size_t>(x) * (bits / 8);
                p = bgr(at, bits == 32 && useAlpha ? Dib[at + 3] : alpha);
            }
            picture.setPixel(x, y, p);
        }
    }
    return picture;
}

// A cursor file (.cur): an icon directory of type 2 whose first entry gives the
// hot spot and the place of its picture, a DIB or a PNG.
HCURSOR CursorFromFile(std::span<const Byte> File) {
    const LittleEndian in{File};
    constexpr uint32_t CursorType = 2;
    constexpr size_t EntryAt = 6;
    if (File.size() < EntryAt + 16 || in.U16(0) != 0 || in.U16(2) != CursorType || in.U16(4) == 0) return nullptr;
    const QPoint hotSpot(static_cast<int>(in.U16(EntryAt + 4)), static_cast<int>(in.U16(EntryAt + 6)));
    const size_t size = in.U32(EntryAt + 8), offset = in.U32(EntryAt + 12);
    if (offset > File.size() || size > File.size() - offset) return nullptr;
    const std::span<const Byte> image = File.subspan(offset, size);
    const QImage picture = IsPng(image) ? QImage::fromData(image.data(), static_cast<int>(image.size()), "PNG")
                                              .convertToFormat(QImage::Format_ARGB32)
                                        : PictureOfDib(image);
    return picture.isNull() ? nullptr : MakeCursor(picture, hotSpot);
}

HCURSOR BuildProgramCursor(const ProgramCursor& c) {
    constexpr int stride = Side / 8;
    std::vector<uint8_t> andPlane(stride * Side, 0xFF), xorPlane(stride * Side, 0);
    auto black = [&](int x, int y) { return x >= 0 && y >= 0 && x < Side && y < Side && c.Draw(x, y); };
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const bool isBlack = black(x, y);
            const bool isWhite = !isBlack && (black(x - 1, y) || black(x + 1, y) || black(x, y - 1) || black(x, y + 1));
            if (!isBlack && !isWhite) continue;
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
            andPlane[static_cast<size_t>(y * stride + x / 8)] &= static_cast<uint8_t>(~bit);
            if (isWhite) xorPlane[static_cast<size_t>(y * stride + x / 8)] |= bit;
        }
    HCURSOR h = CreateCursor(HInstance, c.HotSpot.X, c.HotSpot.Y, Side, Side, andPlane.data(), xorPlane.data());
    h->Shared = true;
    return h;
}

// Shared cursors live as long as the process, as the system's own do: the
// table is never destroyed, so they stay reachable and are never freed
// after the GUI application has gone.
template <typename Key> std::map<Key, HCURSOR>& SharedCursors() {
    static auto* cursors = new std::map<Key, HCURSOR>;
    return *cursors;
}

HCURSOR& Current() {
    static HCURSOR current = nullptr;
    return current;
}

void ShowOn(HWND Wnd, HCURSOR Cursor) {
    QWidget* widget = WidgetOfWindow(Wnd);
    if (!widget) return;
    widget->setCursor(Cursor ? Cursor->Shape : QCursor(Qt::BlankCursor));
}

} // namespace

HCURSOR LoadCursor(HINSTANCE Instance, int CursorName) {
    static std::map<int, PlatformCursor> standard;
    static auto& program = SharedCursors<int>();
    EnsureQtApplication(); // a cursor may be loaded before any window exists
    if (!Instance) {
        if (auto it = standard.find(CursorName); it != standard.end()) return &it->second;
        for (const auto& s : StandardShapes)
            if (s.Id == CursorName) return &(standard[CursorName] = PlatformCursor{QCursor(s.Shape), true});
        return nullptr;
    }
    if (Instance != HInstance) return nullptr;
    if (auto it = program.find(CursorName); it != program.end()) return it->second;
    for (const auto& c : ProgramCursors())
        if (c.Id == CursorName) return program[CursorName] = BuildProgramCursor(c);
    return nullptr;
}

HCURSOR LoadCursor(HINSTANCE Instance, const char* CursorName) {
    static auto& named = SharedCursors<std::string>();
    if (!CursorName) return nullptr;
    const auto file = FindResourceBytes(Instance, TResourceType::Cursor, CursorName);
    if (!file) return nullptr;
    const std::string key = UpperCase(CursorName);
    if (auto it = named.find(key); it != named.end()) return it->second;
    HCURSOR h = CursorFromFile(*file);
    if (h) h->Shared = true;
    return named[key] = h;
}

HCURSOR CreateCursor(HINSTANCE, int XHotSpot, int YHotSpot, int Width, int Height, const void* AndPlane,
                     const void* XorPlane) {
    if (Width <= 0 || Height <= 0 || !AndPlane || !XorPlane) return nullptr;
    const int stride = (Width + 15) / 16 * 2;
    const auto* a = static_cast<const uint8_t*>(AndPlane);
    const auto* x = static_cast<const uint8_t*>(XorPlane);
    QImage picture(Width, Height, QImage::Format_ARGB32);
    for (int row = 0; row < Height; ++row)
        for (int col = 0; col < Width; ++col) {
            const size_t at = static_cast<size_t>(row * stride + col / 8);
            const int bit = 0x80 >> (col % 8);
            picture.setPixel(col, row, (a[at] & bit ? 0u : 0xFF000000u) | (x[at] & bit ? 0xFFFFFFu : 0u));
        }
    return MakeCursor(picture, {XHotSpot, YHotSpot});
}

bool DestroyCursor(HCURSOR Cursor) {
    if (!Cursor || Cursor->Shared) return false;
    if (Current() == Cursor) Current() = nullptr;
    delete Cursor;
    return true;
}

HCURSOR SetCursor(HCURSOR Cursor) {
    HCURSOR previous = Current();
    Current() = Cursor;
    HWND target = GetCapture();
    if (!IsLiveWindow(target)) {
        TPoint p;
        GetCursorPos(p);
        target = WindowFromPoint(p);
    }
    if (target) ShowOn(target, Cursor);
    return previous;
}

HCURSOR GetCursor() {
    return Current();
}

namespace platform_ui {

void ApplyClassCursor(HWND Wnd, HCURSOR Cursor) {
    if (Cursor) {
        Current() = Cursor;
        ShowOn(Wnd, Cursor);
    } else if (QWidget* widget = WidgetOfWindow(Wnd)) {
        widget->unsetCursor();
    }
}

} // namespace platform_ui

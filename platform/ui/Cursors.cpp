#include "platform/ui/Cursors.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowHost_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QBitmap>
#include <QImage>

#include <cmath>
#include <functional>
#include <map>
#include <vector>

using namespace platform_ui;

namespace {

// Any address tells the program's module apart from the system's (nullptr).
const char ProgramModule = 0;

struct StandardShape {
    int Id;
    Qt::CursorShape Shape;
};

constexpr StandardShape StandardShapes[] = {
    {IDC_ARROW, Qt::ArrowCursor},         {IDC_IBEAM, Qt::IBeamCursor},       {IDC_WAIT, Qt::WaitCursor},
    {IDC_CROSS, Qt::CrossCursor},         {IDC_UPARROW, Qt::UpArrowCursor},   {IDC_SIZENWSE, Qt::SizeFDiagCursor},
    {IDC_SIZENESW, Qt::SizeBDiagCursor},  {IDC_SIZEWE, Qt::SizeHorCursor},    {IDC_SIZENS, Qt::SizeVerCursor},
    {IDC_SIZEALL, Qt::SizeAllCursor},     {IDC_NO, Qt::ForbiddenCursor},      {IDC_HAND, Qt::PointingHandCursor},
    {IDC_APPSTARTING, Qt::BusyCursor},    {IDC_HELP, Qt::WhatsThisCursor},
};

// The compiled-in cursors are 32x32 and drawn here: a pixel is black where the
// figure says so, white where it touches black (an outline that shows on any
// background), transparent elsewhere.
constexpr int Side = 32;
using Figure = std::function<bool(int X, int Y)>;

bool Arrow(int x, int y) { return (y < 16 && x <= y / 2 + 1 && x >= 0) || (y >= 12 && y < 20 && x >= 3 && x <= 4); }
bool Box(int x, int y, int left, int top) { return x >= left && x < left + 10 && y >= top && y < top + 8 && (x == left || x == left + 9 || y == top || y == top + 7); }

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
        {IDC_PROGRAM_MULTIDRAG, {0, 0},
         [](int x, int y) { return Arrow(x, y) || Box(x, y, 8, 20) || Box(x, y, 12, 16); }},
        {IDC_PROGRAM_HSPLIT, {15, 15}, [](int x, int y) { return Split(x, y, true); }},
        {IDC_PROGRAM_VSPLIT, {15, 15}, [](int x, int y) { return Split(x, y, false); }},
    };
    return table;
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

const HINSTANCE HInstance = const_cast<char*>(&ProgramModule);

HCURSOR LoadCursor(HINSTANCE Instance, int CursorName) {
    static std::map<int, PlatformCursor> standard;
    static std::map<int, HCURSOR> program;
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

HCURSOR CreateCursor(HINSTANCE, int XHotSpot, int YHotSpot, int Width, int Height, const void* AndPlane,
                     const void* XorPlane) {
    if (Width <= 0 || Height <= 0 || !AndPlane || !XorPlane) return nullptr;
    EnsureQtApplication(); // pixmaps need the GUI application
    const int stride = (Width + 15) / 16 * 2;
    const auto* a = static_cast<const uint8_t*>(AndPlane);
    const auto* x = static_cast<const uint8_t*>(XorPlane);
    // Qt's bitmap 1 is black and its mask 1 opaque; a pixel in neither is
    // transparent and bitmap 1 without mask inverts, as AND 1 / XOR 1 does.
    QImage bits(Width, Height, QImage::Format_Mono), mask(Width, Height, QImage::Format_Mono);
    bits.setColorCount(2);
    mask.setColorCount(2);
    bits.setColor(0, qRgb(255, 255, 255));
    bits.setColor(1, qRgb(0, 0, 0));
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    for (int row = 0; row < Height; ++row)
        for (int col = 0; col < Width; ++col) {
            const size_t at = static_cast<size_t>(row * stride + col / 8);
            const int bit = 0x80 >> (col % 8);
            const bool andBit = a[at] & bit, xorBit = x[at] & bit;
            bits.setPixel(col, row, andBit == xorBit ? 1 : 0);
            mask.setPixel(col, row, andBit ? 0 : 1);
        }
    return new PlatformCursor{QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), XHotSpot, YHotSpot), false};
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

HCURSOR GetCursor() { return Current(); }

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

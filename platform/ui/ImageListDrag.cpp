// The drag image: a copy of one picture (with an optional cursor picture laid
// over it) in a topmost popup that is shaped by the picture's mask, never
// activated and transparent to the mouse and to WindowFromPoint. Moving or
// hiding it leaves the windows below untouched.
#include "platform/ui/Cursors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ImageList_p.h"

#include <algorithm>
#include <memory>

namespace {

constexpr const char* DragImageClassName = "DragImageOverlay";
constexpr DWORD DragImageExStyle = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

struct DragImageState {
    std::unique_ptr<PlatformImageList> Base; // the dragged picture alone
    TPoint BaseHotspot{};
    std::unique_ptr<PlatformImageList> Shown; // with the cursor picture, if any
    TPoint Hotspot{};
    HWND Lock = nullptr;
    bool Entered = false;
    TPoint Pos{}; // the hot spot, in Lock's window coordinates
    bool Visible = false;
    HWND Window = nullptr;
};

DragImageState& Drag() {
    static DragImageState state;
    return state;
}

std::unique_ptr<PlatformImageList> CopyImage(HIMAGELIST list, int index) {
    auto copy = std::make_unique<PlatformImageList>();
    copy->width = list->width;
    copy->height = list->height;
    copy->masked = list->masked;
    copy->images.push_back(list->images[static_cast<size_t>(index)]);
    copy->masks.push_back(list->masks[static_cast<size_t>(index)]);
    return copy;
}

void OverlayProcedure(HWND Wnd, TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT: {
        TPaintStruct paint;
        HDC dc = BeginPaint(Wnd, paint);
        if (Drag().Shown) ImageList_Draw(Drag().Shown.get(), 0, dc, 0, 0, ILD_TRANSPARENT);
        EndPaint(Wnd, paint);
        return;
    }
    case WM_NCHITTEST:
        m.Result = HTTRANSPARENT;
        return;
    case WM_MOUSEACTIVATE:
        m.Result = MA_NOACTIVATE;
        return;
    default:
        DefWindowProc(Wnd, m);
        return;
    }
}

// Only the picture's opaque pixels show.
HRGN MaskRegion(const PlatformImageList& list) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const std::vector<bool>& mask = list.masks.front();
    for (int y = 0; y < list.height; ++y)
        for (int x = 0; x < list.width;) {
            const auto clear = [&](int px) { return list.masked && mask[static_cast<size_t>(y * list.width + px)]; };
            if (clear(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < list.width && !clear(x))
                ++x;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            CombineRgn(region, region, run, RGN_OR);
            DeleteObject(run);
        }
    return region;
}

TPoint LockOrigin(HWND Lock) {
    TRect r;
    if (Lock && GetWindowRect(Lock, r)) return {r.Left, r.Top};
    return {0, 0};
}

// Puts the window where the state says, with the current picture.
void Place() {
    DragImageState& d = Drag();
    if (!d.Shown || !d.Entered || !d.Visible) {
        if (d.Window) ShowWindow(d.Window, SW_HIDE);
        return;
    }
    if (!d.Window) {
        static const bool registered = RegisterClass({DragImageClassName, 0, OverlayProcedure, nullptr, nullptr});
        (void)registered;
        d.Window = CreateWindowEx(DragImageExStyle, DragImageClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr);
    }
    const TPoint origin = LockOrigin(d.Lock);
    SetWindowPos(d.Window, HWND_TOPMOST, origin.X + d.Pos.X - d.Hotspot.X, origin.Y + d.Pos.Y - d.Hotspot.Y,
                 d.Shown->width, d.Shown->height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(d.Window, nullptr, false);
    UpdateWindow(d.Window);
}

void Reshape() {
    DragImageState& d = Drag();
    if (d.Window && d.Shown) SetWindowRgn(d.Window, MaskRegion(*d.Shown), true);
    Place();
}

} // namespace

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot) {
    if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return 0;
    ImageList_EndDrag();
    DragImageState& d = Drag();
    d.Base = CopyImage(list, index);
    d.BaseHotspot = {dxHotspot, dyHotspot};
    d.Shown = CopyImage(list, index);
    d.Hotspot = d.BaseHotspot;
    return 1;
}

BOOL ImageList_SetDragCursorImage(HIMAGELIST list, int index, int dxHotspot, int dyHotspot) {
    DragImageState& d = Drag();
    if (!d.Base || !list || index < 0 || index >= static_cast<int>(list->images.size())) return 0;
    const PlatformImageList& base = *d.Base;
    // Both pictures in one frame: the cursor's hot spot on the drag hot spot.
    const TPoint cursorAt{d.BaseHotspot.X - dxHotspot, d.BaseHotspot.Y - dyHotspot};
    const int left = std::min(0, cursorAt.X), top = std::min(0, cursorAt.Y);
    const int right = std::max(base.width, cursorAt.X + list->width);
    const int bottom = std::max(base.height, cursorAt.Y + list->height);
    auto merged = std::make_unique<PlatformImageList>();
    merged->width = right - left;
    merged->height = bottom - top;
    merged->masked = true;
    QImage image(merged->width, merged->height, QImage::Format_RGB32);
    image.fill(Qt::black);
    std::vector<bool> mask(static_cast<size_t>(merged->width * merged->height), true);
    const auto lay = [&](const PlatformImageList& from, int at, TPoint to) {
        const std::vector<bool>& fromMask = from.masks[static_cast<size_t>(at)];
        const QImage& picture = from.images[static_cast<size_t>(at)];
        for (int y = 0; y < from.height; ++y)
            for (int x = 0; x < from.width; ++x) {
                if (from.masked && fromMask[static_cast<size_t>(y * from.width + x)]) continue;
                const int mx = to.X - left + x, my = to.Y - top + y;
                image.setPixel(mx, my, picture.pixel(x, y));
                mask[static_cast<size_t>(my * merged->width + mx)] = false;
            }
    };
    lay(base, 0, {0, 0});
    lay(*list, index, cursorAt);
    merged->images.push_back(image);
    merged->masks.push_back(std::move(mask));
    d.Shown = std::move(merged);
    d.Hotspot = {d.BaseHotspot.X - left, d.BaseHotspot.Y - top};
    Reshape();
    return 1;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
    DragImageState& d = Drag();
    if (!d.Shown) return 0;
    d.Lock = lock;
    d.Entered = true;
    d.Visible = true;
    d.Pos = {x, y};
    Reshape();
    return 1;
}

BOOL ImageList_DragMove(int x, int y) {
    DragImageState& d = Drag();
    if (!d.Shown) return 0;
    d.Pos = {x, y};
    Place();
    return 1;
}

BOOL ImageList_DragShowNolock(BOOL show) {
    DragImageState& d = Drag();
    if (!d.Shown) return 0;
    d.Visible = show != 0;
    Place();
    return 1;
}

BOOL ImageList_DragLeave(HWND) {
    DragImageState& d = Drag();
    d.Entered = false;
    d.Lock = nullptr;
    Place();
    return 1;
}

void ImageList_EndDrag() {
    DragImageState& d = Drag();
    if (d.Window) DestroyWindow(d.Window);
    d = DragImageState{};
}

// ---- TDragImageList ---------------------------------------------------------

TDragImageList::~TDragImageList() {
    EndDrag();
}

bool TDragImageList::SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY) {
    if (Index < 0 || Index >= Count()) return false;
    FDragIndex = Index;
    FDragHotspot = {HotSpotX, HotSpotY};
    return true;
}

bool TDragImageList::BeginDrag(HWND Window, Integer X, Integer Y) {
    if (FDragIndex >= Count() || !ImageList_BeginDrag(Handle(), FDragIndex, FDragHotspot.X, FDragHotspot.Y))
        return false;
    FDragging = ImageList_DragEnter(Window, X, Y);
    if (FDragging) SetCursor(Screen->Cursors(FDragCursor));
    return FDragging;
}

bool TDragImageList::DragMove(Integer X, Integer Y) {
    return FDragging && ImageList_DragMove(X, Y);
}

bool TDragImageList::EndDrag() {
    if (!FDragging) return false;
    FDragging = false;
    ImageList_EndDrag();
    return true;
}

void TDragImageList::HideDragImage() {
    if (FDragging) ImageList_DragShowNolock(false);
}

void TDragImageList::ShowDragImage() {
    if (FDragging) ImageList_DragShowNolock(true);
}

void TDragImageList::SetDragCursor(TCursor Value) {
    if (Value == FDragCursor) return;
    FDragCursor = Value;
    if (FDragging) SetCursor(Screen->Cursors(FDragCursor));
}

// Painting into backing images. The invalid region is ours, not Qt's: Qt's
// paint events only copy the image to the screen (painting first when the
// window is still invalid), so every pixel a window procedure draws can be read
// back headless, and XOR drawing and scrolling behave as on Win32. A window
// holds its image only from its first drawing until it hides, so hidden pages
// and windows never painted cost nothing.
#include "platform/ui/Painting.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/MessageQueue_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <unordered_map>
#include <utility>

using namespace platform_ui;

namespace {

QSize WindowImageSize(HWND w) {
    return {std::max(w->WindowRect.Width(), 1), std::max(w->WindowRect.Height(), 1)};
}

// The image is made when the window first draws into it or shows; until its
// first paint it is white.
QImage& ImageOf(HWND w) {
    if (w->Image.isNull()) {
        w->Image = QImage(WindowImageSize(w), QImage::Format_RGB32);
        w->Image.fill(Qt::white);
    }
    return w->Image;
}

class BackingWidget : public QWidget {
public:
    explicit BackingWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_InputMethodEnabled);
        setMouseTracking(true);
        // Qt must not move its focus on clicks: the window procedures decide.
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        HWND w = WindowOfWidget(this);
        if (!w || WidgetOfWindow(w) != this) return;
        QtEventScope scope;
        // A failed first paint is reported from the queue, not from inside Qt's paint.
        ReportFailuresLater later;
        if (NeedsPaint(w)) PaintWindowNow(w, true);
        if (!IsLiveWindow(w)) return;
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.drawImage(0, 0, ImageOf(w));
    }
};

// The overlay's untouched pixels hold this colour and are not shown; a window
// procedure drawing in exactly this colour over a native widget goes unseen.
constexpr QRgb OverlayKey = 0xFF010203;

QImage& OverlayImageOf(HWND w) {
    const QSize size = WindowImageSize(w);
    if (w->OverlayImage.size() != size) {
        w->OverlayImage = QImage(size, QImage::Format_RGB32);
        w->OverlayImage.fill(OverlayKey);
    }
    return w->OverlayImage;
}

// A native window is drawn over: it has no frame of its own, so the client
// area and the window are one.
HDC CreateOverlayDC(HWND w) {
    return CreateImageDC(&OverlayImageOf(w), QRegion(QRect(QPoint(0, 0), WindowImageSize(w))), QPoint(0, 0));
}

class PaintOverlay : public QWidget {
public:
    PaintOverlay(HWND w, QWidget* native) : QWidget(native), FWindow(w) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(native->rect());
        native->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // It covers the widget, above the inner widgets the widget makes later.
        if (event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
        if (event->type() == QEvent::ChildPolished) raise();
        return false;
    }
    void paintEvent(QPaintEvent* event) override {
        HWND w = FWindow;
        if (!IsLiveWindow(w) || w->Overlay != this) return;
        QtEventScope scope;
        ReportFailuresLater later;
        const QRect area = event->rect();
        if (!std::exchange(w->OverlayDrawnByDC, false)) {
            // The widget painted below: what was drawn over it there is gone.
            QPainter clear(&OverlayImageOf(w));
            clear.fillRect(area, QColor::fromRgb(OverlayKey));
            clear.end();
            w->OverlayPainting = true;
            RunGuarded([&] { SendMessage(w, WM_PAINT, 0, 0); });
            if (!IsLiveWindow(w)) return;
            w->OverlayPainting = false;
        }
        QImage shown = OverlayImageOf(w).copy(area).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x)
                if (line[x] == OverlayKey) line[x] = 0;
        }
        QPainter painter(this);
        painter.drawImage(area.topLeft(), shown);
    }

private:
    HWND FWindow;
};

std::unordered_map<HDC, HWND>& DCWindows() {
    static std::unordered_map<HDC, HWND> map;
    return map;
}

QPoint ClientOrigin(HWND w) {
    return {w->ClientRect.Left, w->ClientRect.Top};
}

QRegion ClientArea(HWND w) {
    return QRegion(0, 0, w->ClientRect.Width(), w->ClientRect.Height());
}

QRegion ToRegion(HWND w, const TRect* rect) {
    if (!rect) return ClientArea(w);
    if (IsRectEmpty(*rect)) return {};
    return QRegion(rect->Left, rect->Top, rect->Width(), rect->Height()) & ClientArea(w);
}

int Complexity(const QRegion& region) {
    if (region.isEmpty()) return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void CopyRegionInto(HRGN target, const QRegion& region) {
    if (!target) return;
    HRGN source = CreateRegionFrom(region);
    CombineRgn(target, source, nullptr, RGN_COPY);
    DeleteObject(source);
}

TRect BoundsOf(const QRegion& region) {
    const QRect r = region.boundingRect();
    if (r.isEmpty()) return {};
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void AddInvalid(HWND w, const QRegion& region, bool erase) {
    if (region.isEmpty()) return;
    w->Invalid += region;
    if (erase) w->EraseNeeded = true;
    ScheduleDrain();
}

} // namespace

namespace platform_ui {

QWidget* CreateWindowWidget(HWND, QWidget* Parent) {
    return new BackingWidget(Parent);
}

void AttachPaintOverlay(HWND Wnd, QWidget* Widget) {
    Wnd->Overlay = new PaintOverlay(Wnd, Widget);
}

void ResizeBackingImage(HWND Wnd) {
    if (!Wnd->SelfPainting() || Wnd->Image.isNull() || Wnd->Image.size() == WindowImageSize(Wnd)) return;
    const QImage old = std::exchange(Wnd->Image, QImage());
    QPainter painter(&ImageOf(Wnd));
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, old);
}

void ReleaseBackingImages(HWND Wnd) {
    const auto release = [](HWND w) {
        if (!w->SelfPainting()) return;
        w->Image = QImage();
        w->Invalid = ClientArea(w);
        w->EraseNeeded = true;
        w->FrameInvalid = true;
    };
    release(Wnd);
    EnumChildWindows(Wnd, [&release](HWND child) {
        release(child);
        return true;
    });
}

bool NeedsPaint(HWND Wnd) {
    return IsLiveWindow(Wnd) && Wnd->SelfPainting() && !Wnd->RedrawDisabled && IsWindowVisible(Wnd) &&
           (Wnd->FrameInvalid || !Wnd->Invalid.isEmpty());
}

void PaintWindowNow(HWND Wnd, bool Queued) {
    if (!IsLiveWindow(Wnd)) return;
    if (Wnd->FrameInvalid) {
        Wnd->FrameInvalid = false;
        RunGuarded([&] { SendMessage(Wnd, WM_NCPAINT, 1, 0); });
    }
    if (!IsLiveWindow(Wnd) || Wnd->Invalid.isEmpty()) return;
    const QRegion painting = Wnd->Invalid;
    RunGuarded([&] {
        if (Queued) MarkNextDeliveryPosted();
        SendMessage(Wnd, WM_PAINT, 0, 0);
    });
    // A paint that failed or never called BeginPaint still validates what it
    // was asked to paint; what was invalidated meanwhile stays invalid.
    if (IsLiveWindow(Wnd) && !Wnd->Invalid.isEmpty()) {
        Wnd->Invalid -= painting;
        if (Wnd->Invalid.isEmpty()) Wnd->EraseNeeded = false;
    }
}

void InvalidateFrame(HWND Wnd) {
    if (!Wnd->SelfPainting()) return;
    Wnd->FrameInvalid = true;
    ScheduleDrain();
}

void ShowImageChanged(HWND Wnd) {
    if (QWidget* overlay = Wnd->Overlay.data()) {
        // Drawing during the paint that follows the widget's shows with it.
        if (Wnd->OverlayPainting) return;
        Wnd->OverlayDrawnByDC = true;
        overlay->update();
        return;
    }
    if (QWidget* widget = Wnd->Widget.data()) widget->update();
}

QImage* BackingImageOfWindow(HWND Wnd) {
    return IsLiveWindow(Wnd) && Wnd->SelfPainting() ? &ImageOf(Wnd) : nullptr;
}

QPoint ClientOriginOfWindow(HWND Wnd) {
    return IsLiveWindow(Wnd) ? ClientOrigin(Wnd) : QPoint();
}

QImage RenderWindow(HWND Wnd) {
    QWidget* widget = WidgetOfWindow(Wnd);
    if (!widget) return {};
    // Bring every invalid window of the tree up to date first.
    if (NeedsPaint(Wnd)) PaintWindowNow(Wnd);
    EnumChildWindows(Wnd, [](HWND child) {
        if (NeedsPaint(child)) PaintWindowNow(child);
        return true;
    });
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace platform_ui

HDC BeginPaint(HWND Wnd, TPaintStruct& Paint) {
    Paint = {};
    if (!IsLiveWindow(Wnd)) return nullptr;
    if (Wnd->FrameInvalid) {
        Wnd->FrameInvalid = false;
        SendMessage(Wnd, WM_NCPAINT, 1, 0);
        if (!IsLiveWindow(Wnd)) return nullptr;
    }
    const QRegion region = Wnd->Invalid & ClientArea(Wnd);
    const bool erase = Wnd->EraseNeeded;
    Wnd->Invalid = QRegion();
    Wnd->EraseNeeded = false;
    HDC dc = Wnd->SelfPainting() ? CreateImageDC(&ImageOf(Wnd), region, ClientOrigin(Wnd)) : CreateMeasureDC();
    DCWindows()[dc] = Wnd;
    Paint.hdc = dc;
    Paint.rcPaint = BoundsOf(region);
    Paint.fErase = erase ? 1 : 0;
    if (erase && !region.isEmpty())
        Paint.fErase = SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 ? 1 : 0;
    return dc;
}

bool EndPaint(HWND Wnd, const TPaintStruct& Paint) {
    if (!Paint.hdc) return false;
    ReleaseDC(Wnd, Paint.hdc);
    return true;
}

bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase) {
    if (!IsLiveWindow(Wnd)) return false;
    if (!Wnd->SelfPainting()) {
        if (QWidget* widget = Wnd->Widget.data()) widget->update();
        return true;
    }
    AddInvalid(Wnd, ToRegion(Wnd, Rect), Erase);
    return true;
}

bool InvalidateRgn(HWND Wnd, HRGN Region, bool Erase) {
    if (!IsLiveWindow(Wnd)) return false;
    if (!Region) return InvalidateRect(Wnd, nullptr, Erase);
    if (!Wnd->SelfPainting()) return InvalidateRect(Wnd, nullptr, Erase);
    AddInvalid(Wnd, RegionOf(Region) & ClientArea(Wnd), Erase);
    return true;
}

bool ValidateRect(HWND Wnd, const TRect* Rect) {
    if (!IsLiveWindow(Wnd)) return false;
    Wnd->Invalid -= ToRegion(Wnd, Rect);
    if (Wnd->Invalid.isEmpty()) Wnd->EraseNeeded = false;
    return true;
}

bool ValidateRgn(HWND Wnd, HRGN Region) {
    if (!IsLiveWindow(Wnd)) return false;
    if (!Region) return ValidateRect(Wnd, nullptr);
    Wnd->Invalid -= RegionOf(Region);
    if (Wnd->Invalid.isEmpty()) Wnd->EraseNeeded = false;
    return true;
}

bool UpdateWindow(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return false;
    if (NeedsPaint(Wnd)) PaintWindowNow(Wnd);
    return true;
}

void PaintOnScreenNow(HWND Wnd) {
    if (!IsLiveWindow(Wnd) || !IsWindowVisible(Wnd)) return;
    QWidget* top = Wnd->Widget ? Wnd->Widget->window() : nullptr;
    QWindow* window = top ? top->windowHandle() : nullptr;
    if (!window) return;
    // The desktop maps a new window in its own time; a paint before that is lost.
    constexpr int ExposeWaitMs = 1000;
    QElapsedTimer waited;
    waited.start();
    while (!window->isExposed() && waited.elapsed() < ExposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    if (!IsLiveWindow(Wnd)) return;
    // Qt's paint of the whole window paints every invalid window inside it.
    top->repaint();
    QGuiApplication::sync();
}

bool RedrawWindow(HWND Wnd, const TRect* Rect, HRGN Region, UINT Flags) {
    if (!IsLiveWindow(Wnd)) return false;
    if (Flags & RDW_INVALIDATE) {
        if (Region)
            InvalidateRgn(Wnd, Region, Flags & RDW_ERASE);
        else
            InvalidateRect(Wnd, Rect, Flags & RDW_ERASE);
        if (Flags & RDW_FRAME) InvalidateFrame(Wnd);
    }
    if (Flags & RDW_VALIDATE) {
        if (Region)
            ValidateRgn(Wnd, Region);
        else
            ValidateRect(Wnd, Rect);
        if (Flags & RDW_NOFRAME) Wnd->FrameInvalid = false;
    }
    if (Flags & RDW_ALLCHILDREN)
        EnumChildWindows(Wnd, [Flags](HWND child) {
            if (Flags & RDW_INVALIDATE) InvalidateRect(child, nullptr, Flags & RDW_ERASE);
            if ((Flags & RDW_INVALIDATE) && (Flags & RDW_FRAME)) InvalidateFrame(child);
            if (Flags & RDW_VALIDATE) ValidateRect(child, nullptr);
            return true;
        });
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        UpdateWindow(Wnd);
        if (Flags & RDW_ALLCHILDREN)
            EnumChildWindows(Wnd, [](HWND child) {
                UpdateWindow(child);
                return true;
            });
    }
    return true;
}

bool GetUpdateRect(HWND Wnd, TRect* Rect, bool) {
    if (!IsLiveWindow(Wnd)) return false;
    if (Rect) *Rect = BoundsOf(Wnd->Invalid);
    return !Wnd->Invalid.isEmpty();
}

int GetUpdateRgn(HWND Wnd, HRGN Region, bool) {
    if (!IsLiveWindow(Wnd)) return RGN_ERROR;
    CopyRegionInto(Region, Wnd->Invalid);
    return Complexity(Wnd->Invalid);
}

HDC GetDC(HWND Wnd) {
    if (!Wnd) return CreateMeasureDC();
    if (!IsLiveWindow(Wnd)) return nullptr;
    HDC dc = Wnd->SelfPainting() ? CreateImageDC(&ImageOf(Wnd), ClientArea(Wnd), ClientOrigin(Wnd))
             : Wnd->Overlay      ? CreateOverlayDC(Wnd)
                                 : CreateMeasureDC();
    DCWindows()[dc] = Wnd;
    return dc;
}

HDC GetWindowDC(HWND Wnd) {
    if (!Wnd) return CreateMeasureDC();
    if (!IsLiveWindow(Wnd)) return nullptr;
    HDC dc = Wnd->SelfPainting()
                 ? CreateImageDC(&ImageOf(Wnd), QRegion(QRect(QPoint(0, 0), WindowImageSize(Wnd))), QPoint(0, 0))
             : Wnd->Overlay ? CreateOverlayDC(Wnd)
                            : CreateMeasureDC();
    DCWindows()[dc] = Wnd;
    return dc;
}

int ReleaseDC(HWND Wnd, HDC DC) {
    if (!DC) return 0;
    auto& map = DCWindows();
    auto it = map.find(DC);
    HWND owner = it != map.end() ? it->second : Wnd;
    if (it != map.end()) map.erase(it);
    ReleaseImageDC(DC);
    if (IsLiveWindow(owner)) ShowImageChanged(owner);
    return 1;
}

int ScrollWindowEx(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip, HRGN Update, TRect* UpdateRect,
                   UINT Flags) {
    if (!IsLiveWindow(Wnd)) return RGN_ERROR;
    const QRegion clip = ToRegion(Wnd, Clip);
    const QRegion source = ToRegion(Wnd, Scroll) & clip;
    const QRegion destination = source.translated(DX, DY) & clip;
    const QRegion uncovered = source - destination;
    // Only the pixels a window holds move; one without an image has none yet.
    if (Wnd->SelfPainting() && !Wnd->Image.isNull() && !destination.isEmpty() && (DX || DY)) {
        const QPoint origin = ClientOrigin(Wnd);
        const QRect from = (destination.translated(-DX, -DY)).boundingRect().translated(origin);
        const QImage pixels = Wnd->Image.copy(from);
        QPainter painter(&Wnd->Image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRegion(destination.translated(origin));
        painter.drawImage(from.topLeft() + QPoint(DX, DY), pixels);
        painter.end();
        ShowImageChanged(Wnd);
    }
    // What was waiting to be painted in the moved area moves with it.
    const QRegion pendingMoved = (Wnd->Invalid & source).translated(DX, DY) & clip;
    if (!pendingMoved.isEmpty()) AddInvalid(Wnd, pendingMoved, Wnd->EraseNeeded);
    if (Flags & SW_INVALIDATE) AddInvalid(Wnd, uncovered, (Flags & SW_ERASE) != 0);
    CopyRegionInto(Update, uncovered);
    if (UpdateRect) *UpdateRect = BoundsOf(uncovered);
    return Complexity(uncovered);
}

bool ScrollWindow(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip) {
    return ScrollWindowEx(Wnd, DX, DY, Scroll, Clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE) != RGN_ERROR;
}

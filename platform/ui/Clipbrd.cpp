// Text goes through QClipboard as is (UTF-8 here, Unicode there); pictures
// are copied pixel by pixel between the bitmap's canvas and a QImage. Qt
// reports every change of the system clipboard, ours or another program's,
// and the first viewer hears of it.
#include "platform/ui/Clipbrd.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <map>

using namespace platform_ui;

namespace {
QClipboard* System() {
    EnsureQtApplication();
    return QGuiApplication::clipboard();
}

HWND& FirstViewer() {
    static HWND viewer = nullptr;
    return viewer;
}

void TellFirstViewer() {
    // A viewer destroyed without leaving the chain breaks it, as it would on Win32.
    if (IsWindow(FirstViewer())) RunGuarded([] { SendMessage(FirstViewer(), WM_DRAWCLIPBOARD, 0, 0); });
}

void ListenToSystemClipboard() {
    static bool listening = false;
    if (listening) return;
    listening = true;
    QObject::connect(System(), &QClipboard::dataChanged, [] { TellFirstViewer(); });
}
} // namespace

UINT RegisterClipboardFormat(const std::string& Name) {
    static std::map<std::string, UINT> formats;
    constexpr UINT FirstRegisteredFormat = 0xC000;
    auto it = formats.find(Name);
    if (it != formats.end()) return it->second;
    const UINT format = FirstRegisteredFormat + static_cast<UINT>(formats.size());
    formats.emplace(Name, format);
    return format;
}

const UINT CF_PICTURE = RegisterClipboardFormat("Picture");

HWND SetClipboardViewer(HWND Wnd) {
    ListenToSystemClipboard();
    const HWND next = FirstViewer();
    FirstViewer() = Wnd;
    SendMessage(Wnd, WM_DRAWCLIPBOARD, 0, 0);
    return next;
}

bool ChangeClipboardChain(HWND Remove, HWND NewNext) {
    const HWND first = FirstViewer();
    if (!first) return false;
    if (first == Remove)
        FirstViewer() = NewNext;
    else
        SendMessage(first, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(Remove), reinterpret_cast<LPARAM>(NewNext));
    return true;
}

HWND GetClipboardViewer() {
    return FirstViewer();
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

std::string TClipboard::AsText() const {
    return FromQString(System()->text());
}

void TClipboard::SetAsText(const std::string& Value) {
    System()->setText(ToQString(Value));
}

bool TClipboard::HasFormat(UINT Format) const {
    const QMimeData* data = System()->mimeData();
    if (!data) return false;
    if (Format == CF_TEXT || Format == CF_UNICODETEXT) return data->hasText();
    if (Format == CF_BITMAP || Format == CF_PICTURE) return data->hasImage();
    return false;
}

void TClipboard::Clear() {
    System()->clear();
}

void TClipboard::Assign(TPersistent* Source) {
    TBitmap* bitmap = dynamic_cast<TBitmap*>(Source);
    std::unique_ptr<TBitmap> converted;
    if (!bitmap) {
        TGraphic* graphic = nullptr;
        if (auto* picture = dynamic_cast<TPicture*>(Source))
            graphic = picture->Graphic();
        else
            graphic = dynamic_cast<TGraphic*>(Source);
        if (!graphic) {
            TPersistent::Assign(Source);
            return;
        }
        converted = std::make_unique<TBitmap>();
        converted->SetSize(graphic->Width(), graphic->Height());
        converted->Canvas()->StretchDraw(Rect(0, 0, graphic->Width(), graphic->Height()), graphic);
        bitmap = converted.get();
    }
    QImage image(bitmap->Width(), bitmap->Height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap->Height(); ++y)
        for (int x = 0; x < bitmap->Width(); ++x) {
            const COLORREF c = static_cast<COLORREF>(ColorToRGB(bitmap->Canvas()->Pixels(x, y)));
            image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    System()->setImage(image);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    TBitmap* bitmap = dynamic_cast<TBitmap*>(Dest);
    auto* picture = dynamic_cast<TPicture*>(Dest);
    if (picture) bitmap = picture->Bitmap();
    if (!bitmap) {
        TPersistent::AssignTo(Dest);
        return;
    }
    const QImage image = System()->image().convertToFormat(QImage::Format_RGB32);
    bitmap->SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            bitmap->Canvas()->SetPixels(x, y, static_cast<TColor>(RGB(qRed(p), qGreen(p), qBlue(p))));
        }
}

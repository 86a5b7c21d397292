// The MDI wallpaper. Unit-wide state: every wallpaper (one client, one
// wallpaper), the ones to re-tint on a system colour change together with the
// hook on the main window that hears it, and the grey map built on first need.
#include "components/MDIWallpaper.h"

#include "components/ColorRoutines.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr UINT RehookMessage = 0xB052;
constexpr int ScrollLinePixels = 8;
constexpr int ScrollLineSteps = 3;
constexpr int GrayMapLevels = 256;
constexpr int GrayMapFaceLevel = 192;
} // namespace

struct WallpaperRegistry {
    std::vector<TMDIWallpaper*> All;
    std::vector<TMDIWallpaper*> SysColor;
    HWND MainWindow = nullptr;
    TWindowProcedureId MainHook = 0;
    std::vector<TColor> GrayMap;

    static WallpaperRegistry& Get() {
        static WallpaperRegistry registry;
        return registry;
    }

    void BuildGrayMap() {
        const THLS face = RGBtoHLS(static_cast<TColor>(ColorToRGB(clBtnFace)));
        const THLS highlight = RGBtoHLS(static_cast<TColor>(ColorToRGB(clBtnHighlight)));
        const int lf = face.L;
        const int lh = highlight.L;
        GrayMap.assign(GrayMapLevels, 0);
        for (int i = 0; i <= GrayMapFaceLevel; ++i)
            GrayMap[i] = HLStoRGB(face.H, lf * i / GrayMapFaceLevel, face.S);
        for (int i = GrayMapFaceLevel + 1; i < GrayMapLevels; ++i)
            GrayMap[i] = HLStoRGB(
                face.H, lf + (lh - lf) * (i - GrayMapFaceLevel) / (GrayMapLevels - 1 - GrayMapFaceLevel), face.S);
    }

    // The main window reports system colour changes; it may not exist yet
    // when the first wallpaper registers, so the hook is made when it does.
    void HookMainWindow() {
        if (MainHook || SysColor.empty() || !Application->MainForm()) return;
        MainWindow = Application->MainForm()->Handle();
        MainHook = PushWindowProc(MainWindow, [this](HWND wnd, TMessage& m) {
            if (m.Msg == WM_SYSCOLORCHANGE) {
                BuildGrayMap();
                const std::vector<TMDIWallpaper*> wallpapers = SysColor;
                for (TMDIWallpaper* w : wallpapers)
                    w->SysColorChanged();
            }
            CallNextWindowProc(wnd, MainHook, m);
        });
    }

    void UnhookMainWindow() {
        if (MainHook && IsWindow(MainWindow)) RemoveWindowProc(MainWindow, MainHook);
        MainHook = 0;
        MainWindow = nullptr;
    }
};

TMDIWallpaper::TMDIWallpaper(TComponent* AOwner) : TComponent(AOwner) {
    FHandle = AllocateHWnd([this](HWND wnd, TMessage& m) { HiddenWndProc(wnd, m); });
    FCanvas = std::make_unique<TCanvas>();
    FTransparentColor = clDefault;
    FPicture = std::make_unique<TPicture>();
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    FEnabled = true;
    FInfo = std::make_unique<TComponentInfo>(this, "", "", "Tiles, centres, stretches or pins a picture.", "1.0", "",
                                             "Corvanta");
    WallpaperRegistry& registry = WallpaperRegistry::Get();
    registry.SysColor.push_back(this);
    registry.All.push_back(this);
    if (ComponentState().Contains(csDesigning))
        if (auto* owner = dynamic_cast<TWinControl*>(AOwner)) SetClientEx(owner, false);
}

TMDIWallpaper::~TMDIWallpaper() {
    DeallocateHWnd(FHandle);
    WallpaperRegistry& registry = WallpaperRegistry::Get();
    std::erase(registry.SysColor, this);
    if (registry.SysColor.empty()) registry.UnhookMainWindow();
    UnhookClient();
    std::erase(registry.All, this);
}

void TMDIWallpaper::Loaded() {
    TComponent::Loaded();
    HookClient();
}

void TMDIWallpaper::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == FClient) {
        UnhookClient();
        FClient = nullptr;
    }
    TComponent::Notification(AComponent, Operation);
}

bool TMDIWallpaper::ClientIsOwnerForm() const {
    return FClient && FClient == Owner() && dynamic_cast<TCustomForm*>(Owner());
}

void TMDIWallpaper::SetClientIsOwnerForm(bool Value) {
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); Value && form) SetClient(form);
}

void TMDIWallpaper::SetClientEx(TWinControl* Value, bool AllowTake) {
    if (Value == FClient) return;
    if (FClient && !ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading))
        throw EMDIWallpaper("Cannot change a TMDIWallpaper's Client property at runtime.");
    if (Value)
        for (TMDIWallpaper* other : WallpaperRegistry::Get().All)
            if (other != this && other->FClient == Value) {
                if (!AllowTake) return;
                // Taking over is allowed even at run time: the other one lets go.
                other->UnhookClient();
                other->FClient->RemoveFreeNotification(other);
                other->FClient = nullptr;
            }
    if (FClient) {
        UnhookClient();
        FClient->RemoveFreeNotification(this);
    }
    FClient = Value;
    if (FClient) {
        FClient->FreeNotification(this);
        if (!ComponentState().Contains(csLoading)) HookClient();
    }
}

HWND TMDIWallpaper::ClientWindow() const {
    if (!FClient || !FClient->HandleAllocated()) return nullptr;
    if (FMDIFrame)
        if (auto* form = dynamic_cast<TCustomForm*>(FClient)) return form->ClientHandle();
    return const_cast<TWinControl*>(FClient)->Handle();
}

bool TMDIWallpaper::ClientDestroying() const {
    return FClient && FClient->ComponentState().Contains(csDestroying);
}

void TMDIWallpaper::HookClient() {
    if (!FClient || FClientHook || FClient->ComponentState().Contains(csLoading)) return;
    auto* form = dynamic_cast<TCustomForm*>(FClient);
    if (form && ComponentState().Contains(csDesigning)) return;
    FClient->HandleNeeded();
    FMDIFrame = form && form->FormStyle() == fsMDIForm;
    FHookedWindow = ClientWindow();
    if (!FHookedWindow) return;
    FClientHook = PushWindowProc(FHookedWindow, [this](HWND wnd, TMessage& m) { ClientWndProc(wnd, m); });
    WallpaperRegistry::Get().HookMainWindow();
    PrepareBitmap();
}

// Procedures leave the chain by id, in any order, so a hook pushed after ours
// stays whole when ours leaves first: that is no broken chain here. Ours can
// only fail to leave a live window when someone else already took it off.
void TMDIWallpaper::UnhookClient() {
    if (!FClientHook || !FClient) return;
    if (IsWindow(FHookedWindow) && !RemoveWindowProc(FHookedWindow, FClientHook) && !ClientDestroying()) {
        const std::string owner = Owner() ? Owner()->Name() : std::string();
        Application->MessageBox("Message from " + owner + "." + Name() + ":\r\n\r\nOops... Messing up " +
                                    FClient->Name() + "'s window procedure chain.",
                                Application->Title(), MB_OK | MB_ICONWARNING);
    }
    FClientHook = 0;
    Invalidate();
    FHookedWindow = nullptr;
    FMDIFrame = false;
}

void TMDIWallpaper::HiddenWndProc(HWND Wnd, TMessage& Message) {
    if (Message.Msg == RehookMessage) {
        HookClient();
        return;
    }
    DefWindowProc(Wnd, Message);
}

void TMDIWallpaper::Invalidate() {
    if (ComponentState().Contains(csReading) || ClientDestroying()) return;
    HWND wnd = FHookedWindow && IsWindow(FHookedWindow) ? FHookedWindow : ClientWindow();
    if (wnd) InvalidateRect(wnd, nullptr, true);
}

// ---- Properties ---------------------------------------------------------------

void TMDIWallpaper::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Invalidate();
}

void TMDIWallpaper::SetMode(TWallpaperMode Value) {
    if (Value == FMode) return;
    const TWallpaperMode old = FMode;
    FMode = Value;
    if (old == wpTile || Value == wpTile) {
        if (FPicture->Width() == FTileWidth && FPicture->Height() == FTileHeight)
            Invalidate();
        else
            PictureChanged();
    } else {
        Invalidate();
    }
}

void TMDIWallpaper::SetShift(int Value) {
    if (Value == FShift) return;
    FShift = Value;
    FZigzag = false;
    if (FMode == wpTile) Invalidate();
}

void TMDIWallpaper::SetShiftMode(TShiftMode Value) {
    if (Value == FShiftMode) return;
    FShiftMode = Value;
    if (FMode == wpTile) Invalidate();
}

void TMDIWallpaper::SetZigzag(bool Value) {
    if (Value == FZigzag) return;
    FZigzag = Value;
    if (FMode == wpTile) Invalidate();
}

void TMDIWallpaper::SetTileWidth(int Value) {
    if (FAutoSizeTile) return;
    Value = std::max(Value, FPicture->Width());
    if (Value == FTileWidth) return;
    FTileWidth = Value;
    if (FMode == wpTile) PictureChanged();
}

void TMDIWallpaper::SetTileHeight(int Value) {
    if (FAutoSizeTile) return;
    Value = std::max(Value, FPicture->Height());
    if (Value == FTileHeight) return;
    FTileHeight = Value;
    if (FMode == wpTile) PictureChanged();
}

void TMDIWallpaper::SetAutoSizeTile(bool Value) {
    if (Value == FAutoSizeTile) return;
    FAutoSizeTile = Value;
    if (FMode == wpTile && !(FPicture->Width() == FTileWidth && FPicture->Height() == FTileHeight)) PictureChanged();
}

void TMDIWallpaper::SetFitPictureSize(bool Value) {
    if (Value == FFitPictureSize) return;
    FFitPictureSize = Value;
    if (FMode != wpTile && FMode != wpStretch) Invalidate();
}

void TMDIWallpaper::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    PictureChanged();
}

void TMDIWallpaper::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor) return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    if (FTransparent) PrepareBitmap();
}

void TMDIWallpaper::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    if (Value == tmFixed)
        SetTransparentColor(TransparentColor());
    else
        SetTransparentColor(clDefault);
}

TColor TMDIWallpaper::TransparentColor() const {
    constexpr TColor transparentFlag = 0x02000000;
    TColor colour = static_cast<TColor>(ColorToRGB(FTransparentColor));
    if (FTransparentColor == clDefault)
        if (auto* bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic())) {
            if (bitmap->Monochrome())
                colour = clWhite;
            else
                colour = bitmap->Canvas()->Pixels(0, bitmap->Height() - 1);
        }
    return colour | transparentFlag;
}

void TMDIWallpaper::SetGrayMapped(bool Value) {
    if (Value == FGrayMapped) return;
    if (Value && WallpaperRegistry::Get().GrayMap.empty()) WallpaperRegistry::Get().BuildGrayMap();
    FGrayMapped = Value;
    PrepareBitmap();
}

void TMDIWallpaper::SysColorChanged() {
    if (FGrayMapped) PrepareBitmap();
}

// ---- Preparing the picture -----------------------------------------------------

void TMDIWallpaper::PictureChanged() {
    if (FPreparing) return;
    const int w = FPicture->Width();
    const int h = FPicture->Height();
    FHasPicture = w > 0 && h > 0;
    if (!(w <= FTileWidth && h <= FTileHeight && (!FAutoSizeTile || !FHasPicture))) {
        FTileWidth = w;
        FTileHeight = h;
    }
    if (TGraphic* graphic = FPicture->Graphic()) graphic->SetTransparent(FTransparent);
    PrepareBitmap();
}

void TMDIWallpaper::FillAndDraw(TGraphic* Graphic, TPoint Offset) {
    TCanvas* canvas = FBitmap->Canvas();
    canvas->Brush()->SetColor(FClient->Color());
    canvas->FillRect(Rect(0, 0, FTileWidth, FTileHeight));
    canvas->Draw(Offset.X, Offset.Y, Graphic);
}

void TMDIWallpaper::PrepareBitmap() {
    if (FPreparing || !FClient) return;
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty()) {
        FBitmap.reset();
        Invalidate();
        return;
    }
    FPreparing = true;
    struct ClearFlag {
        bool& Flag;
        ~ClearFlag() { Flag = false; }
    } clearFlag{FPreparing};

    TPoint offset = Point(0, 0);
    bool needsFilling = false;
    if (FMode == wpTile) {
        offset = Point((FTileWidth - graphic->Width()) / 2, (FTileHeight - graphic->Height()) / 2);
        needsFilling = offset.X != 0 || offset.Y != 0;
    }
    auto* jpeg = dynamic_cast<TJPEGImage*>(graphic);
    auto* bitmap = dynamic_cast<TBitmap*>(graphic);
    // Icons and pictures with their own alpha are laid on the client's colour.
    const bool iconLike = !jpeg && !bitmap;
    const bool masking = (FTransparent && !jpeg) || iconLike;
    if (!masking && !FGrayMapped && !needsFilling) {
        FBitmap.reset();
        Invalidate();
        return;
    }
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    if (FMode == wpTile)
        FBitmap->SetSize(FTileWidth, FTileHeight);
    else
        FBitmap->SetSize(graphic->Width(), graphic->Height());

    if (iconLike) {
        FillAndDraw(graphic, offset);
    } else if (masking) {
        TBitmap work;
        work.Assign(bitmap);
        const TColor transparent = TransparentColor() & 0xFFFFFF;
        TImageList list(nullptr);
        list.SetWidth(graphic->Width());
        list.SetHeight(graphic->Height());
        if (FGrayMapped) {
            TBitmap mask;
            mask.SetPixelFormat(pf1bit);
            mask.SetSize(work.Width(), work.Height());
            for (int y = 0; y < work.Height(); ++y)
                for (int x = 0; x < work.Width(); ++x)
                    mask.Canvas()->SetPixels(
                        x, y, (work.Canvas()->Pixels(x, y) & 0xFFFFFF) == transparent ? clWhite : clBlack);
            TBitmap mapped;
            GrayMapBitmap(&mapped, &work);
            list.Add(&mapped, &mask);
        } else {
            list.AddMasked(&work, transparent);
        }
        FBitmap->SetHandleType(bmDDB);
        TCanvas* canvas = FBitmap->Canvas();
        canvas->Brush()->SetColor(FClient->Color());
        canvas->FillRect(Rect(0, 0, FTileWidth, FTileHeight));
        list.SetBkColor(static_cast<TColor>(ColorToRGB(FClient->Color())));
        list.Draw(canvas, offset.X, offset.Y, 0);
    } else if (!FGrayMapped) {
        FillAndDraw(graphic, offset);
    } else {
        TBitmap work;
        if (jpeg) {
            // Decoded as greys for the copy only; the picture keeps its colours.
            const bool wasGray = jpeg->Grayscale();
            jpeg->SetGrayscale(true);
            work.SetSize(jpeg->Width(), jpeg->Height());
            work.Canvas()->Draw(0, 0, jpeg);
            jpeg->SetGrayscale(wasGray);
            TBitmap mapped;
            GrayMapBitmap(&mapped, &work);
            FillAndDraw(&mapped, offset);
        } else {
            GrayMapBitmap(&work, graphic);
            FillAndDraw(&work, offset);
        }
    }
    Invalidate();
}

void TMDIWallpaper::GrayMapBitmap(TBitmap* Work, TGraphic* Graphic) {
    std::vector<TColor> ramp(GrayMapLevels);
    for (int i = 0; i < GrayMapLevels; ++i)
        ramp[i] = MakeColor(static_cast<Byte>(i), static_cast<Byte>(i), static_cast<Byte>(i));
    auto* bitmap = dynamic_cast<TBitmap*>(Graphic);
    if (bitmap &&
        (bitmap->PixelFormat() == pf1bit || bitmap->PixelFormat() == pf4bit || bitmap->PixelFormat() == pf8bit)) {
        Work->Assign(bitmap);
    } else {
        Work->SetPixelFormat(pf8bit);
        Work->SetSize(Graphic->Width(), Graphic->Height());
        SetDIBColors(Work, 0, ramp);
        const bool wasTransparent = Graphic->Transparent();
        Graphic->SetTransparent(false);
        Work->Canvas()->Draw(0, 0, Graphic);
        Graphic->SetTransparent(wasTransparent);
    }
    WallpaperRegistry& registry = WallpaperRegistry::Get();
    if (registry.GrayMap.empty()) registry.BuildGrayMap();
    Work->SetHandle(CreateMappedBmp(Work->Handle(), ramp, registry.GrayMap));
}

// ---- Painting ------------------------------------------------------------------

int TMDIWallpaper::FloorOffset(int Value, int Size) {
    if (Size == 0) return Value;
    if (Value > 0) return Value % Size - Size;
    if (Value < 0) return Value - (Value / Size) * Size;
    return 0;
}

int TMDIWallpaper::ScrollDelta(HWND Wnd, int Bar, int Code, int ThumbPosition) {
    TScrollInfo info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Wnd, Bar, info)) return 0;
    const int p = std::max(static_cast<int>(info.nPage) - 1, 0);
    int d = 0;
    switch (Code) {
    case SB_LINEUP:
        d = std::min(info.nPos - info.nMin, ScrollLineSteps);
        break;
    case SB_LINEDOWN:
        d = std::max(info.nPos - (info.nMax - p), -ScrollLineSteps);
        break;
    case SB_PAGEUP:
        d = std::min(p, info.nPos - info.nMin);
        break;
    case SB_PAGEDOWN:
        d = -std::min(p, info.nMax - p - info.nPos);
        break;
    case SB_THUMBPOSITION:
        // The thumb carries where the bar goes, not how far: from a position
        // other than 0 the origin moves by the difference.
        d = info.nPos - static_cast<int16_t>(ThumbPosition);
        break;
    default:
        break;
    }
    return d * ScrollLinePixels;
}

void TMDIWallpaper::ClientWndProc(HWND Wnd, TMessage& Message) {
    const TWindowProcedureId hook = FClientHook;
    if (!FMDIFrame) {
        if (FEnabled && Message.Msg == WM_PAINT && PaintBuffered(Message)) return;
        if (FEnabled && Message.Msg == WM_ERASEBKGND && EraseBackground(Message)) return;
        CallNextWindowProc(Wnd, hook, Message);
        if (Message.Msg == CM_RELEASE) return;
    } else {
        if (FEnabled && Message.Msg == WM_ERASEBKGND && PaintBackground(reinterpret_cast<HDC>(Message.WParam))) {
            Message.Result = 1;
            return;
        }
        // The scroll position is read before the client scrolls.
        if (Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) {
            const bool horizontal = Message.Msg == WM_HSCROLL;
            const int delta =
                ScrollDelta(Wnd, horizontal ? SB_HORZ : SB_VERT, LoWord(Message.WParam), HiWord(Message.WParam));
            (horizontal ? FOffsetX : FOffsetY) += delta;
        }
        // Handled before our own steps, so a destroyed window's chain is done with us.
        CallNextWindowProc(Wnd, hook, Message);
    }
    switch (Message.Msg) {
    case WM_DESTROY:
        UnhookClient();
        if (!ClientDestroying()) PostMessage(FHandle, RehookMessage);
        break;
    case WM_SIZE:
        if (FMode != wpTile && FMode != wpTopLeft) Invalidate();
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (FMode != wpTile) Invalidate();
        break;
    default:
        break;
    }
}

bool TMDIWallpaper::ClientDoubleBuffered() const {
    return FClient && FClient->DoubleBuffered();
}

// A double-buffered control gets background and content in one memory bitmap
// that reaches the window in one copy. The erasing BeginPaint asks for
// (wParam != lParam) is left out; an erase into a buffer of the control's own
// (wParam == lParam) is painted.
bool TMDIWallpaper::PaintBuffered(TMessage& Message) {
    if (!FEnabled || !FHasPicture || !ClientDoubleBuffered() || Message.WParam != 0) return false;
    // Held here: the control's own painting may unhook us.
    const HWND wnd = FHookedWindow;
    const TWindowProcedureId hook = FClientHook;
    TRect client;
    GetClientRect(wnd, client);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.Right, client.Bottom);
    ReleaseDC(nullptr, screen);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    TPaintStruct paint;
    HDC dc = BeginPaint(wnd, paint);
    // The region is validated and the objects freed however the painting ends.
    struct Release {
        HWND Wnd;
        TPaintStruct& Paint;
        HDC Memory;
        HGDIOBJ Previous;
        HBITMAP Bitmap;
        ~Release() {
            EndPaint(Wnd, Paint);
            SelectObject(Memory, Previous);
            DeleteDC(Memory);
            DeleteObject(Bitmap);
        }
    } release{wnd, paint, memory, previous, bitmap};
    PaintBackground(memory);
    TMessage content = Message;
    content.WParam = reinterpret_cast<WPARAM>(memory);
    CallNextWindowProc(wnd, hook, content);
    Message.Result = content.Result;
    BitBlt(dc, 0, 0, client.Right, client.Bottom, memory, 0, 0, SRCCOPY);
    return true;
}

bool TMDIWallpaper::EraseBackground(TMessage& Message) {
    if (!FEnabled || !FHasPicture) return false;
    const bool leftToBufferedPaint = ClientDoubleBuffered() && Message.WParam != static_cast<WPARAM>(Message.LParam);
    if (!IsIconic(FHookedWindow) && !leftToBufferedPaint) PaintBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return true;
}

bool TMDIWallpaper::PaintBackground(HDC DC) {
    if (!FHasPicture || !FClient || !FClient->HandleAllocated()) return false;
    PaintWallpaper(DC, FBitmap ? FBitmap.get() : FPicture->Graphic());
    return true;
}

void TMDIWallpaper::PaintWallpaper(HDC DC, TGraphic* Graphic) {
    const int saved = SaveDC(DC);
    FCanvas->SetHandle(DC);
    struct Unbind {
        TCanvas* Canvas;
        HDC DC;
        int Saved;
        ~Unbind() {
            Canvas->SetHandle(nullptr);
            RestoreDC(DC, Saved);
        }
    } unbind{FCanvas.get(), DC, saved};

    if (FMode == wpTile) {
        DrawTiles(FCanvas.get(), Graphic);
        return;
    }
    TRect r;
    if (FMDIFrame) {
        GetClientRect(FHookedWindow, r);
        const LONG_PTR style = GetWindowLong(FHookedWindow, GWL_STYLE);
        if (style & WS_VSCROLL) r.Right += GetSystemMetrics(SM_CXVSCROLL);
        if (style & WS_HSCROLL) r.Bottom += GetSystemMetrics(SM_CYHSCROLL);
    } else {
        r = ScrolledClientRect();
    }
    const int W = r.Width();
    const int H = r.Height();
    int w = Graphic->Width();
    int h = Graphic->Height();
    if (FFitPictureSize && FMode != wpStretch && w > 0 && h > 0) {
        const double f = std::min(static_cast<double>(W) / w, static_cast<double>(H) / h);
        w = static_cast<int>(std::nearbyint(w * f));
        h = static_cast<int>(std::nearbyint(h * f));
    }
    FCanvas->Brush()->Assign(FClient->Brush());
    const int cx = r.Left + (W - w) / 2;
    const int cy = r.Top + (H - h) / 2;
    TRect place;
    switch (FMode) {
    case wpCenter:
        place = Bounds(cx, cy, w, h);
        break;
    case wpTopLeft:
        place = Bounds(r.Left, r.Top, w, h);
        break;
    case wpTopRight:
        place = Bounds(r.Right - w, r.Top, w, h);
        break;
    case wpBottomLeft:
        place = Bounds(r.Left, r.Bottom - h, w, h);
        break;
    case wpBottomRight:
        place = Bounds(r.Right - w, r.Bottom - h, w, h);
        break;
    case wpTop:
        place = Bounds(cx, r.Top, w, h);
        break;
    case wpLeft:
        place = Bounds(r.Left, cy, w, h);
        break;
    case wpBottom:
        place = Bounds(cx, r.Bottom - h, w, h);
        break;
    case wpRight:
        place = Bounds(r.Right - w, cy, w, h);
        break;
    default:
        place = r;
        break;
    }
    if (FMode != wpStretch) {
        FCanvas->FillRect(Rect(r.Left, r.Top, r.Right, place.Top));
        FCanvas->FillRect(Rect(r.Left, place.Bottom, r.Right, r.Bottom));
        FCanvas->FillRect(Rect(r.Left, place.Top, place.Left, place.Bottom));
        FCanvas->FillRect(Rect(place.Right, place.Top, r.Right, place.Bottom));
    }
    FCanvas->StretchDraw(place, Graphic);
}

void TMDIWallpaper::DrawTiles(TCanvas* Canvas, TGraphic* Graphic) {
    if (FTileWidth <= 0 || FTileHeight <= 0) return;
    TRect r;
    GetClientRect(FHookedWindow, r);
    int x0 = 0;
    int y0 = 0;
    if (FMDIFrame) {
        x0 = FOffsetX;
        y0 = FOffsetY;
    } else {
        const TRect scrolled = ScrolledClientRect();
        x0 = scrolled.Left;
        y0 = scrolled.Top;
    }
    const int tw = FTileWidth;
    const int th = FTileHeight;
    const int k = FShiftMode == smRows ? static_cast<int>(std::floor(-static_cast<double>(y0) / th))
                                       : static_cast<int>(std::floor(-static_cast<double>(x0) / tw));
    const int sx = FloorOffset(x0, tw);
    const int sy = FloorOffset(y0, th);
    const int areaWidth = r.Right - sx;
    const int areaHeight = r.Bottom - sy;
    auto firstShift = [&](int size) {
        if (FZigzag) return (k % 2 != 0) ? size / 2 : 0;
        return ((k * FShift) % size + size) % size;
    };
    // Kept in 0..size - 1 for a negative Shift too: a row shifted left would
    // leave its last pixels at the right edge unpainted.
    auto nextShift = [&](int s, int size) { return FZigzag ? s ^ (size / 2) : ((s + FShift) % size + size) % size; };
    if (FShiftMode == smRows) {
        int s = firstShift(tw);
        for (int row = 0; row * th < areaHeight; ++row) {
            for (int col = s != 0 ? -1 : 0; col * tw < areaWidth; ++col)
                Canvas->Draw(col * tw + sx + s, row * th + sy, Graphic);
            s = nextShift(s, tw);
        }
    } else {
        int s = firstShift(th);
        for (int col = 0; col * tw < areaWidth; ++col) {
            for (int row = s != 0 ? -1 : 0; row * th < areaHeight; ++row)
                Canvas->Draw(col * tw + sx, row * th + sy + s, Graphic);
            s = nextShift(s, th);
        }
    }
}

TRect TMDIWallpaper::ScrolledClientRect() const {
    TRect r;
    GetClientRect(FHookedWindow, r);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(FHookedWindow, SB_HORZ, info) && info.nPage != 0) {
        r.Right = std::max(r.Right, info.nMax);
        OffsetRect(r, -info.nPos, 0);
    }
    info = TScrollInfo();
    info.fMask = SIF_ALL;
    if (GetScrollInfo(FHookedWindow, SB_VERT, info) && info.nPage != 0) {
        const int unit = VerticalScrollUnit();
        r.Bottom = std::max(r.Bottom, info.nMax * unit);
        OffsetRect(r, 0, -info.nPos * unit);
    }
    return r;
}

// Pixels per step of the vertical bar: a list box's item height, a tree
// view's row height (when it shows a row), else 1. A window that is no tree
// view answers 0 to the tree view's question.
int TMDIWallpaper::VerticalScrollUnit() const {
    if (dynamic_cast<TCustomListBox*>(FClient)) {
        const LRESULT height = SendMessage(FHookedWindow, LB_GETITEMHEIGHT, 0, 0);
        return height > 0 ? static_cast<int>(height) : 1;
    }
    const LRESULT top = SendMessage(FHookedWindow, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
    if (!top) return 1;
    TRect row{};
    std::memcpy(static_cast<void*>(&row), &top, sizeof top);
    if (!SendMessage(FHookedWindow, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return 1;
    return std::max(row.Height(), 1);
}

// Image lists: each image is an RGB32 picture of the list's size with a mask
// of transparent pixels; drawing writes the pixels through the DC's clip.
#include "platform/ui/ImageList.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/ImageList_p.h"

#include <algorithm>

using namespace platform_ui;

namespace {

bool Valid(HIMAGELIST list, int index) {
    return list && index >= 0 && index < static_cast<int>(list->images.size());
}

// Splits a strip into images of the list's size; `transparent` decides the mask.
template <typename Transparent> int AddStrip(HIMAGELIST list, const QImage& strip, Transparent transparent) {
    if (!list || strip.isNull()) return -1;
    const int first = static_cast<int>(list->images.size());
    const int count = std::max(1, strip.width() / list->width);
    for (int i = 0; i < count; ++i) {
        QImage image(list->width, list->height, QImage::Format_RGB32);
        image.fill(Qt::black);
        std::vector<bool> mask(static_cast<size_t>(list->width * list->height), false);
        for (int y = 0; y < list->height && y < strip.height(); ++y)
            for (int x = 0; x < list->width && i * list->width + x < strip.width(); ++x) {
                const int sx = i * list->width + x;
                const bool clear = list->masked && transparent(sx, y);
                mask[static_cast<size_t>(y * list->width + x)] = clear;
                image.setPixel(x, y, clear ? qRgb(0, 0, 0) : strip.pixel(sx, y));
            }
        list->images.push_back(image);
        list->masks.push_back(std::move(mask));
    }
    return first;
}

} // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int, int) {
    auto* list = new PlatformImageList;
    list->width = std::max(width, 1);
    list->height = std::max(height, 1);
    list->masked = flags & ILC_MASK;
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    delete list;
    return list != nullptr;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    const QImage strip = ImageOfBitmap(image);
    const QImage maskImage = ImageOfBitmap(mask);
    return AddStrip(list, strip, [&](int x, int y) {
        return !maskImage.isNull() && x < maskImage.width() && y < maskImage.height() &&
               (maskImage.pixel(x, y) & 0xFFFFFF) != 0;
    });
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
    const QImage strip = ImageOfBitmap(image);
    return AddStrip(list, strip, [&](int x, int y) { return ColorRefOf(strip.pixel(x, y)) == (maskColor & 0xFFFFFF); });
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
    if (list && index == -1) {
        list->images.clear();
        list->masks.clear();
        return 1;
    }
    if (!Valid(list, index)) return 0;
    list->images.erase(list->images.begin() + index);
    list->masks.erase(list->masks.begin() + index);
    return 1;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height) {
    if (!list) return 0;
    if (width) *width = list->width;
    if (height) *height = list->height;
    return 1;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
    if (!list) return CLR_NONE;
    const COLORREF previous = list->bkColor;
    list->bkColor = color;
    return previous;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
    return list ? list->bkColor : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk, COLORREF rgbFg,
                      UINT style) {
    if (!Valid(list, index) || !IsLiveDC(dc)) return 0;
    const QImage& image = list->images[static_cast<size_t>(index)];
    const std::vector<bool>& mask = list->masks[static_cast<size_t>(index)];
    const int width = dx > 0 ? std::min(dx, list->width) : list->width;
    const int height = dy > 0 ? std::min(dy, list->height) : list->height;
    if (rgbBk == CLR_DEFAULT) rgbBk = list->bkColor;
    const bool drawMask = style & ILD_MASK;
    const bool useMask = list->masked && !(style & ILD_IMAGE);
    const bool transparent = (style & ILD_TRANSPARENT) || rgbBk == CLR_NONE;
    const UINT blend = style & (ILD_BLEND25 | ILD_BLEND50);
    const COLORREF blendColor = rgbFg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg;
    const QPoint at = ToDevice(dc, x, y);
    const QPoint offset = SurfaceOffset(dc);
    ForEachPixel(dc, QRegion(QRect(at, QSize(width, height))), [&](QImage& surface, int ix, int iy) {
        const int px = ix - offset.x() - at.x(), py = iy - offset.y() - at.y();
        const bool clear = useMask && mask[static_cast<size_t>(py * list->width + px)];
        if (drawMask) {
            WritePixel(surface, ix, iy, clear ? 0xFFFFFF : 0);
            return;
        }
        if (clear) {
            if (!transparent) WritePixel(surface, ix, iy, rgbBk);
            return;
        }
        COLORREF color = ColorRefOf(image.pixel(px, py));
        // Blending dithers the highlight over every other (or every fourth) pixel.
        if (blend && rgbFg != CLR_NONE) {
            const bool over = (blend & ILD_BLEND50) ? ((px + py) & 1) == 0 : ((px & 1) == 0 && (py & 1) == 0);
            if (over) color = blendColor;
        }
        WritePixel(surface, ix, iy, color);
    });
    return 1;
}

// TChangeLink

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    Fire(OnChange, FSender);
}

// TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : FClients)
        link->SetSender(nullptr);
    ImageList_Destroy(FHandle);
}

HIMAGELIST TCustomImageList::Handle() {
    if (!FHandle) FHandle = ImageList_Create(FWidth, FHeight, FMasked ? ILC_MASK : ILC_COLOR, 0, FAllocBy);
    ImageList_SetBkColor(FHandle, ToImageListColor(FBkColor));
    return FHandle;
}

void TCustomImageList::Recreate() {
    ImageList_Destroy(FHandle);
    FHandle = nullptr;
    Change();
}

Integer TCustomImageList::Count() const {
    return ImageList_GetImageCount(FHandle);
}

void TCustomImageList::SetWidth(Integer Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Recreate();
}

void TCustomImageList::SetHeight(Integer Value) {
    if (FHeight == Value) return;
    FHeight = Value;
    Recreate();
}

void TCustomImageList::SetMasked(bool Value) {
    if (FMasked == Value) return;
    FMasked = Value;
    Recreate();
}

void TCustomImageList::SetBkColor(TColor Value) {
    FBkColor = Value;
    if (FHandle) ImageList_SetBkColor(FHandle, ToImageListColor(Value));
    Change();
}

COLORREF TCustomImageList::ToImageListColor(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(Color);
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image) return -1;
    const int index = ImageList_Add(Handle(), Image->Handle(), Mask ? Mask->Handle() : nullptr);
    Change();
    return index;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image) return -1;
    if (MaskColor == clDefault) MaskColor = Image->TransparentColor();
    const int index = ImageList_AddMasked(Handle(), Image->Handle(), ColorToRGB(MaskColor));
    Change();
    return index;
}

Integer TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || !Image->Handle()) return -1;
    // The icon's alpha gives the mask.
    const QImage icon = ImageOfIcon(Image->Handle()).scaled(FWidth, FHeight);
    const int index = AddStrip(Handle(), icon, [&](int x, int y) { return qAlpha(icon.pixel(x, y)) < 128; });
    Change();
    return index;
}

void TCustomImageList::Delete(Integer Index) {
    if (ImageList_Remove(FHandle, Index)) Change();
}

void TCustomImageList::Clear() {
    Delete(-1);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
    if (!FHandle || Index < 0 || Index >= Count()) return;
    HDC dc = Canvas->Handle();
    if (Enabled) {
        static constexpr UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        const UINT style = styles[FDrawingStyle] | (FImageType == itMask ? ILD_MASK : 0);
        ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, ToImageListColor(FBkColor), ToImageListColor(FBlendColor),
                         style);
        return;
    }
    // Disabled: the image's darker opaque pixels, in highlight one pixel down
    // and right, then in shadow.
    const QImage& image = FHandle->images[static_cast<size_t>(Index)];
    const std::vector<bool>& mask = FHandle->masks[static_cast<size_t>(Index)];
    const QPoint offset = SurfaceOffset(dc);
    for (int pass = 0; pass < 2; ++pass) {
        const QPoint at = ToDevice(dc, X + 1 - pass, Y + 1 - pass);
        const COLORREF color = GetSysColor(pass == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        ForEachPixel(dc, QRegion(QRect(at, QSize(FWidth, FHeight))), [&](QImage& surface, int ix, int iy) {
            const int px = ix - offset.x() - at.x(), py = iy - offset.y() - at.y();
            if (mask[static_cast<size_t>(py * FWidth + px)]) return;
            const QRgb c = image.pixel(px, py);
            if (qGray(c) < 192) WritePixel(surface, ix, iy, color);
        });
    }
}

bool TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
    if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
    Image->SetSize(FWidth, FHeight);
    Draw(Image->Canvas(), 0, 0, Index);
    return true;
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    Value->SetSender(this);
    FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Value), FClients.end());
    Value->SetSender(nullptr);
}

void TCustomImageList::Change() {
    for (TChangeLink* link : FClients)
        link->Change();
    Fire(OnChange, this);
}

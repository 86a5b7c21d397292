// Fonts, pens, brushes, the canvas and bitmaps over the GDI handle table.
#include "platform/ui/Graphics.h"

#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/GraphicsStreams_p.h"
#include "platform/ui/private/Resources_p.h"

#include <QBuffer>

#include <mutex>

using namespace platform_ui;

namespace {

const TFont* AsFont(TPersistent* p) {
    return dynamic_cast<TFont*>(p);
}

std::vector<QRgb> GreyRamp(int count) {
    std::vector<QRgb> ramp;
    for (int i = 0; i < count; ++i) {
        const int v = count == 1 ? 0 : i * 255 / (count - 1);
        ramp.push_back(qRgb(v, v, v));
    }
    return ramp;
}

// The default colour tables of the paletted formats: black and white, the 16
// VGA colours, and for 8 bits a 6 x 6 x 6 cube followed by greys.
QList<QRgb> DefaultPalette(TPixelFormat format) {
    if (format == pf1bit) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (format == pf4bit)
        return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
                qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    QList<QRgb> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                table << qRgb(r * 51, g * 51, b * 51);
    for (QRgb grey : GreyRamp(40))
        table << grey;
    return table;
}

int BitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    default:
        return 32;
    }
}

// The image converted to a pixel format, colours matched to the nearest entry of the default table.
QImage InFormat(const QImage& image, TPixelFormat format) {
    if (BitsOf(format) == 32) return image.convertToFormat(QImage::Format_RGB32);
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() == DefaultPalette(format).size()) return image;
    return image.convertToFormat(QImage::Format_RGB32)
        .convertToFormat(QImage::Format_Indexed8, DefaultPalette(format), Qt::ThresholdDither | Qt::AvoidDither);
}

HBITMAP NewBitmap(const QImage& image, TPixelFormat format) {
    HBITMAP b = CreateBitmap(1, 1, 1, 32, nullptr);
    b->image = InFormat(image, format);
    b->bitsPerPixel = BitsOf(format);
    return b;
}

} // namespace

namespace platform_ui {

std::vector<Byte> ReadRest(TStream* Stream) {
    const Int64 size = Stream->Size() - Stream->Position();
    std::vector<Byte> bytes(static_cast<size_t>(std::max<Int64>(size, 0)));
    if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    return bytes;
}

QImage ReadImage(TStream* Stream, const char* format, const char* error) {
    const std::vector<Byte> bytes = ReadRest(Stream);
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), format)) throw EInvalidGraphic(error);
    return image;
}

void WriteImage(TStream* Stream, const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    if (!bytes.isEmpty()) Stream->WriteBuffer(bytes.constData(), static_cast<Integer>(bytes.size()));
}

} // namespace platform_ui

void TGraphicsObject::Changed() {
    Fire(OnChange, this);
}

// TFont

TFont::TFont() : FCharset(DEFAULT_CHARSET) {}
TFont::~TFont() {
    FreeHandle();
}

void TFont::FreeHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::Changed() {
    FreeHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* Source) {
    if (const TFont* f = AsFont(Source)) {
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONT lf;
        lf.lfHeight = FHeight;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic);
        lf.lfUnderline = FStyle.Contains(fsUnderline);
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
        lf.lfCharSet = FCharset;
        lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lf.lfFaceName = FName;
        FHandle = CreateFontIndirect(lf);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Value) {
    LOGFONT lf;
    if (!GetObject(Value, lf)) return;
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    FStyle = {};
    if (lf.lfWeight >= FW_BOLD) FStyle += fsBold;
    if (lf.lfItalic) FStyle += fsItalic;
    if (lf.lfUnderline) FStyle += fsUnderline;
    if (lf.lfStrikeOut) FStyle += fsStrikeOut;
    FCharset = lf.lfCharSet;
    FPitch = (lf.lfPitchAndFamily & 3) == FIXED_PITCH      ? fpFixed
             : (lf.lfPitchAndFamily & 3) == VARIABLE_PITCH ? fpVariable
                                                           : fpDefault;
    Changed();
}

#define FONT_SETTER(Setter, Type, Field)                                                                               \
    void TFont::Setter(Type Value) {                                                                                   \
        if (Field == Value) return;                                                                                    \
        Field = Value;                                                                                                 \
        Changed();                                                                                                     \
    }
FONT_SETTER(SetName, const std::string&, FName)
FONT_SETTER(SetHeight, Integer, FHeight)
FONT_SETTER(SetStyle, TFontStyles, FStyle)
FONT_SETTER(SetCharset, TFontCharset, FCharset)
FONT_SETTER(SetPitch, TFontPitch, FPitch)
#undef FONT_SETTER

// Colour changes keep the font handle: the colour is the DC's, not the font's.
void TFont::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    TGraphicsObject::Changed();
}

Integer TFont::Size() const {
    return -MulDiv(FHeight, 72, PixelsPerInch());
}
void TFont::SetSize(Integer Value) {
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

// TPen

TPen::~TPen() {
    if (FHandle) DeleteObject(FHandle);
}

void TPen::Changed() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle() {
    if (!FHandle) {
        static constexpr int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}

#define PEN_SETTER(Setter, Type, Field)                                                                                \
    void TPen::Setter(Type Value) {                                                                                    \
        if (Field == Value) return;                                                                                    \
        Field = Value;                                                                                                 \
        Changed();                                                                                                     \
    }
PEN_SETTER(SetColor, TColor, FColor)
PEN_SETTER(SetWidth, Integer, FWidth)
PEN_SETTER(SetStyle, TPenStyle, FStyle)
PEN_SETTER(SetMode, TPenMode, FMode)
#undef PEN_SETTER

int TPen::Rop2Of(TPenMode Mode) {
    static constexpr int rops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                   R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                   R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                   R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    return rops[Mode];
}

// TBrush

TBrush::~TBrush() {
    if (FHandle) DeleteObject(FHandle);
}

void TBrush::Changed() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        if (FBitmap && FBitmap->Handle())
            FHandle = CreatePatternBrush(FBitmap->Handle());
        else if (FStyle == bsClear)
            FHandle = CreateBrushIndirect(LOGBRUSH{BS_NULL, 0, 0});
        else if (FStyle == bsSolid)
            FHandle = CreateSolidBrush(ColorToRGB(FColor));
        else
            FHandle = CreateHatchBrush(FStyle - bsHorizontal, ColorToRGB(FColor));
    }
    return FHandle;
}

void TBrush::SetColor(TColor Value) {
    if (FColor == Value && FStyle != bsClear) return;
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
    FBitmap = Value;
    Changed();
}

// TCanvas

// A changed pen, brush or font makes a new handle, which the next drawing call
// selects; the old one goes once the DC lets it go.
TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()),
      FCopyMode(SRCCOPY) {}

TCanvas::~TCanvas() {
    DeselectHandles();
}

HDC TCanvas::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (FHandle == Value) return;
    DeselectHandles();
    FHandle = Value;
}

void TCanvas::DeselectHandles() {
    if (FSelected && FHandle) {
        SelectObject(FHandle, FOldPen);
        SelectObject(FHandle, FOldBrush);
        SelectObject(FHandle, FOldFont);
    }
    FSelected = false;
}

void TCanvas::RequireState() {
    HDC dc = Handle();
    if (!dc) throw EInvalidGraphicOperation("Canvas does not allow drawing");
    HGDIOBJ pen = SelectObject(dc, FPen->Handle());
    HGDIOBJ brush = SelectObject(dc, FBrush->Handle());
    HGDIOBJ font = SelectObject(dc, FFont->Handle());
    if (!FSelected) {
        FOldPen = pen;
        FOldBrush = brush;
        FOldFont = font;
        FSelected = true;
    }
    SetTextColor(dc, ColorToRGB(FFont->Color()));
    SetBkColor(dc, ColorToRGB(FBrush->Color()));
    SetBkMode(dc, FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE);
    SetROP2(dc, TPen::Rop2Of(FPen->Mode()));
}

void TCanvas::Refresh() {
    DeselectHandles();
    if (FHandle) RequireState();
}

void TCanvas::Changing() {
    Fire(OnChanging, this);
}

void TCanvas::Changed() {
    Fire(OnChange, this);
}

TPoint TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

void TCanvas::SetPenPos(TPoint Value) {
    MoveTo(Value.X, Value.Y);
}

TRect TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::MoveTo(Integer X, Integer Y) {
    RequireState();
    MoveToEx(FHandle, X, Y, nullptr);
}

#define CANVAS_DRAW(body)                                                                                              \
    Changing();                                                                                                        \
    RequireState();                                                                                                    \
    body;                                                                                                              \
    Changed();

void TCanvas::LineTo(Integer X, Integer Y) {
    CANVAS_DRAW(::LineTo(FHandle, X, Y))
}
void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
    CANVAS_DRAW(::Rectangle(FHandle, X1, Y1, X2, Y2))
}
void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
    CANVAS_DRAW(::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3))
}
void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
    CANVAS_DRAW(::Ellipse(FHandle, X1, Y1, X2, Y2))
}
void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    CANVAS_DRAW(::Polygon(FHandle, Points.data(), static_cast<int>(Points.size())))
}
void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    CANVAS_DRAW(::Polyline(FHandle, Points.data(), static_cast<int>(Points.size())))
}
void TCanvas::FillRect(const TRect& Rect) {
    CANVAS_DRAW(::FillRect(FHandle, &Rect, FBrush->Handle()))
}
void TCanvas::FrameRect(const TRect& Rect) {
    CANVAS_DRAW(::FrameRect(FHandle, &Rect, FBrush->Handle()))
}
void TCanvas::DrawFocusRect(const TRect& Rect) {
    CANVAS_DRAW(::DrawFocusRect(FHandle, &Rect))
}

void TCanvas::TextOut(Integer X, Integer Y, const std::string& Text) {
    CANVAS_DRAW(::ExtTextOut(FHandle, X, Y, 0, nullptr, Text.data(), static_cast<int>(Text.size()), nullptr));
    MoveToEx(FHandle, X + TextWidth(Text), Y, nullptr);
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const std::string& Text) {
    const UINT options = ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0);
    CANVAS_DRAW(::ExtTextOut(FHandle, X, Y, options, &Rect, Text.data(), static_cast<int>(Text.size()), nullptr))
}

TSize TCanvas::TextExtent(const std::string& Text) {
    RequireState();
    SIZE size{};
    GetTextExtentPoint32(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
    return size;
}

TColor TCanvas::Pixels(Integer X, Integer Y) {
    RequireState();
    return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value) {
    CANVAS_DRAW(SetPixelV(FHandle, X, Y, ColorToRGB(Value)))
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    CANVAS_DRAW(Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height())))
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    CANVAS_DRAW(Graphic->Draw(this, Rect))
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    HDC source = Canvas->Handle();
    CANVAS_DRAW(StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), source, Source.Left, Source.Top,
                           Source.Width(), Source.Height(), FCopyMode))
}
#undef CANVAS_DRAW

namespace {
std::recursive_mutex& CanvasMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}
} // namespace

void TCanvas::Lock() {
    CanvasMutex().lock();
    ++FLockCount;
}

void TCanvas::Unlock() {
    --FLockCount;
    CanvasMutex().unlock();
}

bool TCanvas::TryLock() {
    if (!CanvasMutex().try_lock()) return false;
    ++FLockCount;
    return true;
}

// TGraphic

void TGraphic::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    Fire(OnChange, this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// TBitmap

// The canvas of a bitmap: a memory DC holding the bitmap, made on first use
// and dropped whenever the bitmap's handle changes.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext() {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        if (!dc) return;
        SetHandle(nullptr);
        SelectObject(dc, FOldBitmap);
        DeleteDC(dc);
    }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        FOldBitmap = FBitmap->FHandle ? SelectObject(dc, FBitmap->FHandle) : GetCurrentObject(dc, OBJ_BITMAP);
        SetHandle(dc);
    }
    void Changed() override {
        TCanvas::Changed();
        FBitmap->TGraphic::Changed();
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

void TBitmap::Replace(HBITMAP Value) {
    if (FCanvas) FCanvas->FreeContext();
    if (FHandle && FHandle != Value) DeleteObject(FHandle);
    FHandle = Value;
    FEmptyWidth = FEmptyHeight = 0;
    Changed();
}

void TBitmap::SetHandle(HBITMAP Value) {
    Replace(Value);
    if (Value) {
        const int bits = Value->bitsPerPixel;
        FPixelFormat = bits == 1 ? pf1bit : bits == 4 ? pf4bit : bits == 8 ? pf8bit : pfDevice;
    }
}

HBITMAP TBitmap::ReleaseHandle() {
    if (FCanvas) FCanvas->FreeContext();
    HBITMAP handle = FHandle;
    FHandle = nullptr;
    return handle;
}

Integer TBitmap::Width() const {
    return FHandle ? FHandle->image.width() : FEmptyWidth;
}
Integer TBitmap::Height() const {
    return FHandle ? FHandle->image.height() : FEmptyHeight;
}
void TBitmap::SetWidth(Integer Value) {
    SetSize(Value, Height());
}
void TBitmap::SetHeight(Integer Value) {
    SetSize(Width(), Value);
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
    if (AWidth == Width() && AHeight == Height()) return;
    if (AWidth <= 0 || AHeight <= 0) {
        Replace(nullptr);
        FEmptyWidth = std::max(AWidth, 0);
        FEmptyHeight = std::max(AHeight, 0);
        return;
    }
    QImage image(AWidth, AHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (FHandle) {
        const QImage old = ImageOfBitmap(FHandle);
        for (int y = 0; y < std::min(AHeight, old.height()); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(old.constScanLine(y)), std::min(AWidth, old.width()),
                        reinterpret_cast<QRgb*>(image.scanLine(y)));
    }
    HBITMAP fresh = NewBitmap(image, FPixelFormat);
    if (FHandle && FHandle->image.format() == QImage::Format_Indexed8 && fresh->bitsPerPixel == FHandle->bitsPerPixel)
        fresh->image = QImage(image).convertToFormat(QImage::Format_Indexed8, FHandle->image.colorTable(),
                                                     Qt::ThresholdDither | Qt::AvoidDither);
    Replace(fresh);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (FPixelFormat == Value) return;
    FPixelFormat = Value;
    if (FHandle) Replace(NewBitmap(ImageOfBitmap(FHandle), Value));
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (!FHandle) return clDefault;
    return static_cast<TColor>(ReadPixel(FHandle->image, 0, FHandle->image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    FTransparentMode = Value;
    if (Value == tmAuto) FTransparentColor = clDefault;
    Changed();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        Replace(nullptr);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        HBITMAP copy = nullptr;
        if (b->FHandle) {
            copy = CreateBitmap(1, 1, 1, 32, nullptr);
            copy->image = b->FHandle->image.copy();
            copy->bitsPerPixel = b->FHandle->bitsPerPixel;
        }
        FPixelFormat = b->FPixelFormat;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        Replace(copy);
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        j->DIBNeeded();
        Assign(j->Bitmap());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Other pictures are drawn onto the canvas's brush colour.
        SetSize(g->Width(), g->Height());
        if (Empty()) return;
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
        Canvas()->Draw(0, 0, g);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream* Stream) {
    const QImage image = ReadImage(Stream, "BMP", "Bitmap image is not valid");
    TPixelFormat format = pf24bit;
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        format = pf1bit;
    else if (image.format() == QImage::Format_Indexed8)
        format = image.colorCount() <= 16 ? pf4bit : pf8bit;
    HBITMAP handle = CreateBitmap(1, 1, 1, 32, nullptr);
    handle->bitsPerPixel = BitsOf(format);
    // Paletted files keep their own colour tables.
    handle->image = BitsOf(format) == 32 ? image.convertToFormat(QImage::Format_RGB32)
                                         : image.convertToFormat(QImage::Format_Indexed8);
    FPixelFormat = format;
    Replace(handle);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    const auto bytes = FindResourceBytes(Instance, TResourceType::Bitmap, ResName);
    if (!bytes) throw EResNotFound(Format("Resource %s not found", ResName));
    TMemoryStream stream;
    stream.WriteBuffer(bytes->data(), static_cast<Integer>(bytes->size()));
    stream.SetPosition(0);
    if (!IsPng(*bytes)) {
        LoadFromStream(&stream);
        return;
    }
    TPngImage png;
    png.LoadFromStream(&stream);
    Assign(&png);
}

void TBitmap::SaveToStream(TStream* Stream) {
    if (!FHandle) return;
    QImage image = FHandle->image;
    if (FHandle->bitsPerPixel == 1) image = image.convertToFormat(QImage::Format_Mono);
    WriteImage(Stream, image, "BMP");
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (!FHandle) return;
    HDC dest = ACanvas->Handle();
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, FHandle);
    const int w = Width(), h = Height();
    if (!FTransparent) {
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, w, h, ACanvas->CopyMode());
    } else {
        // A mask from the transparent colour, then source xor, mask and, source xor:
        // the masked pixels end as they were.
        HDC maskDC = CreateCompatibleDC(nullptr);
        HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        SetBkColor(source, ColorToRGB(TransparentColor()));
        BitBlt(maskDC, 0, 0, w, h, source, 0, 0, SRCCOPY);
        const COLORREF text = SetTextColor(dest, 0), back = SetBkColor(dest, 0xFFFFFF);
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, w, h, SRCINVERT);
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), maskDC, 0, 0, w, h, SRCAND);
        StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, w, h, SRCINVERT);
        SetTextColor(dest, text);
        SetBkColor(dest, back);
        SelectObject(maskDC, oldMask);
        DeleteObject(mask);
        DeleteDC(maskDC);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

HBITMAP CreateMappedBmp(HBITMAP Bitmap, const std::vector<TColor>& OldColors, const std::vector<TColor>& NewColors) {
    if (!Bitmap) return nullptr;
    HBITMAP copy = CreateBitmap(1, 1, 1, 32, nullptr);
    copy->image = Bitmap->image.copy();
    copy->bitsPerPixel = Bitmap->bitsPerPixel;
    const size_t count = std::min(OldColors.size(), NewColors.size());
    auto mapped = [&](COLORREF c) {
        for (size_t i = 0; i < count; ++i)
            if (ColorToRGB(OldColors[i]) == c) return ColorToRGB(NewColors[i]);
        return c;
    };
    QImage& image = copy->image;
    if (image.format() == QImage::Format_Indexed8) {
        // A paletted bitmap maps its colour table.
        for (int i = 0; i < image.colorCount(); ++i)
            image.setColor(i, QRgbOf(mapped(ColorRefOf(image.color(i)))));
    } else {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                WritePixel(image, x, y, mapped(ReadPixel(image, x, y)));
    }
    return copy;
}

// Icons, PNG and JPEG pictures, and the picture with its registry of file
// formats. JPEG goes through libjpeg; its errors come back as EInvalidGraphic.
#include "platform/ui/Graphics.h"

#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/GraphicsStreams_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

using namespace platform_ui;

namespace {

QImage LoadAlphaImage(TStream* Stream, const char* format, const char* error) {
    return ReadImage(Stream, format, error).convertToFormat(QImage::Format_ARGB32);
}

void SaveAlphaImage(TStream* Stream, HICON icon, const char* format) {
    if (icon) WriteImage(Stream, icon->image, format);
}

// Of the sizes of one picture, the one nearest to Width.
const QImage& NearestSize(const std::vector<QImage>& Sizes, int Width) {
    const auto distance = [Width](const QImage& image) { return std::abs(image.width() - Width); };
    return *std::min_element(Sizes.begin(), Sizes.end(),
                             [&](const QImage& a, const QImage& b) { return distance(a) < distance(b); });
}

void DrawAlpha(TCanvas* ACanvas, HICON icon, const TRect& Rect) {
    if (!icon) return;
    HDC dc = ACanvas->Handle();
    BlendImage(dc, icon->image, ToDevice(dc, Rect));
}

} // namespace

namespace platform_ui {

HICON CreateIconFrom(const QImage& image) {
    auto* icon = new PlatformIcon;
    icon->image = image.convertToFormat(QImage::Format_ARGB32);
    return icon;
}

QImage ImageOfIcon(HICON icon) {
    return icon ? icon->image : QImage();
}

HICON CreateIconFromFile(std::span<const Byte> bytes, int DrawnSize) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    std::vector<QImage> sizes;
    do {
        if (QImage image = reader.read(); !image.isNull())
            sizes.push_back(image.convertToFormat(QImage::Format_ARGB32));
    } while (reader.jumpToNextImage());
    if (sizes.empty()) return nullptr;
    HICON icon = CreateIconFrom(NearestSize(sizes, DrawnSize));
    if (sizes.size() > 1) icon->sizes = std::move(sizes);
    return icon;
}

QIcon QIconOf(HICON icon) {
    QIcon result;
    if (!icon) return result;
    EnsureQtApplication(); // pixmaps need it
    if (icon->sizes.empty()) result.addPixmap(QPixmap::fromImage(icon->image));
    for (const QImage& image : icon->sizes)
        result.addPixmap(QPixmap::fromImage(image));
    return result;
}

} // namespace platform_ui

BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon) {
    if (!Icon) return 0;
    return DrawIconEx(DC, X, Y, Icon, Icon->image.width(), Icon->image.height());
}

BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height) {
    if (!Icon || !IsLiveDC(DC)) return 0;
    if (Width == 0) Width = Icon->image.width();
    if (Height == 0) Height = Icon->image.height();
    // An icon of several sizes draws the one made for the size asked, if any.
    const QImage& image = Icon->sizes.empty() ? Icon->image : NearestSize(Icon->sizes, Width);
    BlendImage(DC, image, ToDevice(DC, RECT{X, Y, X + Width, Y + Height}));
    return 1;
}

HICON CopyIcon(HICON Icon) {
    return Icon ? new PlatformIcon(*Icon) : nullptr;
}

BOOL DestroyIcon(HICON Icon) {
    delete Icon;
    return 1;
}

// TIcon

TIcon::~TIcon() {
    DestroyIcon(FHandle);
}

void TIcon::SetHandle(HICON Value) {
    if (FHandle != Value) DestroyIcon(FHandle);
    FHandle = Value;
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON handle = FHandle;
    FHandle = nullptr;
    return handle;
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i != this) SetHandle(CopyIcon(i->FHandle));
        return;
    }
    TGraphic::Assign(Source);
}

Integer TIcon::Width() const {
    return FHandle ? FHandle->image.width() : 0;
}
Integer TIcon::Height() const {
    return FHandle ? FHandle->image.height() : 0;
}
void TIcon::SetWidth(Integer) {
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetHeight(Integer) {
    throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::LoadFromStream(TStream* Stream) {
    const std::vector<Byte> bytes = ReadRest(Stream);
    HICON icon = CreateIconFromFile(bytes, GetSystemMetrics(SM_CXICON));
    if (!icon) throw EInvalidGraphic("Icon image is not valid");
    SetHandle(icon);
}

void TIcon::SaveToStream(TStream* Stream) {
    SaveAlphaImage(Stream, FHandle, "ICO");
}
void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    DrawAlpha(ACanvas, FHandle, Rect);
}

// TPngImage

TPngImage::TPngImage() = default;
TPngImage::~TPngImage() {
    DestroyIcon(FImage);
}

void TPngImage::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPngImage*>(Source)) {
        if (p == this) return;
        DestroyIcon(FImage);
        FImage = p->FImage ? CreateIconFrom(p->FImage->image) : nullptr;
        FWidth = p->FWidth;
        FHeight = p->FHeight;
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        DestroyIcon(FImage);
        FImage = b->Handle() ? CreateIconFrom(ImageOfBitmap(b->Handle())) : nullptr;
        FWidth = b->Width();
        FHeight = b->Height();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

Integer TPngImage::Width() const {
    return FWidth;
}
Integer TPngImage::Height() const {
    return FHeight;
}
void TPngImage::SetWidth(Integer Value) {
    Resize(Value, FHeight);
}
void TPngImage::SetHeight(Integer Value) {
    Resize(FWidth, Value);
}

// A new size starts fully transparent; the image exists once both sides are set.
void TPngImage::Resize(Integer AWidth, Integer AHeight) {
    FWidth = std::max(AWidth, 0);
    FHeight = std::max(AHeight, 0);
    DestroyIcon(FImage);
    FImage = nullptr;
    if (FWidth > 0 && FHeight > 0) {
        QImage image(FWidth, FHeight, QImage::Format_ARGB32);
        image.fill(0);
        FImage = CreateIconFrom(image);
    }
    Changed();
}

void TPngImage::LoadFromStream(TStream* Stream) {
    HICON image = CreateIconFrom(LoadAlphaImage(Stream, "PNG", "PNG image is not valid"));
    DestroyIcon(FImage);
    FImage = image;
    FWidth = image->image.width();
    FHeight = image->image.height();
    Changed();
}

void TPngImage::SaveToStream(TStream* Stream) {
    SaveAlphaImage(Stream, FImage, "PNG");
}
void TPngImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    DrawAlpha(ACanvas, FImage, Rect);
}

// JPEG through libjpeg.

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the call, which then raises EInvalidGraphic.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Decodes into `image` (RGB32, or Indexed8 with a grey ramp when grey);
// false with `message` on failure. Only plain data lives across the jump.
bool DecodeJpeg(const std::vector<Byte>& data, bool grey, bool headerOnly, QImage& image, int& width, int& height,
                std::string& message) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    std::vector<JSAMPLE> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        message = error.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    if (headerOnly) {
        jpeg_destroy_decompress(&info);
        return true;
    }
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   grey ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (grey) {
        QList<QRgb> ramp;
        for (int i = 0; i < 256; ++i)
            ramp << qRgb(i, i, i);
        image.setColorTable(ramp);
    }
    row.resize(static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        if (grey) {
            std::copy(row.begin(), row.end(), image.scanLine(y));
        } else {
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (JDIMENSION x = 0; x < info.output_width; ++x)
                out[x] = qRgb(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool EncodeJpeg(const QImage& source, int quality, bool grey, std::vector<Byte>& data, std::string& message) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row(static_cast<size_t>(image.width()) * 3);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        free(buffer);
        message = error.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    if (grey) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(info.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            row[static_cast<size_t>(x) * 3] = static_cast<JSAMPLE>(qRed(in[x]));
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<JSAMPLE>(qGreen(in[x]));
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(qBlue(in[x]));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    data.assign(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return true;
}

} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

Integer TJPEGImage::Width() const {
    return FBitmap ? FBitmap->Width() : FWidth;
}
Integer TJPEGImage::Height() const {
    return FBitmap ? FBitmap->Height() : FHeight;
}

void TJPEGImage::SetGrayscale(bool Value) {
    if (FGrayscale == Value) return;
    FGrayscale = Value;
    // A decoded picture from compressed data is decoded again in the new mode.
    if (!FData.empty()) FBitmap.reset();
    Changed();
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (!Source) {
        FData.clear();
        FBitmap.reset();
        FWidth = FHeight = 0;
        Changed();
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        if (j == this) return;
        FData = j->FData;
        FGrayscale = j->FGrayscale;
        FCompressionQuality = j->FCompressionQuality;
        FWidth = j->Width();
        FHeight = j->Height();
        FBitmap.reset();
        if (FData.empty() && j->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(j->FBitmap.get());
        }
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        FData.clear();
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(b);
        FBitmap->SetTransparent(false);
        FWidth = b->Width();
        FHeight = b->Height();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::DIBNeeded() {
    if (FBitmap || FData.empty()) return;
    QImage image;
    std::string message;
    int width = 0, height = 0;
    if (!DecodeJpeg(FData, FGrayscale, false, image, width, height, message))
        throw EInvalidGraphic("JPEG error: " + message);
    FBitmap = std::make_unique<TBitmap>();
    HBITMAP handle = CreateBitmap(1, 1, 1, 32, nullptr);
    handle->image = image;
    handle->bitsPerPixel = FGrayscale ? 8 : 32;
    FBitmap->SetHandle(handle);
}

void TJPEGImage::JPEGNeeded() {
    if (!FData.empty() || !FBitmap || !FBitmap->Handle()) return;
    std::string message;
    if (!EncodeJpeg(ImageOfBitmap(FBitmap->Handle()), FCompressionQuality, FGrayscale, FData, message))
        throw EInvalidGraphic("JPEG error: " + message);
}

TBitmap* TJPEGImage::Bitmap() {
    DIBNeeded();
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
    std::vector<Byte> data = ReadRest(Stream);
    QImage unused;
    std::string message;
    int width = 0, height = 0;
    if (!DecodeJpeg(data, false, true, unused, width, height, message)) throw EInvalidGraphic("JPEG error: " + message);
    FData = std::move(data);
    FWidth = width;
    FHeight = height;
    FBitmap.reset();
    Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
    JPEGNeeded();
    if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    DIBNeeded();
    if (FBitmap) FBitmap->Draw(ACanvas, Rect);
}

// TPicture

namespace {

struct FileFormat {
    std::string extension, description;
    TGraphicClass factory;
};

std::vector<FileFormat>& Formats() {
    static std::vector<FileFormat> formats = {
        {"bmp", "Bitmaps", [] { return new TBitmap; }},
        {"ico", "Icons", [] { return new TIcon; }},
        {"png", "Portable Network Graphics", [] { return new TPngImage; }},
        {"jpg", "JPEG Image File", [] { return new TJPEGImage; }},
        {"jpeg", "JPEG Image File", [] { return new TJPEGImage; }},
        {"jpe", "JPEG Image File", [] { return new TJPEGImage; }},
        {"jfif", "JPEG Image File", [] { return new TJPEGImage; }},
    };
    return formats;
}

std::string ExtensionOf(const std::string& FileName) {
    const size_t slash = FileName.find_last_of("/\\");
    const size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = FileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

} // namespace

TPicture::~TPicture() = default;

void TPicture::Take(TGraphic* Value) {
    FGraphic.reset(Value);
    if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(this); };
}

void TPicture::Changed(TObject*) {
    Fire(OnChange, this);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    TGraphic* copy = nullptr;
    if (Value) {
        copy = Value->CreateSameKind();
        try {
            copy->Assign(Value);
        } catch (...) {
            delete copy;
            throw;
        }
    }
    Take(copy);
    Changed(this);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source)
        SetGraphic(nullptr);
    else if (auto* p = dynamic_cast<TPicture*>(Source))
        SetGraphic(p->Graphic());
    else if (auto* g = dynamic_cast<TGraphic*>(Source))
        SetGraphic(g);
    else
        TPersistent::Assign(Source);
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return b;
    Take(new TBitmap);
    Changed(this);
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
    if (auto* i = dynamic_cast<TIcon*>(FGraphic.get())) return i;
    Take(new TIcon);
    Changed(this);
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string ext = ExtensionOf(FileName);
    if (ext == "wmf" || ext == "emf")
        throw EInvalidGraphic("Metafiles are not supported; cannot load \"" + FileName + "\"");
    const auto& formats = Formats();
    auto found = std::find_if(formats.begin(), formats.end(), [&](const FileFormat& f) { return f.extension == ext; });
    if (found == formats.end()) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> graphic(found->factory());
    graphic->LoadFromFile(FileName);
    Take(graphic.release());
    Changed(this);
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description, TGraphicClass Factory) {
    UnregisterFileFormat(Extension);
    Formats().push_back({Extension, Description, std::move(Factory)});
}

void TPicture::UnregisterFileFormat(const std::string& Extension) {
    auto& formats = Formats();
    formats.erase(
        std::remove_if(formats.begin(), formats.end(), [&](const FileFormat& f) { return f.extension == Extension; }),
        formats.end());
}

std::string TPicture::GraphicFilter() {
    std::string all, each;
    for (const FileFormat& f : Formats()) {
        const std::string mask = "*." + f.extension;
        all += (all.empty() ? "" : ";") + mask;
        each += "|" + f.description + " (" + mask + ")|" + mask;
    }
    return "All (" + all + ")|" + all + each;
}

namespace {
// The registered formats whose graphics are of Graphic's kind.
std::vector<const FileFormat*> FormatsOfKind(const TGraphic& Graphic) {
    std::vector<const FileFormat*> kind;
    for (const FileFormat& f : Formats()) {
        const std::unique_ptr<TGraphic> sample(f.factory());
        const TGraphic& made = *sample;
        if (typeid(made) == typeid(Graphic)) kind.push_back(&f);
    }
    return kind;
}
} // namespace

std::string TPicture::GraphicFilter(const TGraphic& Graphic) {
    const auto kind = FormatsOfKind(Graphic);
    if (kind.empty()) return {};
    std::string masks;
    for (const FileFormat* f : kind)
        masks += (masks.empty() ? "*." : ";*.") + f->extension;
    return kind.front()->description + " (" + masks + ")|" + masks;
}

std::string TPicture::GraphicExtension(const TGraphic& Graphic) {
    const auto kind = FormatsOfKind(Graphic);
    return kind.empty() ? std::string() : kind.front()->extension;
}

// The class framework's graphics objects over GDI handles: fonts, pens and
// brushes that notify their canvas of changes, the canvas on a device context,
// bitmaps with pixel formats and palettes, icons, and pictures with a registry
// of file formats (BMP, PNG, ICO, JPEG; metafiles refuse to load).
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Resources.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// Fonts, pens and brushes: a change fires OnChange, which a canvas uses to
// select the new handle.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;

// Height is in pixels (negative: the character height without internal
// leading, as the class framework keeps it); Size is in points at 96 dpi.
class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(TPersistent* Source) override;
    HFONT Handle();
    void SetHandle(HFONT Value); // takes the font's description; the handle stays the caller's

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    Integer Height() const { return FHeight; }
    void SetHeight(Integer Value);
    Integer Size() const;
    void SetSize(Integer Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    Integer PixelsPerInch() const { return 96; }

protected:
    void Changed() override;

private:
    void FreeHandle();
    std::string FName = "宋体";
    Integer FHeight = -12;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset; // DEFAULT_CHARSET until set
    TFontPitch FPitch = fpDefault;
    HFONT FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    ~TPen() override;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    void Assign(TPersistent* Source) override;
    HPEN Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    Integer Width() const { return FWidth; }
    void SetWidth(Integer Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    // The binary raster op of a pen mode.
    static int Rop2Of(TPenMode Mode);

protected:
    void Changed() override;

private:
    TColor FColor = clBlack;
    Integer FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    HPEN FHandle = nullptr;
};

class TBitmap;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    ~TBrush() override;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    void Assign(TPersistent* Source) override;
    HBRUSH Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value); // a colour makes a clear brush solid again
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap the brush paints with; not owned, copied when the handle is made.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

protected:
    void Changed() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle = nullptr;
};

class TGraphic;

// The canvas selects its pen, brush and font into its device context before
// each drawing call, with the text colour from the font, the background colour
// from the brush (transparent text when the brush is clear) and the raster op
// from the pen's mode.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context; a canvas without one asks CreateHandle for it.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPoint PenPos();
    void SetPenPos(TPoint Value);
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD Value) { FCopyMode = Value; }
    TRect ClipRect();

    void MoveTo(Integer X, Integer Y);
    void LineTo(Integer X, Integer Y);
    void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
    void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void Polygon(const std::vector<TPoint>& Points);
    void Polyline(const std::vector<TPoint>& Points);
    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    void DrawFocusRect(const TRect& Rect);
    void TextOut(Integer X, Integer Y, const std::string& Text);
    // Text clipped to Rect, drawn at (X, Y).
    void TextRect(const TRect& Rect, Integer X, Integer Y, const std::string& Text);
    TSize TextExtent(const std::string& Text);
    Integer TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    Integer TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
    TColor Pixels(Integer X, Integer Y);
    void SetPixels(Integer X, Integer Y, TColor Value);
    void Draw(Integer X, Integer Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Copies Source's rectangle into Dest with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    // Lock keeps other threads off the canvas; counted.
    void Lock();
    void Unlock();
    bool TryLock();
    Integer LockCount() const { return FLockCount; }

    // Selects the canvas's objects again (after someone else used the DC).
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();
    // Selects what drawing needs: pen, brush, font and their colours.
    void RequireState();

private:
    void DeselectHandles();
    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    DWORD FCopyMode; // SRCCOPY until set
    Integer FLockCount = 0;
    HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
    bool FSelected = false;
};

// The base of every picture kind.
class TGraphic : public TPersistent {
public:
    virtual Integer Width() const = 0;
    virtual Integer Height() const = 0;
    virtual void SetWidth(Integer Value) = 0;
    virtual void SetHeight(Integer Value) = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

    // Draws the graphic stretched into Rect of the canvas.
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    TNotifyEvent OnChange;

    // An empty graphic of the same kind, for copying pictures.
    virtual TGraphic* CreateSameKind() const = 0;

protected:
    virtual void Changed();
    bool FTransparent = false;

private:
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void Assign(TPersistent* Source) override;
    TCanvas* Canvas();
    // The bitmap handle (nullptr while the bitmap is empty); still owned by the bitmap.
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of a bitmap handle.
    void SetHandle(HBITMAP Value);
    // Gives up the handle to the caller.
    HBITMAP ReleaseHandle();
    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value) { FHandleType = Value; }

    Integer Width() const override;
    Integer Height() const override;
    void SetWidth(Integer Value) override;
    void SetHeight(Integer Value) override;
    // Resizing keeps the pixels at the top left; new pixels are white. A size
    // with a side of 0 leaves no pixels but is remembered, so setting the
    // other side later gives the bitmap both.
    void SetSize(Integer AWidth, Integer AHeight);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool Value) { SetPixelFormat(Value ? pf1bit : pfDevice); }
    // The automatic transparent colour is the bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void LoadFromStream(TStream* Stream) override; // BMP
    void SaveToStream(TStream* Stream) override;
    // A bitmap resource of the module: a BMP file, or a PNG drawn onto the
    // canvas's brush colour as Assign does. Raises EResNotFound "Resource
    // <name> not found" when the module has none of that name.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    TGraphic* CreateSameKind() const override { return new TBitmap; }
    void FreeImage() {}
    void Dormant() {}

private:
    friend class TBitmapCanvas;
    void Replace(HBITMAP Value);
    HBITMAP FHandle = nullptr;
    // The size asked for while the bitmap has no pixels.
    Integer FEmptyWidth = 0;
    Integer FEmptyHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TColor FTransparentColor = clDefault; // automatic
    TTransparentMode FTransparentMode = tmAuto;
    TBitmapHandleType FHandleType = bmDIB;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// A copy of Bitmap in which each OldColors[i] is replaced by NewColors[i].
HBITMAP CreateMappedBmp(HBITMAP Bitmap, const std::vector<TColor>& OldColors, const std::vector<TColor>& NewColors);

// A picture kept with its alpha channel; the handle is the platform's icon.
class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    void Assign(TPersistent* Source) override;
    HICON Handle() const { return FHandle; }
    void SetHandle(HICON Value); // takes ownership
    HICON ReleaseHandle();
    Integer Width() const override;
    Integer Height() const override;
    void SetWidth(Integer Value) override;
    void SetHeight(Integer Value) override;
    // An ICO file (drawn at the system's icon size, or the size nearest to it;
    // the desktop gets every size), or any image Qt reads.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    TGraphic* CreateSameKind() const override { return new TIcon; }

private:
    HICON FHandle = nullptr;
};

BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon);
BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height);
HICON CopyIcon(HICON Icon); // a new icon with every size of Icon
BOOL DestroyIcon(HICON Icon);

// PNG pictures, with their alpha channel.
class TPngImage : public TGraphic {
public:
    TPngImage();
    ~TPngImage() override;
    TPngImage(const TPngImage&) = delete;
    TPngImage& operator=(const TPngImage&) = delete;

    void Assign(TPersistent* Source) override;
    Integer Width() const override;
    Integer Height() const override;
    void SetWidth(Integer Value) override;
    void SetHeight(Integer Value) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    TGraphic* CreateSameKind() const override { return new TPngImage; }

private:
    void Resize(Integer AWidth, Integer AHeight);
    HICON FImage = nullptr; // the same alpha image an icon keeps
    Integer FWidth = 0, FHeight = 0;
};

// JPEG pictures through libjpeg. Grayscale decodes to greys (set it before
// loading, or the next draw decodes again); CompressionQuality is used when saving.
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    TJPEGImage(const TJPEGImage&) = delete;
    TJPEGImage& operator=(const TJPEGImage&) = delete;

    // From a TBitmap (compresses it) or another TJPEGImage.
    void Assign(TPersistent* Source) override;
    Integer Width() const override;
    Integer Height() const override;
    void SetWidth(Integer) override {}
    void SetHeight(Integer) override {}
    bool Empty() const override { return FData.empty() && !FBitmap; }
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    Integer CompressionQuality() const { return FCompressionQuality; }
    void SetCompressionQuality(Integer Value) { FCompressionQuality = Value; }
    // Decodes into the bitmap behind the picture; raises EInvalidGraphic for broken data.
    void DIBNeeded();
    // Encodes the bitmap behind the picture.
    void JPEGNeeded();
    TBitmap* Bitmap(); // the decoded picture, owned by the image

    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    TGraphic* CreateSameKind() const override { return new TJPEGImage; }

private:
    friend class TBitmap;
    std::vector<Byte> FData; // the compressed stream
    std::unique_ptr<TBitmap> FBitmap;
    bool FGrayscale = false;
    Integer FCompressionQuality = 90;
    Integer FWidth = 0, FHeight = 0;
};

using TGraphicClass = std::function<TGraphic*()>;

// Holds one graphic of any registered kind; LoadFromFile picks the kind by
// the file's extension.
class TPicture : public TPersistent {
public:
    TPicture() = default;
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    void Assign(TPersistent* Source) override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value); // copies Value
    // The graphic as a bitmap, replacing any other kind with an empty bitmap.
    TBitmap* Bitmap();
    TIcon* Icon();
    Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
    Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Raises EInvalidGraphic for an unknown extension or a metafile.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

    // Extension without the dot, lower case ("jpg").
    static void RegisterFileFormat(const std::string& Extension, const std::string& Description, TGraphicClass Factory);
    static void UnregisterFileFormat(const std::string& Extension);
    // "All (*.bmp;*.jpg;...)|*.bmp;*.jpg;...|Bitmaps (*.bmp)|*.bmp|...", for open dialogs.
    static std::string GraphicFilter();
    // For one kind of graphic (the kind of Graphic): "Description (*.ext)|*.ext"
    // with every extension registered for it, and its first extension; both
    // empty for a kind the registry does not know.
    static std::string GraphicFilter(const TGraphic& Graphic);
    static std::string GraphicExtension(const TGraphic& Graphic);

    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* Sender);

private:
    void Take(TGraphic* Value);
    std::unique_ptr<TGraphic> FGraphic;
};

// Paints a picture behind a windowed control: for an MDI frame the MDI client
// area behind the document windows, for any other control its own background.
// It pushes a procedure on the painted window's chain, paints on
// WM_ERASEBKGND (through an off-screen bitmap on WM_PAINT for double-buffered
// controls), follows the scrolling of the window, and can tile (with shifted
// or zigzag rows or columns), centre, stretch or pin the picture, mask a
// transparent colour and map the picture onto the button-face colours.
// One wallpaper paints a given client; a second one takes it over.
#pragma once

#include "components/CompInfo.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"

#include <memory>

enum TWallpaperMode {
    wpTile,
    wpCenter,
    wpTopLeft,
    wpStretch,
    wpTopRight,
    wpBottomLeft,
    wpBottomRight,
    wpTop,
    wpLeft,
    wpBottom,
    wpRight
};
enum TShiftMode { smRows, smColumns };

class EMDIWallpaper : public Exception {
public:
    using Exception::Exception;
};

class TMDIWallpaper : public TComponent {
public:
    explicit TMDIWallpaper(TComponent* AOwner);
    ~TMDIWallpaper() override;

    TWinControl* Client() const { return FClient; }
    void SetClient(TWinControl* Value) { SetClientEx(Value, true); }
    // The owner form as the client, as the form stores it.
    bool ClientIsOwnerForm() const;
    void SetClientIsOwnerForm(bool Value);

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    TWallpaperMode Mode() const { return FMode; }
    void SetMode(TWallpaperMode Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TComponentInfo* Info() const { return FInfo.get(); }
    int TileWidth() const { return FTileWidth; }
    void SetTileWidth(int Value);
    int TileHeight() const { return FTileHeight; }
    void SetTileHeight(int Value);
    int Shift() const { return FShift; }
    void SetShift(int Value);
    TShiftMode ShiftMode() const { return FShiftMode; }
    void SetShiftMode(TShiftMode Value);
    bool Zigzag() const { return FZigzag; }
    void SetZigzag(bool Value);
    bool AutoSizeTile() const { return FAutoSizeTile; }
    void SetAutoSizeTile(bool Value);
    bool FitPictureSize() const { return FFitPictureSize; }
    void SetFitPictureSize(bool Value);
    bool GrayMapped() const { return FGrayMapped; }
    void SetGrayMapped(bool Value);

    // The picture as it is painted when it needs preparing (tile filling,
    // masking, grey mapping); nullptr when the picture itself is painted.
    TBitmap* PreparedBitmap() const { return FBitmap.get(); }
    TPoint ScrollOffset() const { return Point(FOffsetX, FOffsetY); }
    bool Hooked() const { return FClientHook != 0; }
    // The id of our procedure on the painted window's chain while hooked.
    TWindowProcedureId ClientProcedure() const { return FClientHook; }

    void Invalidate();

    // The tile origin moves by this much (pixels) when Wnd's bar scrolls by Code.
    static int ScrollDelta(HWND Wnd, int Bar, int Code, int ThumbPosition);
    // The offset in -Size..0 congruent to Value.
    static int FloorOffset(int Value, int Size);

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct WallpaperRegistry;
    void SetClientEx(TWinControl* Value, bool AllowTake);
    void HookClient();
    void UnhookClient();
    HWND ClientWindow() const;
    bool ClientDestroying() const;
    void HiddenWndProc(HWND Wnd, TMessage& Message);
    void ClientWndProc(HWND Wnd, TMessage& Message);
    void PictureChanged();
    void PrepareBitmap();
    void FillAndDraw(TGraphic* Graphic, TPoint Offset);
    void GrayMapBitmap(TBitmap* Work, TGraphic* Graphic);
    bool ClientDoubleBuffered() const;
    bool PaintBuffered(TMessage& Message);
    bool EraseBackground(TMessage& Message);
    bool PaintBackground(HDC DC);
    void PaintWallpaper(HDC DC, TGraphic* Graphic);
    void DrawTiles(TCanvas* Canvas, TGraphic* Graphic);
    TRect ScrolledClientRect() const;
    int VerticalScrollUnit() const;
    void SysColorChanged();

    TWinControl* FClient = nullptr;
    HWND FHandle = nullptr;
    HWND FHookedWindow = nullptr;
    TWindowProcedureId FClientHook = 0;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TCanvas> FCanvas;
    TWallpaperMode FMode = wpTile;
    bool FEnabled = true;
    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    std::unique_ptr<TComponentInfo> FInfo;
    int FOffsetX = 0;
    int FOffsetY = 0;
    int FTileWidth = 0;
    int FTileHeight = 0;
    std::unique_ptr<TBitmap> FBitmap;
    int FShift = 0;
    TShiftMode FShiftMode = smRows;
    bool FZigzag = false;
    bool FAutoSizeTile = false;
    bool FPreparing = false;
    bool FMDIFrame = false;
    bool FFitPictureSize = false;
    bool FHasPicture = false;
    bool FGrayMapped = false;
};

// Image lists: pictures of one size with optional masks, drawn transparently,
// onto a background colour or blended with a highlight, as the toolbars, menus
// and tree lists draw their glyphs. TCustomImageList is the component over the
// ImageList_* handle API.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Controls.h"

#include <vector>

struct PlatformImageList;
using HIMAGELIST = PlatformImageList*;

constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_IMAGE = 0x0020;

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Adds as many images as the bitmap's width holds; the mask (monochrome, 1 =
// transparent) may be nullptr. Returns the first new index, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask comes from the pixels of the mask colour, which become black in the image.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Remove(HIMAGELIST list, int index); // -1 removes all
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// dx, dy: the part of the image to draw (0: all). Background rgbBk fills the
// masked pixels unless it is CLR_NONE or the style is ILD_TRANSPARENT
// (CLR_DEFAULT: the list's own background); rgbFg is the blend colour of
// ILD_BLEND25/ILD_BLEND50 (CLR_DEFAULT: the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk, COLORREF rgbFg,
                      UINT style);

// Dragging a picture: one drag image at a time, shown in a window of its own
// that never takes the activation, the mouse or a place in WindowFromPoint,
// so the windows below keep their pictures and their input.
// BeginDrag copies image Index of List with its hot spot (the point that
// follows the pointer, image coordinates); SetDragCursorImage lays another
// image over it with that image's own hot spot on the drag hot spot, the
// picture growing to hold both (each call replaces the previous one).
// DragEnter shows the picture with its hot spot at (x, y) in Lock's window
// coordinates (frame included; Lock 0: the screen); DragMove moves it there;
// DragShowNolock hides or shows it; DragLeave hides it; EndDrag ends the drag.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int dxHotspot, int dyHotspot);
BOOL ImageList_SetDragCursorImage(HIMAGELIST list, int index, int dxHotspot, int dyHotspot);
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragShowNolock(BOOL show);
BOOL ImageList_DragLeave(HWND lock);
void ImageList_EndDrag();

class TBitmap;
class TCanvas;
class TIcon;
class TCustomImageList;

// Tells a holder (a menu, a tool bar) that its image list changed.
class TChangeLink : public TObject {
public:
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* Value) { FSender = Value; }
    TNotifyEvent OnChange;
    virtual void Change();

private:
    TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    HIMAGELIST Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    Integer Width() const { return FWidth; }
    void SetWidth(Integer Value); // a new size clears the list
    Integer Height() const { return FHeight; }
    void SetHeight(Integer Value);
    Integer Count() const;
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value) { FBlendColor = Value; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value) { FImageType = Value; }
    Integer AllocBy() const { return FAllocBy; }
    void SetAllocBy(Integer Value) { FAllocBy = Value; }

    Integer Add(TBitmap* Image, TBitmap* Mask);
    // clDefault takes the image's transparent colour.
    Integer AddMasked(TBitmap* Image, TColor MaskColor);
    Integer AddIcon(TIcon* Image);
    void Delete(Integer Index);
    void Clear();
    // Draws with the list's drawing style and image type; a disabled image is
    // drawn embossed in the button highlight and shadow colours.
    void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
    // Image becomes Width x Height with the picture drawn on its current content.
    bool GetBitmap(Integer Index, TBitmap* Image);

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    TNotifyEvent OnChange;

    // The list's colours as ImageList_DrawEx takes them: clNone is CLR_NONE, clDefault CLR_DEFAULT.
    static COLORREF ToImageListColor(TColor Color);

protected:
    virtual void Change();

private:
    void Recreate();
    HIMAGELIST FHandle = nullptr;
    Integer FWidth = 16, FHeight = 16, FAllocBy = 4;
    bool FMasked = true;
    TColor FBkColor = clNone, FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

// The picture of an in-program drag (TControl::GetDragImages): one image of
// the list follows the pointer with its hot spot, over any window.
class TDragImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    ~TDragImageList() override;

    // The image dragged and its hot spot, from the next BeginDrag on.
    bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
    TPoint DragHotspot() const { return FDragHotspot; }
    // Shows the picture with its hot spot at (X, Y) in Window's coordinates
    // (frame included; 0: the screen) until EndDrag.
    bool BeginDrag(HWND Window, Integer X, Integer Y);
    bool DragMove(Integer X, Integer Y);
    bool EndDrag();
    bool Dragging() const { return FDragging; }
    // Take the picture off around a paint and put it back after.
    void HideDragImage();
    void ShowDragImage();
    // The cursor shown with the picture while it is dragged.
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value);

private:
    Integer FDragIndex = 0;
    TPoint FDragHotspot{};
    bool FDragging = false;
    TCursor FDragCursor = crDrag;
};

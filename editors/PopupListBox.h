// The owner-drawn popup list that the image and pick editors drop down: a
// never-activated top-level list box with the editors' popup frame and drop
// shadow, whose selection follows the mouse and looks focused while the
// editor keeps the keyboard. The image editor's list draws each value's
// image beside its description.
#pragma once

#include "editors/Container.h"
#include "platform/ui/StdCtrls.h"

class TcvInplaceDropDownEdit;

#include <memory>

class TCustomImageList;

class TCustomcvPopupListBox : public TCustomListBox {
public:
    explicit TCustomcvPopupListBox(TComponent* AOwner);

    TcvPopupBorder PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TcvPopupBorder Value); // recreates the window on a change
    // The selection follows the mouse.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value); // recreates the window on a change
    int ShadowSize() const { return FShadowSize; }
    // The height the last measured item got; the editors size the list by it.
    int MeasuredItemHeight() const { return FMeasuredItemHeight; }
    // The width of the widest item text in the list's font.
    int WidestItemWidth();
    // Becomes Editor's popup (a top-level window it owns) in its colour,
    // font, popup border and shadow; the window exists afterwards.
    void TakeLookOf(TcvInplaceDropDownEdit* Editor);

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The height of "Wg" in the list's font.
    void MeasureItem(int Index, int& Height) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    TcvPopupBorder FPopupBorder = pbDefault;
    bool FHotTrack = true;
    int FMeasuredItemHeight = 0;
    bool FShadow = false;
    int FShadowSize = 2;
};

class TcvPopupImageListBox : public TCustomcvPopupListBox {
public:
    explicit TcvPopupImageListBox(TComponent* AOwner);
    ~TcvPopupImageListBox() override;

    // Each item's image is its object's number in the list (none when outside it).
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // Descriptions wrap inside their item.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value) { FMultiLine = Value; }

protected:
    // At least the image's height and a pixel above and below it.
    void MeasureItem(int Index, int& Height) override;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
    bool FMultiLine = false;
};

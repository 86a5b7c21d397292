// Dragging inside the program: a control starts a drag (TControl::BeginDrag),
// the control under the pointer is asked by CM_DRAG whether it takes the drop
// and the cursor says its answer. The source's drag images follow the pointer
// over controls with csDisplayDragImage and where no control is. Nothing of this passes through the desktop's
// drag and drop; one drag runs at a time.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/ImageList.h"

// CM_DRAG's wParam. Enter, move and leave answer non-zero when the target
// accepts; dmFindTarget answers the control (a TControl*) at the record's
// point; dmDragCancel tells the last target that no drop follows.
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// What CM_DRAG carries in lParam.
struct TDragRec {
    TPoint Pos{}; // the pointer, screen coordinates
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
};

// The thing being dragged. A source may make its own in DoStartDrag; else the
// drag makes a TDragControlObject for the source and frees it at the end.
class TDragObject : public TObject {
public:
    // The picture that follows the pointer, nullptr when there is none.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // crDrag over a target that accepts, crNoDrop elsewhere.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    // Take the picture off the screen around a paint and put it back after.
    void HideDragImage();
    void ShowDragImage();
    // The drag is over; Target (nullptr unless Accepted) took the drop at
    // (X, Y) in its client coordinates.
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted);

    TPoint DragPos() const { return FDragPos; }          // screen
    TControl* DragTarget() const { return FDragTarget; } // the control under the pointer
    HWND DragHandle() const { return FDragHandle; }      // the window CM_DRAG goes to
    TPoint DragTargetPos() const { return FDragTargetPos; }
    bool Cancelling() const { return FCancelling; }
    bool Dropped() const { return FDropped; }

private:
    friend struct DragProtocol;
    TPoint FDragPos{};
    TControl* FDragTarget = nullptr;
    HWND FDragHandle = nullptr;
    TPoint FDragTargetPos{};
    bool FCancelling = false;
    bool FDropped = false;
    bool FMadeForControl = false;
};

// Drags a control: its drag images and cursor, its DoEndDrag at the end.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TDragImageList* GetDragImages() override;
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    void Finished(TObject* Target, int X, int Y, bool Accepted) override;

private:
    TControl* FControl;
};

// Ends the drag under way, if any, without a drop.
void CancelDrag();

// What the controls' implementation files share: the window-side members the
// class procedure sets, a canvas lent a paint's DC, the signal contexts, and
// the graphic controls that hold the mouse.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Window.h"

// Reaches the window-side members that the class procedure sets.
struct ControlWindowAccess {
    static void Attach(TWinControl* control, HWND wnd);
    static void Detach(TWinControl* control);
    static void SetDefault(TWinControl* control, bool native, TWindowProcedure classProcedure);
};

namespace platform_ui {

// Lends a control's canvas the DC of one paint, with the control's font and
// colour, and takes the DC back however the paint ends.
class TCanvasOnDC {
public:
    TCanvasOnDC(TCanvas& Canvas, HDC DC, TFont* Font, TColor Color) : FCanvas(Canvas) {
        FCanvas.Lock();
        FCanvas.SetHandle(DC);
        FCanvas.Font()->Assign(Font);
        FCanvas.Brush()->SetColor(Color);
    }
    ~TCanvasOnDC() {
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
    }
    TCanvasOnDC(const TCanvasOnDC&) = delete;
    TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

private:
    TCanvas& FCanvas;
};

void ReleaseSignalContext(TWinControl* control);

// The graphic control that took the mouse with a button press; it gets the
// moves and the release until then, as the window holding the capture would.
extern TControl* CaptureControl;

// The graphic control under the pointer. A window hears of the pointer's
// coming and going from the window system; its graphic children hear of it
// from here, so a flat button can light up.
extern TControl* MouseControl;

void SetMouseControl(TControl* control);

// The height of a font's text in pixels, measured on a screen DC.
int FontHeight(TFont* font);

// A control going away leaves the drag under way: as its source the drag
// ends without a word to it, as its target it is forgotten.
void DragControlGone(TControl* control);

} // namespace platform_ui

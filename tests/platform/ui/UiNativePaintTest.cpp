// Drawing over the controls that Qt paints (edits, memos, combo boxes): a
// procedure on the control's chain gets WM_PAINT once the widget has painted,
// and what it draws through GetDC shows over the widget's pixels.
#include "UiTestSupport.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;
using platform_ui::test::RenderedPixel;

namespace {

uint32_t Rgb(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TWinControl* MakeNativeControl(const std::string& Kind, TComponent* Owner) {
    if (Kind == "edit") return new TEdit(Owner);
    if (Kind == "memo") return new TMemo(Owner);
    return new TComboBox(Owner);
}

// Fills Rect of the control's window with Color through GetDC.
void FillThroughDC(TWinControl* Control, const TRect& Rect, TColor Color) {
    HDC dc = GetDC(Control->Handle());
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(dc, &Rect, brush);
    DeleteObject(brush);
    ReleaseDC(Control->Handle(), dc);
}

} // namespace

TEST(UiNativePaint, AProcedureDrawsOverTheWidgetAfterItPainted) {
    for (const std::string kind : {"edit", "memo", "combo box"}) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        form->SetBounds(10, 10, 300, 200);
        TWinControl* control = MakeNativeControl(kind, form);
        control->SetParent(form);
        control->SetBounds(8, 8, 160, 40);
        control->SetColor(clYellow);
        int paints = 0;
        TWndMethod previous = control->WindowProc;
        control->WindowProc = [&, previous](TMessage& m) {
            previous(m);
            if (m.Msg != WM_PAINT) return;
            ++paints;
            FillThroughDC(control, Rect(0, 0, 10, 10), clRed);
        };
        form->Show();
        const HWND wnd = control->Handle();
        EXPECT_EQ(RenderedPixel(wnd, 5, 5), Rgb(clRed)) << kind;
        EXPECT_EQ(RenderedPixel(wnd, 60, 20), Rgb(clYellow)) << kind << ": the widget shows elsewhere";
        EXPECT_GT(paints, 0) << kind;
        control->WindowProc = previous;
        control->Invalidate();
        EXPECT_EQ(RenderedPixel(wnd, 5, 5), Rgb(clYellow)) << kind << ": gone when the widget paints again";
        delete form;
    }
}

TEST(UiNativePaint, DrawingOutsideAPaintShowsUntilTheWidgetPaintsThere) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 300, 200);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(8, 8, 160, 24);
    form->Show();
    FillThroughDC(edit, Rect(40, 4, 60, 20), clBlue);
    EXPECT_EQ(RenderedPixel(edit->Handle(), 50, 12), Rgb(clBlue));
    EXPECT_EQ(RenderedPixel(edit->Handle(), 100, 12), Rgb(clWindow));
    delete form;
}

// The drag image: a window of its own at the pointer minus the hot spot that
// WindowFromPoint looks through and that never takes the activation; moving,
// hiding and showing it leave the window below byte for byte; a cursor
// picture laid over it grows the picture; a drag between controls shows it
// over controls with csDisplayDragImage only.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Drag.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>

using namespace uitest;
using namespace platform_ui::test;

namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Blue = 0x0000FF;

HWND DragImageWindow() {
    HWND found = nullptr;
    EnumWindows([&](HWND w) {
        if (GetWindowLong(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) found = w;
        return !found;
    });
    return found;
}

TRect WindowRectOf(HWND w) {
    TRect r;
    GetWindowRect(w, r);
    return r;
}

// A red 16 x 16 picture whose left column is transparent, and an 8 x 8 green
// cursor picture of the same size class in a list of its own.
class UiDragImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Images.SetWidth(16);
        Images.SetHeight(16);
        auto picture = Filled(16, 16, clRed);
        picture->Canvas()->Brush()->SetColor(clFuchsia);
        picture->Canvas()->FillRect(Rect(0, 0, 1, 16));
        Images.AddMasked(picture.get(), clFuchsia);
        Cursors.SetWidth(8);
        Cursors.SetHeight(8);
        Cursors.AddMasked(Filled(8, 8, clLime).get(), clFuchsia);
        Below = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 150));
        FillBacking(Below, Rect(0, 0, 200, 150), Blue);
        Active = GetActiveWindow();
    }
    void TearDown() override { ImageList_EndDrag(); }

    WmRecorder Recorder;
    TDragImageList Images{nullptr};
    TImageList Cursors{nullptr};
    HWND Below = nullptr;
    HWND Active = nullptr;
};

struct PlaceCase {
    const char* Name;
    bool LockToWindow; // else the screen
    TPoint At;
    TPoint Hotspot;
    TPoint TopLeft; // screen
};

TEST_F(UiDragImageTest, ThePictureSitsAtItsHotSpotAndThePointerPassesThrough) {
    const PlaceCase cases[] = {
        {"screen, centred hot spot", false, {150, 160}, {8, 8}, {142, 152}},
        {"screen, corner hot spot", false, {150, 160}, {0, 0}, {150, 160}},
        {"window coordinates", true, {20, 30}, {8, 8}, {112, 122}},
    };
    for (const PlaceCase& c : cases) {
        ASSERT_TRUE(ImageList_BeginDrag(Images.Handle(), 0, c.Hotspot.X, c.Hotspot.Y)) << c.Name;
        ASSERT_TRUE(ImageList_DragEnter(c.LockToWindow ? Below : nullptr, c.At.X, c.At.Y)) << c.Name;
        HWND image = DragImageWindow();
        ASSERT_TRUE(image) << c.Name;
        EXPECT_TRUE(IsWindowVisible(image)) << c.Name;
        EXPECT_EQ(WindowRectOf(image), Bounds(c.TopLeft.X, c.TopLeft.Y, 16, 16)) << c.Name;
        EXPECT_EQ(BackingPixel(image, 8, 8), Red) << c.Name;
        const TPoint pointer{c.TopLeft.X + c.Hotspot.X, c.TopLeft.Y + c.Hotspot.Y};
        EXPECT_EQ(WindowFromPoint(pointer), Below) << c.Name << ": looked through";
        EXPECT_EQ(GetActiveWindow(), Active) << c.Name << ": never activated";
        ImageList_EndDrag();
        EXPECT_EQ(DragImageWindow(), nullptr) << c.Name;
    }
}

TEST_F(UiDragImageTest, MovingHidingAndShowingLeaveTheWindowBelowAlone) {
    const std::vector<uint32_t> before = BackingPixels(Below);
    ImageList_BeginDrag(Images.Handle(), 0, 8, 8);
    ImageList_DragEnter(nullptr, 150, 160);
    HWND image = DragImageWindow();
    const struct {
        const char* Name;
        std::function<void()> Step;
        bool Shown;
    } steps[] = {
        {"move", [] { ImageList_DragMove(170, 150); }, true},
        {"hide", [] { ImageList_DragShowNolock(false); }, false},
        {"moved while hidden", [] { ImageList_DragMove(180, 150); }, false},
        {"show", [] { ImageList_DragShowNolock(true); }, true},
        {"leave", [] { ImageList_DragLeave(nullptr); }, false},
    };
    for (const auto& s : steps) {
        s.Step();
        ProcessMessages();
        EXPECT_EQ(IsWindowVisible(image), s.Shown) << s.Name;
        EXPECT_EQ(BackingPixels(Below), before) << s.Name;
    }
    ImageList_DragEnter(nullptr, 150, 160);
    EXPECT_EQ(WindowRectOf(image), Bounds(142, 152, 16, 16)) << "entered again";
}

struct CursorCase {
    const char* Name;
    TPoint Hotspot;       // of the dragged picture
    TPoint CursorHotspot; // of the cursor picture
    TSize Size;           // of both together
    TPoint MergedHotspot;
};

TEST_F(UiDragImageTest, ACursorPictureJoinsThePictureAtTheHotSpot) {
    const CursorCase cases[] = {
        {"inside", {8, 8}, {0, 0}, {16, 16}, {8, 8}},
        {"past the right and bottom", {12, 12}, {0, 0}, {20, 20}, {12, 12}},
        {"past the left and top", {2, 2}, {4, 4}, {18, 18}, {4, 4}},
    };
    const TPoint pointer{150, 160};
    for (const CursorCase& c : cases) {
        ImageList_BeginDrag(Images.Handle(), 0, c.Hotspot.X, c.Hotspot.Y);
        ImageList_DragEnter(nullptr, pointer.X, pointer.Y);
        // A second cursor picture replaces the first.
        for (int call = 0; call < 2; ++call)
            ASSERT_TRUE(ImageList_SetDragCursorImage(Cursors.Handle(), 0, c.CursorHotspot.X, c.CursorHotspot.Y));
        HWND image = DragImageWindow();
        EXPECT_EQ(WindowRectOf(image),
                  Bounds(pointer.X - c.MergedHotspot.X, pointer.Y - c.MergedHotspot.Y, c.Size.cx, c.Size.cy))
            << c.Name;
        EXPECT_EQ(BackingPixel(image, c.MergedHotspot.X, c.MergedHotspot.Y), Green) << c.Name;
        const TPoint pictureCorner{c.MergedHotspot.X - c.Hotspot.X, c.MergedHotspot.Y - c.Hotspot.Y};
        EXPECT_EQ(BackingPixel(image, pictureCorner.X + 1, pictureCorner.Y + 15), Red)
            << c.Name << ": the picture stays";
        ImageList_EndDrag();
    }
}

class PanelWithImages : public TPanel {
public:
    using TPanel::TPanel;
    TDragImageList* Images = nullptr;

protected:
    TDragImageList* GetDragImages() override { return Images; }
};

TEST_F(UiDragImageTest, ADragShowsThePictureWhereTheTargetAsksForIt) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    form->SetBounds(30, 300, 400, 200);
    auto* source = new PanelWithImages(form);
    auto* shows = new TPanel(form);
    auto* plain = new TPanel(form);
    const TRect places[] = {Bounds(10, 10, 100, 80), Bounds(140, 10, 100, 80), Bounds(270, 10, 100, 80)};
    TControl* panels[] = {source, shows, plain};
    for (int i = 0; i < 3; ++i) {
        panels[i]->SetParent(form);
        panels[i]->SetBoundsRect(places[i]);
    }
    shows->SetControlStyle(shows->ControlStyle() + csDisplayDragImage);
    source->Images = &Images;
    Images.SetDragImage(0, 8, 8);
    TDragControlObject dragObject(source);
    source->OnStartDrag = [&](TObject*, TDragObject*& object) { object = &dragObject; };
    source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); };
    form->Show();
    PumpQt(20);

    const TRect frame = WindowRectOf(form->Handle());
    const auto moveOver = [&](TControl* control, TPoint at) {
        const TPoint screen = control->ClientToScreen(at);
        SendQtMouse(form->Handle(), TMouseEventKind::Move, {screen.X - frame.Left, screen.Y - frame.Top}, 0,
                    MK_LBUTTON);
        ProcessMessages();
        return screen;
    };
    SendQtMouse(source->Handle(), TMouseEventKind::Press, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();

    const TPoint over = moveOver(shows, {30, 30});
    HWND image = DragImageWindow();
    ASSERT_TRUE(image) << "over a control that shows drag images";
    EXPECT_EQ(WindowRectOf(image), Bounds(over.X - 8, over.Y - 8, 16, 16));
    dragObject.HideDragImage();
    EXPECT_FALSE(IsWindowVisible(image)) << "hidden around a paint";
    dragObject.ShowDragImage();
    EXPECT_TRUE(IsWindowVisible(image)) << "shown again";

    moveOver(plain, {30, 30});
    EXPECT_EQ(DragImageWindow(), nullptr) << "over a control that does not";
    EXPECT_FALSE(Images.Dragging());
    moveOver(shows, {40, 40});
    EXPECT_NE(DragImageWindow(), nullptr) << "back over the first";

    SendQtMouse(form->Handle(), TMouseEventKind::Release, {0, 0}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(DragImageWindow(), nullptr) << "the drop ends it";
}

} // namespace

// Cursors: the shape a control's Cursor gives through WM_SETCURSOR, custom
// cursors in the screen's table, a window class's cursor, the hourglass over
// every window, cursors made from masks, and named cursor resources compiled
// into the test program (tests/platform/ui/resources).
#include "UiTestSupport.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/CursorTestHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using platform_ui::test::CursorHotSpot;
using platform_ui::test::CursorPixel;
using platform_ui::test::SendQtMouse;
using platform_ui::test::ShowsCursor;
using platform_ui::test::TMouseEventKind;

namespace {

constexpr TCursor CustomId = 5;
constexpr TCursor NamedId = -1140;

// A 32x32 cursor: a black square with its hot spot at (HotX, HotY).
HCURSOR SquareCursor(int HotX, int HotY) {
    std::vector<uint8_t> andPlane(4 * 32, 0xFF), xorPlane(4 * 32, 0);
    for (int y = 8; y < 16; ++y)
        andPlane[static_cast<size_t>(y * 4)] = 0x00;
    return CreateCursor(HInstance, HotX, HotY, 32, 32, andPlane.data(), xorPlane.data());
}

struct CursorForm {
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    explicit CursorForm(int Left) {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(Left, 40, 200, 150);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 120, 80);
        Form->Show();
        ProcessMessages();
    }
    ~CursorForm() { delete Form; }
    // The pointer moves over the panel, which asks for its cursor first.
    void Hover() const {
        SendQtMouse(Panel->Handle(), TMouseEventKind::Move, {20, 20}, 0, 0);
        ProcessMessages();
    }
};

TEST(UiCursor, ControlCursorShowsThroughSetCursorMessage) {
    const HCURSOR custom = SquareCursor(3, 7);
    Screen->SetCursors(CustomId, custom);
    Screen->SetCursors(NamedId, LoadCursor(HInstance, "TEST_POINTER"));
    CursorForm f(40);
    struct Case {
        const char* Name;
        TCursor Cursor;
        HCURSOR Expected;
    };
    // Each row follows the one before on the same panel, so crDefault shows
    // that a control gives back a shape it had set.
    const Case cases[] = {
        {"I-beam", crIBeam, LoadCursor(nullptr, IDC_IBEAM)},
        {"default", crDefault, LoadCursor(nullptr, IDC_ARROW)},
        {"hand", crHandPoint, LoadCursor(nullptr, IDC_HAND)},
        {"compiled-in splitter", crHSplit, LoadCursor(HInstance, IDC_PROGRAM_HSPLIT)},
        {"compiled-in no-drop", crNoDrop, LoadCursor(HInstance, IDC_PROGRAM_NODROP)},
        {"custom", CustomId, custom},
        {"named resource", NamedId, LoadCursor(HInstance, "TEST_POINTER")},
        {"unregistered id", 77, LoadCursor(nullptr, IDC_ARROW)},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.Expected, nullptr) << c.Name;
        f.Panel->SetCursor(c.Cursor);
        f.Hover();
        EXPECT_TRUE(ShowsCursor(f.Panel->Handle(), c.Expected)) << c.Name;
    }
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW)) << "the last one set stays current";
    Screen->SetCursors(CustomId, nullptr);
    Screen->SetCursors(NamedId, nullptr);
    EXPECT_EQ(Screen->Cursors(CustomId), LoadCursor(nullptr, IDC_ARROW));
    EXPECT_TRUE(DestroyCursor(custom));
}

TEST(UiCursor, WindowClassCursorShowsOnlyOverItsOwnWindows) {
    ASSERT_TRUE(RegisterClass({"CursorCrossClass", 0, {}, nullptr, LoadCursor(nullptr, IDC_CROSS)}));
    ASSERT_TRUE(RegisterClass({"CursorBeamClass", 0, {}, nullptr, LoadCursor(nullptr, IDC_IBEAM)}));
    HWND top = CreateWindowEx(0, "CursorCrossClass", "", WS_POPUP | WS_VISIBLE, 300, 300, 160, 120, nullptr);
    HWND child = CreateWindowEx(0, "CursorBeamClass", "", WS_CHILD | WS_VISIBLE, 80, 60, 40, 30, top);
    ASSERT_TRUE(top && child);
    SendQtMouse(top, TMouseEventKind::Move, {10, 10}, 0, 0);
    ProcessMessages();
    EXPECT_TRUE(ShowsCursor(top, LoadCursor(nullptr, IDC_CROSS)));
    // The parent is asked first but does not put its class cursor over a child.
    SendQtMouse(child, TMouseEventKind::Move, {5, 5}, 0, 0);
    ProcessMessages();
    EXPECT_TRUE(ShowsCursor(child, LoadCursor(nullptr, IDC_IBEAM)));
    DestroyWindow(top);
    UnregisterClass("CursorCrossClass");
    UnregisterClass("CursorBeamClass");
}

TEST(UiCursor, HourGlassCoversEveryWindowWhileHeld) {
    CursorForm a(40), b(300);
    a.Panel->SetCursor(crIBeam);
    a.Hover();
    const HCURSOR wait = Screen->Cursors(crHourGlass);
    {
        TScreenCursorScope hourGlass(crHourGlass);
        for (const CursorForm* f : {&a, &b}) {
            EXPECT_TRUE(ShowsCursor(f->Panel->Handle(), wait));
            EXPECT_TRUE(ShowsCursor(f->Form->Handle(), wait));
        }
        a.Hover();
        EXPECT_TRUE(ShowsCursor(a.Panel->Handle(), wait)) << "a control's own cursor stays beneath";
    }
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_TRUE(ShowsCursor(a.Panel->Handle(), LoadCursor(nullptr, IDC_IBEAM)));
    EXPECT_FALSE(ShowsCursor(b.Panel->Handle(), wait));
}

TEST(UiCursor, CreatedCursorKeepsItsHotSpotAndSetCursorReturnsThePrevious) {
    const HCURSOR square = SquareCursor(3, 7);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(CursorHotSpot(square).X, 3);
    EXPECT_EQ(CursorHotSpot(square).Y, 7);
    EXPECT_EQ(CursorHotSpot(LoadCursor(HInstance, IDC_PROGRAM_VSPLIT)).Y, 15);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(square), arrow);
    EXPECT_EQ(GetCursor(), square);
    EXPECT_FALSE(DestroyCursor(arrow)) << "a shared cursor lives on";
    EXPECT_TRUE(DestroyCursor(square));
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(LoadCursor(nullptr, 1), nullptr);
}

TEST(UiCursor, PicturesKeepTheirColoursTransparencyAndHotSpot) {
    const HCURSOR square = SquareCursor(0, 0);
    struct Case {
        const char* Name;
        HCURSOR Cursor;
        TPoint HotSpot;
        int X, Y;
        uint32_t Expected; // 0xAARRGGBB
    };
    // test_pointer.cur: 4 bits, a red square at (2, 2)-(5, 5) and a blue
    // bottom-right pixel; test_shadow.cur: 32 bits, lime top-left, half-clear
    // red bottom-right.
    const Case cases[] = {
        {"paletted colour", LoadCursor(HInstance, "TEST_POINTER"), {3, 5}, 3, 3, 0xFFFF0000},
        {"rows bottom-up", LoadCursor(HInstance, "TEST_POINTER"), {3, 5}, 15, 15, 0xFF0000FF},
        {"AND mask clear", LoadCursor(HInstance, "test_pointer"), {3, 5}, 0, 0, 0},
        {"alpha opaque", LoadCursor(HInstance, "TEST_SHADOW"), {0, 7}, 0, 0, 0xFF00FF00},
        {"alpha half", LoadCursor(HInstance, "TEST_SHADOW"), {0, 7}, 7, 7, 0x80FF0000},
        {"alpha clear", LoadCursor(HInstance, "TEST_SHADOW"), {0, 7}, 3, 3, 0},
        {"masks black", square, {0, 0}, 0, 8, 0xFF000000},
        {"masks transparent", square, {0, 0}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.Cursor, nullptr) << c.Name;
        EXPECT_EQ(CursorHotSpot(c.Cursor).X, c.HotSpot.X) << c.Name;
        EXPECT_EQ(CursorHotSpot(c.Cursor).Y, c.HotSpot.Y) << c.Name;
        EXPECT_EQ(CursorPixel(c.Cursor, c.X, c.Y), c.Expected) << c.Name;
    }
    EXPECT_TRUE(DestroyCursor(square));
}

TEST(UiCursor, NamedCursorsAreSharedAndUnknownNamesGiveNothing) {
    const HCURSOR pointer = LoadCursor(HInstance, "TEST_POINTER");
    EXPECT_EQ(LoadCursor(HInstance, "Test_Pointer"), pointer);
    EXPECT_FALSE(DestroyCursor(pointer)) << "a loaded cursor lives on";
    EXPECT_EQ(LoadCursor(HInstance, "NO_SUCH_CURSOR"), nullptr);
    EXPECT_EQ(LoadCursor(HInstance, "TEST_GLYPH"), nullptr) << "a bitmap is no cursor";
    EXPECT_EQ(LoadCursor(nullptr, "TEST_POINTER"), nullptr);
}

} // namespace

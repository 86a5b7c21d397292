// The flat painter on a small form: which controls it hooks, how the
// subclasses follow the control's messages and survive a new window, what
// they paint at a few points, and the colour and menu routines.
#include "components/FlatPainter.h"

#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform_ui::test::RenderedPixel;

namespace {

uint32_t Rgb(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

template <class T> T* Make(TWinControl* Parent, TRect Bounds, const std::string& Caption = "") {
    auto* control = new T(Parent->Owner() ? Parent->Owner() : Parent);
    control->SetParent(Parent);
    control->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    if (!Caption.empty()) control->SetCaption(Caption);
    return control;
}

// The login's kind of form: edits, buttons, a check box, a radio button, a
// group box holding a check box, a panel and a combo box.
class FlatPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(20, 20, 420, 300);
        First = Make<TEdit>(Form, Rect(8, 8, 160, 29));
        Edit = Make<TEdit>(Form, Rect(8, 40, 160, 61));
        Button = Make<TButton>(Form, Rect(180, 8, 260, 33), "确定");
        Check = Make<TCheckBox>(Form, Rect(180, 40, 300, 60), "选择");
        Radio = Make<TRadioButton>(Form, Rect(180, 64, 300, 84), "单选");
        Group = Make<TGroupBox>(Form, Rect(8, 100, 200, 180), "分组");
        Inner = Make<TCheckBox>(Group, Rect(10, 24, 150, 44), "组内");
        Panel = Make<TPanel>(Form, Rect(210, 100, 400, 180));
        Combo = Make<TComboBox>(Form, Rect(8, 200, 160, 221));
        Speed = Make<TSpeedButton>(Panel, Rect(10, 10, 80, 35), "浏览");
        Painter = new TFlatPainter(Form);
    }
    void TearDown() override {
        delete Form;
        ProcessMessages();
    }
    void Activate() { Activate(Painter->FlatControls()); }
    void Activate(TFlatControls Kinds) {
        Painter->SetFlatControls(Kinds);
        Form->Show();
        Painter->SetActive(true);
        ProcessMessages();
    }

    TForm* Form = nullptr;
    TEdit* First = nullptr;
    TEdit* Edit = nullptr;
    TButton* Button = nullptr;
    TCheckBox* Check = nullptr;
    TRadioButton* Radio = nullptr;
    TGroupBox* Group = nullptr;
    TCheckBox* Inner = nullptr;
    TPanel* Panel = nullptr;
    TComboBox* Combo = nullptr;
    TSpeedButton* Speed = nullptr;
    TFlatPainter* Painter = nullptr;
};

TEST(FlatPainterColours, LightenDarkenAndGreyFollowTheirFormulas) {
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    TCanvas* canvas = bitmap.Canvas();
    const struct {
        TColor Color;
        int Percent;
        TColor Lightened;
    } lighten[] = {
        {0x000000, 50, 0x808080}, // 127.5 rounds to the even 128
        {0x0000FF, 100, 0xFFFFFF},
        {0x102030, 150, 0xFFFFFF}, // at most 100 percent
        {0x402010, 10, 0x533628},
    };
    for (const auto& c : lighten)
        EXPECT_EQ(FlatPainter::LightenColor(canvas, c.Color, c.Percent), c.Lightened) << std::hex << c.Color;
    const struct {
        TColor Color;
        int Value;
        TColor Darkened;
    } darken[] = {
        {0x808080, 30, 0x626462}, // green loses two less
        {0x101010, 60, 0x000000},
        {0xF0F0F0, -40, 0xFFFFFF},
    };
    for (const auto& c : darken)
        EXPECT_EQ(FlatPainter::DarkenColor(c.Color, c.Value), c.Darkened) << std::hex << c.Color;
    EXPECT_EQ(FlatPainter::GreyOfColor(0x3060C0, 10), 0x7A7A7A);
    EXPECT_EQ(FlatPainter::GreyOfColor(0xFFFFFF, 10), 0xF0F0F0) << "at most 240";
}

TEST(FlatPainterColours, LowColourDevicesFallBackToFixedColours) {
    TFlatPainter painter(nullptr);
    TBitmap high, low;
    high.SetSize(4, 4);
    low.SetPixelFormat(pf8bit);
    low.SetSize(4, 4);
    painter.ComputeColors(high.Canvas());
    EXPECT_TRUE(painter.Colors().HighColor);
    EXPECT_EQ(painter.Colors().Item, FlatPainter::LightenColor(high.Canvas(), clBtnFace, 86));
    painter.ComputeColors(low.Canvas());
    EXPECT_FALSE(painter.Colors().HighColor);
    EXPECT_EQ(painter.Colors().Item, clWhite);
    EXPECT_EQ(painter.Colors().IconColumn, clBtnFace);
    EXPECT_EQ(painter.Colors().Selection, clWhite);
}

TEST_F(FlatPainterTest, TagsKindsAndParentsDecideWhichControlsAreHooked) {
    Edit->SetTag(999);
    Group->SetTag(999); // its check box keeps its own look too
    Activate();
    const struct {
        const char* Name;
        TControl* Control;
        bool Hooked;
    } cases[] = {
        {"edit", First, true},
        {"edit with tag 999", Edit, false},
        {"button", Button, true},
        {"check box", Check, true},
        {"radio button", Radio, true},
        {"group box", Group, false},
        {"in a group of tag 999", Inner, false},
        {"panel", Panel, true},
        {"combo box", Combo, true},
        {"speed button", Speed, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TControlSubClass::Hooked(c.Control), c.Hooked) << c.Name;
}

TEST_F(FlatPainterTest, FlatControlsAndFlatContainersNarrowTheHooking) {
    Activate({xcEdit, xcCheckBox});
    EXPECT_TRUE(TControlSubClass::Hooked(First));
    EXPECT_FALSE(TControlSubClass::Hooked(Button));
    EXPECT_FALSE(TControlSubClass::Hooked(Combo));
    Painter->SetActive(false);
    Form->Repaint();
    ProcessMessages();
    Painter->SetFlatContainers({xccGroupBox});
    Painter->SetActive(true);
    EXPECT_TRUE(TControlSubClass::Hooked(Inner)) << "in a group box";
    EXPECT_FALSE(TControlSubClass::Hooked(Check)) << "straight on the form";
}

TEST_F(FlatPainterTest, DeactivatedSubclassesRestoreTheirControlAtTheNextMessage) {
    Activate();
    ASSERT_TRUE(TControlSubClass::Hooked(First));
    RenderedPixel(First->Handle(), 0, 0); // painted flat: no 3-D look
    EXPECT_FALSE(First->Ctl3D());
    const int before = Painter->ComponentCount();
    Painter->SetActive(false);
    EXPECT_TRUE(TControlSubClass::Hooked(First)) << "until the control hears of it";
    First->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(TControlSubClass::Hooked(First));
    EXPECT_TRUE(First->Ctl3D()) << "its look as it was hooked";
    EXPECT_EQ(Painter->ComponentCount(), before - 1) << "the subclass is gone";
}

TEST_F(FlatPainterTest, AnEditsCtl3DChangeKeepsItsSubclass) {
    Activate();
    RenderedPixel(Edit->Handle(), 0, 0);
    ASSERT_FALSE(Edit->Ctl3D());
    Edit->SetCtl3D(true);
    EXPECT_TRUE(TControlSubClass::Hooked(Edit));
    RenderedPixel(Edit->Handle(), 0, 0);
    EXPECT_FALSE(Edit->Ctl3D()) << "flattened again at the next paint";
    EXPECT_TRUE(TControlSubClass::Hooked(Edit));
}

TEST_F(FlatPainterTest, UnhookingLeavesAProcedureHookedAfterTheSubclass) {
    Activate();
    int seen = 0;
    TWndMethod subclass = Button->WindowProc;
    Button->WindowProc = [&, subclass](TMessage& m) {
        if (m.Msg == CM_MOUSEENTER) ++seen;
        subclass(m);
    };
    Painter->SetActive(false);
    Button->Perform(CM_MOUSEENTER); // the subclass goes
    Button->Perform(CM_MOUSEENTER);
    EXPECT_EQ(seen, 2);
    EXPECT_FALSE(TControlSubClass::Hooked(Button));
    int clicks = 0;
    Button->OnClick = [&](TObject*) { ++clicks; };
    Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    Button->Perform(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(clicks, 1) << "messages still reach the button";
}

TEST_F(FlatPainterTest, TheTrueFlatStyleShowsItsSurfacesAndOutlines) {
    auto* plain = Make<TButton>(Form, Rect(270, 8, 350, 33), "普通");
    plain->SetTag(1234567890);
    auto* own = Make<TButton>(Form, Rect(270, 40, 350, 65), "原样");
    own->SetTag(-1);
    Activate();
    const int mid = Button->Height() / 2;
    const struct {
        const char* Name;
        TWinControl* Control;
        TPoint At;
        uint32_t Expected;
    } cases[] = {
        {"button face", Button, {10, 4}, Rgb(Painter->BtnSurfaceNormalColor())},
        {"button outline", Button, {0, mid}, Rgb(Painter->BtnOutLineBorderColor())},
        {"edit face", Edit, {4, 4}, Rgb(Painter->BtnSurfaceNormalColor())},
        {"plain flat button face", plain, {10, mid}, Rgb(Painter->Colors().IconColumn)},
        {"button of negative tag", own, {10, mid}, Rgb(clBtnFace)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RenderedPixel(c.Control->Handle(), c.At.X, c.At.Y), c.Expected) << c.Name;
}

TEST_F(FlatPainterTest, ADownSpeedButtonIsShadedDarkerThanItsCheckArea) {
    Speed->SetGroupIndex(1);
    Speed->SetAllowAllUp(true);
    Speed->SetTag(1234567890); // the plain flat style
    Activate();
    const TPoint face{Speed->Left() + 3, Speed->Top() + 3};
    EXPECT_EQ(RenderedPixel(Panel->Handle(), face.X, face.Y), Rgb(Painter->Colors().IconColumn)) << "up";
    Speed->SetDown(true);
    TBitmap screenLike;
    screenLike.SetSize(4, 4);
    const TColor tone = FlatPainter::LightenColor(screenLike.Canvas(), Speed->Color(), 20);
    EXPECT_EQ(RenderedPixel(Panel->Handle(), face.X, face.Y), Rgb(Painter->Colors().CheckArea) & Rgb(tone))
        << "down";
}

TEST_F(FlatPainterTest, HeldSpacePaintsOnePressAndADoubleClickIsASecondPress) {
    Activate();
    Button->SetFocus();
    ProcessMessages();
    const HWND wnd = Button->Handle();
    const int mid = Button->Height() / 2;
    const uint32_t down = Rgb(Painter->BtnSurfaceDownColor());
    const uint32_t marker = 0x123456;
    Button->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(platform_ui::test::BackingPixel(wnd, 10, mid), down) << "pressed";
    platform_ui::test::FillBacking(wnd, Rect(10, mid, 11, mid + 1), marker);
    Button->Perform(WM_KEYDOWN, VK_SPACE, 0x40000000); // auto-repeat
    EXPECT_EQ(platform_ui::test::BackingPixel(wnd, 10, mid), marker) << "not painted again";
    Button->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_NE(platform_ui::test::BackingPixel(wnd, 10, mid), down);

    int clicks = 0;
    Button->OnClick = [&](TObject*) { ++clicks; };
    using platform_ui::test::TMouseEventKind;
    const TPoint at{10, mid};
    platform_ui::test::SendQtMouse(wnd, TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(wnd, TMouseEventKind::Release, at, MK_LBUTTON, 0);
    platform_ui::test::SendQtMouse(wnd, TMouseEventKind::DoubleClick, at, MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(wnd, TMouseEventKind::Release, at, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(clicks, 2);
}

TEST_F(FlatPainterTest, MenuItemsMeasureAndKeepTheFormsOwnDrawing) {
    auto* menu = new TPopupMenu(Form);
    auto* save = new TMenuItem(Form);
    save->SetCaption("保存");
    auto* saveWithKey = new TMenuItem(Form);
    saveWithKey->SetCaption("保存");
    saveWithKey->SetShortCut(ShortCut('S', {ssCtrl}));
    auto* line = new TMenuItem(Form);
    line->SetCaption("-");
    auto* own = new TMenuItem(Form);
    own->SetCaption("自绘");
    bool ownDrawn = false;
    own->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool) { ownDrawn = true; };
    for (TMenuItem* item : {save, saveWithKey, line, own})
        menu->Items()->Add(item);
    Activate();
    EXPECT_TRUE(menu->OwnerDraw());
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    TCanvas* canvas = bitmap.Canvas();
    const auto measure = [&](TMenuItem* item) {
        int width = 0, height = 0;
        item->OnMeasureItem(item, canvas, width, height);
        return TSize{width, height};
    };
    EXPECT_EQ(measure(line).cy, 4);
    canvas->Font()->Assign(Painter->Font());
    EXPECT_EQ(measure(saveWithKey).cx - measure(save).cx, canvas->TextWidth("Ctrl+SWWW"));
    own->OnDrawItem(own, canvas, Rect(0, 0, 1, 1), false);
    EXPECT_TRUE(ownDrawn) << "the form's drawing stays";
    Painter->SetActive(false);
    Painter->SetOverrideOwnerDraw(true);
    Painter->SetActive(true);
    ownDrawn = false;
    own->OnDrawItem(own, canvas, Rect(0, 0, 1, 1), false);
    EXPECT_FALSE(ownDrawn) << "replaced with OverrideOwnerDraw";
}

TEST_F(FlatPainterTest, MenuGlyphsComeFromTheSubMenuImagesOrTheItemsOwnBitmap) {
    auto* menu = new TPopupMenu(Form);
    auto* small = new TImageList(Form);
    small->SetWidth(16);
    small->SetHeight(16);
    auto* large = new TImageList(Form);
    large->SetWidth(40);
    large->SetHeight(40);
    menu->SetImages(small);
    auto* parent = new TMenuItem(Form);
    auto* listed = new TMenuItem(Form);
    listed->SetImageIndex(0);
    auto* own = new TMenuItem(Form);
    own->Bitmap()->SetSize(50, 30);
    auto* plain = new TMenuItem(Form);
    menu->Items()->Add(parent);
    parent->Add(listed);
    parent->Add(own);
    parent->Add(plain);
    const struct {
        const char* Name;
        TCustomImageList* SubMenuImages;
        TMenuItem* Item;
        TSize Glyph;
    } cases[] = {
        {"the menu's images", nullptr, listed, {Painter->IconWidth(), 16}},
        {"the parent's sub-menu images", large, listed, {40, 40}},
        {"the item's own bitmap", large, own, {50, 30}},
        {"no glyph", large, plain, {0, 0}},
    };
    for (const auto& c : cases) {
        parent->SetSubMenuImages(c.SubMenuImages);
        const TSize glyph = Painter->GlyphSize(c.Item);
        EXPECT_EQ(glyph.cx, std::max<int>(c.Glyph.cx, c.Glyph.cx ? Painter->IconWidth() : 0)) << c.Name;
        EXPECT_EQ(glyph.cy, c.Glyph.cy) << c.Name;
    }
    delete large;
    EXPECT_EQ(parent->SubMenuImages(), nullptr) << "a freed list is let go";
}

TEST_F(FlatPainterTest, AListedGlyphLiesOnTheMenusCornerPixelOrOnTheBrush) {
    auto* menu = new TPopupMenu(Form);
    const auto makeList = [this](TColor Picture) {
        auto* list = new TImageList(Form);
        list->SetWidth(16);
        list->SetHeight(16);
        TBitmap image;
        image.SetSize(16, 16);
        image.Canvas()->Brush()->SetColor(clFuchsia);
        image.Canvas()->FillRect(Rect(0, 0, 16, 16));
        image.Canvas()->Brush()->SetColor(Picture);
        image.Canvas()->FillRect(Rect(4, 4, 12, 12));
        list->AddMasked(&image, clFuchsia);
        return list;
    };
    menu->SetImages(makeList(clNavy));
    TImageList* subMenuImages = makeList(clMaroon);
    auto* parent = new TMenuItem(Form);
    auto* item = new TMenuItem(Form);
    item->SetImageIndex(0);
    menu->Items()->Add(parent);
    parent->Add(item);

    TBitmap target;
    target.SetSize(60, 30);
    TCanvas* canvas = target.Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(Rect(0, 0, 60, 30));
    canvas->SetPixels(2, 2, clBlue);
    canvas->Brush()->SetColor(clLime);
    const struct {
        const char* Name;
        TCustomImageList* SubMenuImages;
        TColor Picture, Ground;
    } cases[] = {
        {"the menu's own images lie on the pixel at (2, 2)", nullptr, clNavy, clBlue},
        {"sub-menu images lie on the brush", subMenuImages, clMaroon, clLime},
    };
    for (const auto& c : cases) {
        parent->SetSubMenuImages(c.SubMenuImages);
        const std::unique_ptr<TBitmap> glyph = Painter->ItemGlyph(item, canvas);
        ASSERT_NE(glyph, nullptr) << c.Name;
        EXPECT_EQ(Rgb(glyph->Canvas()->Pixels(8, 8)), Rgb(c.Picture)) << c.Name;
        EXPECT_EQ(Rgb(glyph->Canvas()->Pixels(1, 1)), Rgb(c.Ground)) << c.Name;
    }
}

} // namespace

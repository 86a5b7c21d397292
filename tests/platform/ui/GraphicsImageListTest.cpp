// Image lists: masked adding from strips, drawing with each style, the
// disabled look and change links.
#include "UiTestSupport.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>

namespace {

using uitest::Filled;

// Two 8 x 8 images on a fuchsia background: a red square, then a green one.
class StripList : public testing::Test {
protected:
    void SetUp() override {
        list.SetWidth(8);
        list.SetHeight(8);
        auto strip = Filled(16, 8, clFuchsia);
        strip->Canvas()->Brush()->SetColor(clRed);
        strip->Canvas()->FillRect(Rect(2, 2, 6, 6));
        strip->Canvas()->Brush()->SetColor(clLime);
        strip->Canvas()->FillRect(Rect(10, 2, 14, 6));
        EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
        target = Filled(20, 20, clBlue);
    }
    TColor At(int x, int y) { return target->Canvas()->Pixels(x, y); }
    TImageList list{nullptr};
    std::unique_ptr<TBitmap> target;
};

TEST_F(StripList, AddMaskedSplitsTheStripAndDrawsTransparently) {
    EXPECT_EQ(list.Count(), 2);
    list.Draw(target->Canvas(), 3, 3, 0);
    EXPECT_EQ(At(5, 5), clRed);
    EXPECT_EQ(At(3, 3), clBlue);
    EXPECT_EQ(At(11, 11), clBlue); // outside the image
    list.Draw(target->Canvas(), 10, 10, 1);
    EXPECT_EQ(At(12, 12), clLime);
    EXPECT_EQ(At(10, 10), clBlue);
    list.Draw(target->Canvas(), 0, 0, 5); // no such image: nothing
    EXPECT_EQ(At(0, 0), clBlue);
}

TEST_F(StripList, DrawExStylesFillMaskAndBlend) {
    HDC dc = target->Canvas()->Handle();
    HIMAGELIST handle = list.Handle();
    struct Case {
        const char* name;
        COLORREF background;
        UINT style;
        TColor corner, middle;
    };
    const Case cases[] = {
        {"BackgroundFillsTheMask", 0xFFFFFF, ILD_NORMAL, clWhite, clRed},
        {"NoneLeavesTheMask", CLR_NONE, ILD_NORMAL, clBlue, clRed},
        {"TransparentStyleWins", 0xFFFFFF, ILD_TRANSPARENT, clBlue, clRed},
        {"MaskIsWhiteWhereTransparent", CLR_NONE, ILD_MASK, clWhite, clBlack},
        {"ImageIgnoresTheMask", CLR_NONE, ILD_IMAGE, clBlack, clRed},
    };
    for (const Case& c : cases) {
        target->Canvas()->FillRect(Rect(0, 0, 20, 20)); // the canvas brush is blue
        ASSERT_TRUE(ImageList_DrawEx(handle, 0, dc, 0, 0, 0, 0, c.background, CLR_DEFAULT, c.style)) << c.name;
        EXPECT_EQ(At(0, 0), c.corner) << c.name;
        EXPECT_EQ(At(3, 3), c.middle) << c.name;
    }
    // A partial draw stops at dx, dy.
    target->Canvas()->FillRect(Rect(0, 0, 20, 20));
    ImageList_DrawEx(handle, 0, dc, 0, 0, 3, 3, 0xFFFFFF, CLR_DEFAULT, ILD_NORMAL);
    EXPECT_EQ(At(2, 2), clRed);
    EXPECT_EQ(At(3, 3), clBlue);
    // Blending puts the highlight over half of the opaque pixels.
    target->Canvas()->FillRect(Rect(0, 0, 20, 20));
    ImageList_DrawEx(handle, 0, dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_BLEND50);
    int highlighted = 0, red = 0;
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) {
            highlighted += static_cast<COLORREF>(At(x, y)) == GetSysColor(COLOR_HIGHLIGHT);
            red += At(x, y) == clRed;
        }
    EXPECT_EQ(highlighted, 8);
    EXPECT_EQ(red, 8);
    EXPECT_EQ(At(0, 0), clBlue);
}

TEST_F(StripList, DisabledImagesAreEmbossed) {
    list.Draw(target->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(static_cast<COLORREF>(At(2, 2)), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(static_cast<COLORREF>(At(6, 6)), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(0, 0), clBlue);
}

TEST_F(StripList, ChangesReachLinksAndASizeChangeClears) {
    int changes = 0;
    TChangeLink link;
    link.OnChange = [&](TObject*) { ++changes; };
    list.RegisterChanges(&link);
    auto bitmap = Filled(8, 8, clWhite);
    EXPECT_EQ(list.Add(bitmap.get(), nullptr), 2);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(changes, 2);
    TBitmap copy;
    ASSERT_TRUE(list.GetBitmap(0, &copy));
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(copy.Canvas()->Pixels(3, 3), clLime);
    list.SetWidth(16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 3);
    list.UnRegisterChanges(&link);
    list.Clear();
    EXPECT_EQ(changes, 3);
}

} // namespace

// The image editor: finding a value's image and description (a bad image
// number included), cells painted from view data without a window, stepping
// and the description search by keys, and its popup list shown under it
// without taking the activation or the keyboard.
#include "editors/ImageEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/rtl/StringList.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;

namespace {

std::unique_ptr<TStringList> Lines(std::initializer_list<const char*> Texts) {
    auto list = std::make_unique<TStringList>();
    for (const char* text : Texts)
        list->Add(text);
    return list;
}

// Two 8 x 8 images: 0 red, 1 green.
struct TwoImages {
    TImageList List{nullptr};
    TwoImages() {
        List.SetWidth(8);
        List.SetHeight(8);
        auto strip = Filled(16, 8, clRed);
        strip->Canvas()->Brush()->SetColor(clLime);
        strip->Canvas()->FillRect(Rect(8, 0, 16, 8));
        List.AddMasked(strip.get(), clFuchsia);
    }
};

void Fill(TcvInplaceImageEdit* Edit, std::initializer_list<const char*> Values,
          std::initializer_list<const char*> Descriptions) {
    Edit->SetValues(Lines(Values).get());
    Edit->SetDescriptions(Lines(Descriptions).get());
}

std::string Value(TcvInplaceEdit* Edit) {
    return Edit->Text();
}

} // namespace

TEST(ImageEdit, FindValueIndexesGivesTheImageAndDescriptionOfAValue) {
    const struct {
        const char* Value;
        bool DefaultImages;
        int Description;
        int Image;
    } cases[] = {
        {"2", true, 1, 1},   {"3", true, -1, 2}, // no third description
        {"9", true, -1, -1}, {"1", false, 0, 5}, // the number written for it
        {"2", false, 1, -1},                     // "x" is no number: no image, no exception
        {"3", false, -1, 2},                     // beyond ImageIndexes: its position
    };
    const auto values = Lines({"1", "2", "3"});
    const auto descriptions = Lines({"Yes", "No"});
    const auto imageIndexes = Lines({"5", "x"});
    for (const auto& c : cases) {
        int description = 99, image = 99;
        TcvInplaceImageEdit::FindValueIndexes(c.Value, imageIndexes.get(), description, image, c.DefaultImages,
                                              values.get(), descriptions.get());
        EXPECT_EQ(description, c.Description) << c.Value << " default " << c.DefaultImages;
        EXPECT_EQ(image, c.Image) << c.Value << " default " << c.DefaultImages;
    }
}

class ImageCell : public CellImage {
protected:
    ImageCell() { Width = 60; }
    bool Has(COLORREF Color, int Left, int Right) {
        for (int y = 0; y < Height; ++y)
            for (int x = Left; x < Right; ++x)
                if (GetPixel(DC, x, y) == Color) return true;
        return false;
    }
};

TEST_F(ImageCell, TheValuesImageAndDescriptionPaintWithoutAWindow) {
    const struct {
        const char* Value;
        bool ShowDescription;
        const char* ImageIndex; // of the value "2", with DefaultImages off
        bool Green;             // image 1
        bool Text;
    } cases[] = {
        {"2", true, "1", true, true},   {"2", false, "1", true, false},
        {"7", true, "1", false, true},  // not a value: its own text, no image
        {"7", false, "1", false, false},
        {"2", true, "abc", false, true}, // a bad number paints no image, and paints on
    };
    TwoImages images;
    TComponent owner(nullptr);
    auto* edit = new TcvInplaceImageEdit(&owner);
    Fill(edit, {"1", "2"}, {"Yes", "No"});
    edit->SetImages(&images.List);
    edit->SetDefaultImages(false);
    const COLORREF green = ColorToRGB(clLime);
    for (const auto& c : cases) {
        edit->SetImageIndexes(Lines({"0", c.ImageIndex}).get());
        edit->SetShowDescription(c.ShowDescription);
        edit->SetEditValue(c.Value);
        std::unique_ptr<TcvEditViewData> cell = edit->CreateViewData(false);
        cell->BorderStyle = xbsNone;
        static_cast<TcvDropDownEditViewData&>(*cell).ButtonsHidden = true; // as the column's cells
        cell->Bounds = {0, 0, Width, Height};
        const int windowsBefore = CountWindows();
        edit->EditorClass().DrawCell(DC, *cell, nullptr);
        EXPECT_EQ(CountWindows(), windowsBefore);
        const int imageLeft = c.ShowDescription ? 0 : (Width - 8) / 2; // centred without a description
        EXPECT_EQ(Has(green, imageLeft, imageLeft + 9), c.Green) << c.Value << " " << c.ImageIndex;
        bool ink = false;
        for (int x = 12; x < Width - 2 && !ink; ++x)
            for (int y = 2; y < Height - 2 && !ink; ++y)
                ink = GetPixel(DC, x, y) != cell->BackgroundColor && GetPixel(DC, x, y) != green;
        EXPECT_EQ(ink, c.Text) << c.Value << " description " << c.ShowDescription;
    }
}

TEST(ImageEdit, StandaloneKeysStepThroughTheValuesWithoutWrapping) {
    const struct {
        const char* From;
        Word Key;
        const char* To;
    } cases[] = {
        {"b", VK_DOWN, "c"}, {"b", VK_RIGHT, "c"}, {"b", VK_UP, "a"}, {"a", VK_LEFT, "a"},
        {"e", VK_DOWN, "e"}, {"b", VK_END, "e"},   {"d", VK_HOME, "a"}, {"a", VK_NEXT, "c"}, // two rows a page
        {"x", VK_DOWN, "a"}, // not a value: the first
    };
    EditorOnForm<TcvInplaceImageEdit> w(TStandaloneClass<TcvInplaceImageEdit, TcvImageEditClassOps>::Instance());
    Fill(w.Edit, {"a", "b", "c", "d", "e"}, {});
    w.Edit->SetDropDownRows(3);
    for (const auto& c : cases) {
        w.Edit->SetEditValue(c.From);
        Type(w.Edit, c.Key);
        EXPECT_EQ(Value(w.Edit), c.To) << c.From << " key " << c.Key;
    }
}

TEST(ImageEdit, InPlaceUpAndDownBelongToTheHostAndLeftRightMoveItsRow) {
    HostedEditor h(TcvInplaceImageEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceImageEdit*>(h.Editor);
    Fill(edit, {"a", "b", "c"}, {});
    h.Open("b");
    const int row = h.Host->Row;
    Type(edit, VK_DOWN);
    EXPECT_EQ(Value(edit), "b");
    EXPECT_EQ(h.Host->Row, row + 1);
    Type(edit, VK_LEFT);
    EXPECT_EQ(Value(edit), "b");
    edit->SetIncremental(true);
    Type(edit, VK_DOWN);
    EXPECT_EQ(Value(edit), "c") << "incremental: the editor steps itself";
}

TEST(ImageEdit, ALetterJumpsToTheNextDescriptionStartingWithIt) {
    EditorOnForm<TcvInplaceImageEdit> w(TStandaloneClass<TcvInplaceImageEdit, TcvImageEditClassOps>::Instance());
    Fill(w.Edit, {"1", "2", "3"}, {"Mon", "Tue", "Mar"});
    w.Edit->SetEditValue("2");
    std::vector<std::string> seen;
    for (int press = 0; press < 3; ++press) {
        Type(w.Edit, 'M', "m");
        seen.push_back(Value(w.Edit));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"3", "1", "3"}));
    EXPECT_TRUE(w.Edit->GetModified());
}

TEST(ImageEdit, ThePopupListShowsTheValuesWithoutTakingActivationOrFocus) {
    TwoImages images;
    EditorOnForm<TcvInplaceImageEdit> w(TStandaloneClass<TcvInplaceImageEdit, TcvImageEditClassOps>::Instance());
    Fill(w.Edit, {"1", "2", "3", "4", "5"}, {"一", "二", "三", "四", "五"});
    w.Edit->SetImages(&images.List);
    w.Edit->SetDefaultImages(false);
    w.Edit->SetImageIndexes(Lines({"1", "0"}).get());
    w.Edit->SetDropDownRows(3);
    w.Edit->SetEditValue("2");
    Type(w.Edit, VK_F4);
    TcvPopupImageListBox* list = w.Edit->PopupList();
    ASSERT_TRUE(list->HandleAllocated() && IsWindowVisible(list->Handle()));
    EXPECT_EQ(GetActiveWindow(), w.Form->Handle());
    EXPECT_EQ(GetFocus(), w.Edit->Handle());
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->ClientHeight(), 3 * list->MeasuredItemHeight()) << "three rows and a bar for five values";
    EXPECT_LT(list->ClientWidth(), list->Width() - 10);
    const std::vector<intptr_t> objects = {reinterpret_cast<intptr_t>(list->Items()->Objects(0)),
                                           reinterpret_cast<intptr_t>(list->Items()->Objects(1)),
                                           reinterpret_cast<intptr_t>(list->Items()->Objects(2))};
    EXPECT_EQ(objects, (std::vector<intptr_t>{1, 0, -2})) << "no image beyond ImageIndexes";

    Type(w.Edit, VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 2) << "keys go to the list";
    const TRect item = list->ItemRect(0);
    const TPoint at = list->ClientToScreen({5, item.Top + 2});
    TRect window;
    GetWindowRect(list->Handle(), window);
    Click(list, {at.X - window.Left, at.Y - window.Top});
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(Value(w.Edit), "1");
    EXPECT_EQ(GetFocus(), w.Edit->Handle());
}

TEST(ImageEdit, FocusLeavingClosesThePopupAndStaysWhereItWent) {
    EditorOnForm<TcvInplaceImageEdit> w(TStandaloneClass<TcvInplaceImageEdit, TcvImageEditClassOps>::Instance());
    auto* other = new TEdit(w.Form);
    other->SetParent(w.Panel);
    other->SetBounds(10, 80, 100, 21);
    Fill(w.Edit, {"1", "2"}, {"一", "二"});
    Type(w.Edit, VK_F4);
    ASSERT_TRUE(w.Edit->DroppedDown());
    other->SetFocus();
    ProcessMessages();
    EXPECT_FALSE(w.Edit->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(w.Edit->PopupList()->Handle()));
    EXPECT_EQ(GetFocus(), other->Handle());
}

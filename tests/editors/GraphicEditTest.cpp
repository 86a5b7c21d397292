// The picture editor in place: its value in and out (the graphic handed out
// by reference, never cut to 32 bits), a picture pasted by key, loaded and
// saved through the picture dialogs, the tool window's Paste following the
// clipboard as another program changes it, and cells painted without a window.
#include "editors/ExEdtr.h"
#include "editors/GraphicEdit.h"
#include "editors/PictureValue.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Menus.h"
#include "platform/ui/testhooks/ClipboardTestHooks.h"
#include "tests/editors/EditorTestHost.h"

#include <filesystem>

namespace {

using namespace editortest;

class GraphicEditTest : public ::testing::Test {
protected:
    void SetUp() override { Edit = static_cast<TcvInplaceGraphicEdit*>(Hosted.Editor); }
    void TearDown() override { std::filesystem::remove_all(Folder); }
    std::string File(const std::string& Name) {
        std::filesystem::create_directories(Folder);
        return (Folder / Name).string();
    }
    cvExEdtr::TUnitScope Unit;
    HostedEditor Hosted{TcvInplaceGraphicEdit::StaticClass()};
    TcvInplaceGraphicEdit* Edit = nullptr;
    std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("graphic-edit-" + std::to_string(getpid()));
};

TEST_F(GraphicEditTest, TheValueComesOutAsTheGraphicItselfByAPointerSizedReference) {
    Hosted.Open(BlobOf(clRed, 5, 4));
    EXPECT_EQ(Edit->Picture()->Width(), 5);
    const Variant value = Edit->GetEditValue();
    EXPECT_EQ(value.VarType(), varInt64);
    EXPECT_EQ(reinterpret_cast<TGraphic*>(static_cast<intptr_t>(value.AsInt64())), Edit->Picture()->Graphic());
    EXPECT_FALSE(Edit->GetModified());

    Hosted.Open("");
    EXPECT_TRUE(cvExEdtr::IsPictureEmpty(Edit->Picture()));
    EXPECT_EQ(Edit->GetEditValue().AsInt64(), 0);
}

TEST_F(GraphicEditTest, APictureIsPastedLoadedAndSaved) {
    Hosted.Open("");
    platform_ui::test::CopyPictureFromOtherProgram(4, 3, 0x0000FF);
    uitest::Type(Edit, VK_INSERT, "", MK_SHIFT);
    EXPECT_EQ(Edit->Picture()->Width(), 4) << "Shift+Insert pastes";
    EXPECT_EQ(Edit->Picture()->Bitmap()->Canvas()->Pixels(1, 1), clBlue);
    EXPECT_TRUE(Edit->GetModified());

    const std::string loaded = File("loaded.bmp");
    uitest::Filled(7, 6, clLime)->SaveToFile(loaded);
    uitest::DialogRecorder dialogs;
    dialogs.Files = {loaded};
    Edit->ButtonClick(ptbLoad);
    ASSERT_EQ(dialogs.Count(TDialogKind::OpenPicture), 1);
    EXPECT_EQ(dialogs.Requests.back().Filter, TPicture::GraphicFilter());
    EXPECT_EQ(Edit->Picture()->Width(), 7);

    const std::string saved = File("saved.bmp");
    dialogs.Files = {saved};
    Edit->ButtonClick(ptbSave);
    ASSERT_EQ(dialogs.Count(TDialogKind::SavePicture), 1);
    EXPECT_EQ(dialogs.Requests.back().Filter, "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(dialogs.Requests.back().DefaultExt, "bmp");
    TPicture back;
    back.LoadFromFile(saved);
    EXPECT_EQ(back.Width(), 7);

    dialogs.Files = {File("chart.wmf")};
    try {
        Edit->ButtonClick(ptbLoad);
        ADD_FAILURE() << "a metafile loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("Metafiles are not supported"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(Edit->Picture()->Width(), 7);
}

TEST_F(GraphicEditTest, ClipboardKeysCopyAndCutUnlessTheHostRefusesAChange) {
    const struct {
        const char* What;
        Word Key;
        WPARAM Keys;
        bool Modifiable;
        bool Copied, Kept;
    } cases[] = {
        {"Ctrl+Insert copies", VK_INSERT, MK_CONTROL, true, true, true},
        {"Ctrl+C copies", 'C', MK_CONTROL, true, true, true},
        {"Shift+Delete cuts", VK_DELETE, MK_SHIFT, true, true, false},
        {"Ctrl+X cuts", 'X', MK_CONTROL, true, true, false},
        {"a refusing host keeps the picture from Shift+Delete", VK_DELETE, MK_SHIFT, false, false, true},
    };
    for (const auto& c : cases) {
        Hosted.Open(BlobOf(clRed, 3, 3));
        Clipboard()->SetAsText("");
        Hosted.Host->Modifiable = c.Modifiable;
        const char text[2] = {c.Key == 'C' ? '\x03' : c.Key == 'X' ? '\x18' : '\0', 0};
        uitest::Type(Edit, c.Key, text, c.Keys);
        EXPECT_EQ(Clipboard()->HasFormat(CF_PICTURE), c.Copied) << c.What;
        EXPECT_EQ(!cvExEdtr::IsPictureEmpty(Edit->Picture()), c.Kept) << c.What;
        Hosted.Host->Modifiable = true;
    }
}

TEST_F(GraphicEditTest, TheToolWindowsPasteFollowsTheClipboardWithoutTakingTheActivation) {
    Edit->PopupToolBar()->SetIsPopupMenu(false);
    Hosted.Open("");
    Clipboard()->SetAsText("no picture");
    Edit->ShowToolBar();
    SettleActivation();
    TcvPopupToolBar* bar = Edit->ToolBar();
    ASSERT_TRUE(IsWindowVisible(bar->Handle()));
    EXPECT_EQ(GetActiveWindow(), Hosted.Form->Handle());
    EXPECT_EQ(GetFocus(), Edit->Handle());
    EXPECT_FALSE(bar->Button(ptbPaste)->Enabled());
    EXPECT_FALSE(bar->Button(ptbCut)->Enabled()) << "no picture to cut";
    EXPECT_TRUE(bar->Button(ptbLoad)->Enabled());

    platform_ui::test::CopyPictureFromOtherProgram(2, 2, 0x00FF00);
    EXPECT_TRUE(bar->Button(ptbPaste)->Enabled()) << "another program copied a picture";
    platform_ui::test::CopyTextFromOtherProgram("text");
    EXPECT_FALSE(bar->Button(ptbPaste)->Enabled());

    SendMessage(bar->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(bar->Handle()));
    EXPECT_TRUE(bar->ClosedByUser());
}

TEST_F(GraphicEditTest, ContextMenuShowsTheItemsOfTheChosenButtons) {
    TcvPopupToolBarWindow& settings = *Edit->PopupToolBar();
    const struct {
        TcvPopupToolBarButtons Buttons;
        bool FirstSeparator, SecondSeparator;
    } cases[] = {
        {StandardToolBarButtons, true, false},
        {{ptbCut, ptbCopy, ptbPaste, ptbDelete}, false, false},
        {{ptbCut, ptbCustom}, false, true},
    };
    for (const auto& c : cases) {
        settings.SetButtons(c.Buttons);
        Edit->ToolBar()->UpdateContextMenu(settings);
        TMenuItem* items = Edit->ToolBar()->ContextMenu()->Items();
        EXPECT_EQ(items->Items(4)->Visible(), c.FirstSeparator);
        EXPECT_EQ(items->Items(7)->Visible(), c.SecondSeparator);
        EXPECT_EQ(items->Items(8)->Visible(), c.Buttons.Contains(ptbCustom));
        EXPECT_EQ(items->Items(5)->Visible(), c.Buttons.Contains(ptbLoad));
    }
}

class GraphicCell : public CellImage {
protected:
    cvExEdtr::TUnitScope Unit;
};

TEST_F(GraphicCell, PaintsThePicturePlacedOverTheBrushWithoutAWindow) {
    auto red = uitest::Filled(10, 10, clRed);
    TPicture picture;
    picture.SetGraphic(red.get());
    TPicture none;
    const struct {
        const char* What;
        TPicture* Picture;
        bool Stretch, Center;
        std::string Text;
        TPoint Red, Blue; // pixels expected in each colour
    } cases[] = {
        {"centred", &picture, false, true, "", {20, 15}, {2, 2}},
        {"top-left", &picture, false, false, "", {2, 2}, {20, 15}},
        {"stretched to the full height", &picture, true, true, "", {25, 25}, {35, 5}},
        {"empty without text", &none, false, true, "", {-1, -1}, {20, 15}},
    };
    const auto& ops = TcvInplaceGraphicEdit::StaticClass();
    for (const auto& c : cases) {
        const TRect all{0, 0, Width, Height};
        FillRect(DC, &all, White);
        auto viewData = ops.CreateViewData();
        auto& v = static_cast<TcvGraphicEditViewData&>(*viewData);
        v.Picture = c.Picture;
        v.Stretch = c.Stretch;
        v.Center = c.Center;
        v.Value = c.Text;
        v.Brush = Blue;
        const int before = CountWindows();
        ops.DrawContent(DC, all, v);
        EXPECT_EQ(CountWindows(), before) << c.What;
        if (c.Red.X >= 0) {
            EXPECT_EQ(GetPixel(DC, c.Red.X, c.Red.Y), 0x0000FFu) << c.What;
        }
        EXPECT_EQ(GetPixel(DC, c.Blue.X, c.Blue.Y), 0xFF0000u) << c.What;
    }
}

TEST(GraphicPlacement, StretchKeepsTheProportionsAndCentreHalvesTheRest) {
    const struct {
        TRect Content;
        int W, H;
        bool Stretch, Center;
        TRect Expected;
    } cases[] = {
        {{0, 0, 40, 30}, 10, 10, true, false, {0, 0, 30, 30}},
        {{0, 0, 40, 30}, 20, 5, true, false, {0, 0, 40, 10}},
        {{0, 0, 40, 30}, 10, 10, false, true, {15, 10, 25, 20}},
        {{0, 0, 40, 30}, 51, 41, false, true, {-5, -5, 46, 36}},
        {{5, 5, 45, 35}, 10, 10, false, false, {5, 5, 15, 15}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TcvGraphicEditClassOps::PictureRect(c.Content, c.W, c.H, c.Stretch, c.Center), c.Expected)
            << c.W << "x" << c.H;
}

} // namespace

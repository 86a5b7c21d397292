// TPicture and its formats: JPEG files written and read back with libjpeg
// itself as the judge, greyscale decoding, icons and PNG with alpha, and the
// refusals (metafiles, unknown extensions, broken data).
#include "platform/ui/Graphics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

namespace {

class PictureFolder : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("graphics-picture-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string File(const std::string& name) const { return (folder / name).string(); }
    std::filesystem::path folder;
};

// Writes a JPEG with libjpeg: left half red, right half blue.
void WriteTwoColourJpeg(const std::string& file, int width, int height) {
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        const bool left = x < width / 2;
        row[static_cast<size_t>(x) * 3] = left ? 255 : 0;
        row[static_cast<size_t>(x) * 3 + 2] = left ? 0 : 255;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

struct DecodedJpeg {
    int width = 0, height = 0, components = 0;
    std::vector<JSAMPLE> pixels;
};

DecodedJpeg ReadJpeg(const std::string& file) {
    DecodedJpeg result;
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return result;
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    result.width = static_cast<int>(info.output_width);
    result.height = static_cast<int>(info.output_height);
    result.components = info.output_components;
    result.pixels.resize(static_cast<size_t>(result.width * result.height * result.components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[] = {result.pixels.data() + info.output_scanline * result.width * result.components};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    return result;
}

bool Near(TColor actual, COLORREF expected, int tolerance = 24) {
    const COLORREF a = static_cast<COLORREF>(actual);
    return std::abs(GetRValue(a) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(expected)) <= tolerance;
}

std::unique_ptr<TBitmap> Rendered(TGraphic* graphic, TColor background = clWhite) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(graphic->Width(), graphic->Height());
    bitmap->Canvas()->Brush()->SetColor(background);
    bitmap->Canvas()->FillRect(Rect(0, 0, graphic->Width(), graphic->Height()));
    bitmap->Canvas()->Draw(0, 0, graphic);
    return bitmap;
}

TEST_F(PictureFolder, JpegFromLibjpegLoadsThroughThePicture) {
    WriteTwoColourJpeg(File("tile.jpg"), 32, 16);
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(File("tile.jpg"));
    EXPECT_EQ(changes, 1);
    auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(picture.Height(), 16);
    auto bitmap = Rendered(jpeg);
    EXPECT_TRUE(Near(bitmap->Canvas()->Pixels(4, 8), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(bitmap->Canvas()->Pixels(28, 8), RGB(0, 0, 255)));
    // A TBitmap takes the decoded picture.
    TBitmap copy;
    copy.Assign(jpeg);
    EXPECT_EQ(copy.Width(), 32);
    EXPECT_TRUE(Near(copy.Canvas()->Pixels(4, 8), RGB(255, 0, 0)));
}

TEST_F(PictureFolder, GreyscaleDecodesToGreysAndSwitchesBack) {
    WriteTwoColourJpeg(File("tile.jpeg"), 16, 8);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(File("tile.jpeg"));
    jpeg.SetGrayscale(true);
    auto grey = Rendered(&jpeg);
    for (int x : {2, 13}) {
        const COLORREF c = static_cast<COLORREF>(grey->Canvas()->Pixels(x, 4));
        EXPECT_EQ(GetRValue(c), GetGValue(c)) << x;
        EXPECT_EQ(GetGValue(c), GetBValue(c)) << x;
    }
    EXPECT_EQ(jpeg.Bitmap()->PixelFormat(), pf8bit);
    jpeg.SetGrayscale(false);
    EXPECT_TRUE(Near(Rendered(&jpeg)->Canvas()->Pixels(2, 4), RGB(255, 0, 0)));
}

TEST_F(PictureFolder, BitmapSavedAsJpegReadsBackInLibjpeg) {
    TBitmap bitmap;
    bitmap.SetSize(24, 10);
    bitmap.Canvas()->Brush()->SetColor(clLime);
    bitmap.Canvas()->FillRect(Rect(0, 0, 24, 10));
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SetCompressionQuality(95);
    jpeg.SaveToFile(File("saved.jpg"));
    const DecodedJpeg decoded = ReadJpeg(File("saved.jpg"));
    ASSERT_EQ(decoded.width, 24);
    ASSERT_EQ(decoded.height, 10);
    ASSERT_EQ(decoded.components, 3);
    const size_t middle = static_cast<size_t>((5 * 24 + 12) * 3);
    EXPECT_LT(decoded.pixels[middle], 24);
    EXPECT_GT(decoded.pixels[middle + 1], 230);
    EXPECT_LT(decoded.pixels[middle + 2], 24);
}

TEST_F(PictureFolder, PngAndIconKeepTheirAlpha) {
    // A PNG made by our own bitmap path, then loaded as a picture.
    TBitmap bitmap;
    bitmap.SetSize(6, 6);
    bitmap.Canvas()->Brush()->SetColor(clNavy);
    bitmap.Canvas()->FillRect(Rect(0, 0, 6, 6));
    TPngImage png;
    png.Assign(&bitmap);
    png.SaveToFile(File("image.png"));
    TPicture picture;
    picture.LoadFromFile(File("image.png"));
    ASSERT_NE(dynamic_cast<TPngImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(Rendered(picture.Graphic())->Canvas()->Pixels(3, 3), clNavy);
    // An empty (fully transparent) PNG leaves the background.
    TPngImage clear;
    clear.SetWidth(4);
    clear.SetHeight(4);
    EXPECT_EQ(Rendered(&clear, clYellow)->Canvas()->Pixels(1, 1), clYellow);

    // An icon loads any picture file and saves as ICO.
    TIcon icon;
    icon.LoadFromFile(File("image.png"));
    EXPECT_EQ(icon.Width(), 6);
    EXPECT_THROW(icon.SetWidth(8), EInvalidGraphicOperation);
    icon.SaveToFile(File("icon.ico"));
    TPicture iconPicture;
    iconPicture.LoadFromFile(File("icon.ico"));
    ASSERT_NE(dynamic_cast<TIcon*>(iconPicture.Graphic()), nullptr);
    EXPECT_EQ(Rendered(iconPicture.Graphic())->Canvas()->Pixels(2, 2), clNavy);
}

TEST_F(PictureFolder, PictureRefusesMetafilesUnknownKindsAndBrokenData) {
    std::ofstream(File("chart.wmf")) << "whatever";
    std::ofstream(File("notes.xyz")) << "whatever";
    std::ofstream(File("broken.jpg")) << "this is not a jpeg";
    TPicture picture;
    const std::pair<std::string, std::string> cases[] = {
        {"chart.wmf", "Metafiles are not supported"},
        {"CHART.EMF", "Metafiles are not supported"},
        {"notes.xyz", "Unknown picture file extension (.xyz)"},
        {"broken.jpg", "JPEG error"},
    };
    for (const auto& [name, text] : cases) {
        try {
            picture.LoadFromFile(File(name));
            ADD_FAILURE() << name;
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message().find(text), std::string::npos) << e.Message();
        }
    }
    EXPECT_EQ(picture.Graphic(), nullptr); // a failed load leaves the picture as it was
    EXPECT_NE(TPicture::GraphicFilter().find("*.jpg"), std::string::npos);
}

TEST(PictureRegistry, EachKindHasItsOwnFilterAndExtension) {
    TBitmap bitmap;
    TJPEGImage jpeg;
    TPngImage png;
    const struct {
        const TGraphic& Kind;
        const char* Filter;
        const char* Extension;
    } cases[] = {
        {bitmap, "Bitmaps (*.bmp)|*.bmp", "bmp"},
        {jpeg, "JPEG Image File (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif", "jpg"},
        {png, "Portable Network Graphics (*.png)|*.png", "png"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TPicture::GraphicFilter(c.Kind), c.Filter);
        EXPECT_EQ(TPicture::GraphicExtension(c.Kind), c.Extension);
    }
}

TEST_F(PictureFolder, PictureCopiesGraphicsAndSwitchesToABitmapOnRequest) {
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    TPicture picture;
    picture.SetGraphic(&bitmap);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_NE(picture.Graphic(), &bitmap);
    EXPECT_EQ(picture.Width(), 3);
    TPicture other;
    other.Assign(&picture);
    EXPECT_EQ(other.Height(), 2);
    other.Icon();
    EXPECT_EQ(other.Width(), 0);
    EXPECT_EQ(picture.Bitmap()->Width(), 3); // already a bitmap: kept
}

} // namespace

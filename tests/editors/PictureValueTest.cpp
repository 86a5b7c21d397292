// Picture blobs: the same picture from a value with and without the 8-byte
// header, empty pictures from short or non-string values, the graphic class
// deciding the kind, and a read-only stream that never writes.
#include "editors/PictureValue.h"

#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Saved(TGraphic* Graphic) {
    TPicture picture;
    picture.SetGraphic(Graphic);
    std::string s;
    cvExEdtr::SavePictureToString(&picture, s);
    return s;
}

std::string WithHeader(const std::string& Bytes) {
    const uint32_t n = static_cast<uint32_t>(Bytes.size());
    const char header[8] = {1, 0, 0, 1, char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
    return std::string(header, 8) + Bytes;
}

TEST(PictureValue, LoadsTheSamePictureWithOrWithoutTheHeaderAndEmptiesOnShortValues) {
    auto red = uitest::Filled(3, 2, clRed);
    const std::string bytes = Saved(red.get());
    ASSERT_GT(bytes.size(), 8u);
    TPngImage png;
    png.Assign(red.get());
    const std::string pngBytes = Saved(&png);
    const TGraphicClass pngClass = [] { return new TPngImage; };
    const struct {
        const char* What;
        Variant Value;
        TGraphicClass Class;
        bool Empty;
        bool Png;
    } cases[] = {
        {"bare bitmap bytes", bytes, {}, false, false},
        {"bitmap bytes behind the header", WithHeader(bytes), {}, false, false},
        {"PNG bytes through its class", WithHeader(pngBytes), pngClass, false, true},
        {"seven bytes", bytes.substr(0, 7), {}, true, false},
        {"a header and nothing else", WithHeader(""), {}, true, false},
        {"Null", Null(), {}, true, false},
        {"a number", Variant(42), {}, true, false},
    };
    for (const auto& c : cases) {
        TPicture picture;
        picture.SetGraphic(red.get()); // every value replaces what was there
        cvExEdtr::LoadPictureFromValue(&picture, c.Class, c.Value);
        EXPECT_EQ(cvExEdtr::IsPictureEmpty(&picture), c.Empty) << c.What;
        if (c.Empty) continue;
        EXPECT_EQ(dynamic_cast<TPngImage*>(picture.Graphic()) != nullptr, c.Png) << c.What;
        EXPECT_EQ(picture.Width(), 3) << c.What;
        EXPECT_EQ(picture.Height(), 2) << c.What;
    }
    EXPECT_TRUE(cvExEdtr::IsPictureEmpty(nullptr));
    TPicture none;
    std::string s = "old";
    cvExEdtr::SavePictureToString(&none, s);
    EXPECT_EQ(s, "");
}

TEST(PictureValue, AnUnreadableValueRaisesTheGraphicsLoadError) {
    TPicture picture;
    EXPECT_THROW(cvExEdtr::LoadPictureFromValue(&picture, {}, std::string("not a bitmap at all")), EInvalidGraphic);
}

TEST(PictureValue, TheReadOnlyStreamReadsItsBytesAndNeverWrites) {
    const std::string bytes = "abcdef";
    TMemoryStreamReadOnly stream;
    stream.SetPointer(bytes.data(), 6);
    char buffer[8] = {};
    stream.SetPosition(2);
    EXPECT_EQ(stream.Read(buffer, 8), 4);
    EXPECT_STREQ(buffer, "cdef");
    stream.SetPosition(0);
    EXPECT_EQ(stream.Write("XY", 2), 0);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(bytes, "abcdef");
}

TEST(PictureValue, AGraphicClassMakesGraphicsOfTheSampleKind) {
    TJPEGImage jpeg;
    std::unique_ptr<TGraphic> made(cvExEdtr::GraphicClassOf(jpeg)());
    EXPECT_NE(dynamic_cast<TJPEGImage*>(made.get()), nullptr);
}

} // namespace

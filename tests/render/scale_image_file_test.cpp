#include "render/scale_image_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/dib_factory.h"
#include "working_folder.h"

namespace {

constexpr int kSourceWidth = 2560;
constexpr int kSourceHeight = 1280;
constexpr int kLowerHalfGreen = 200;

TEST(ScaleFactorFor, FitsInsideOrCoversTheTarget) {
    EXPECT_DOUBLE_EQ(ScaleFactorFor(2560, 1280, 1024, 768, false), 0.4);
    EXPECT_DOUBLE_EQ(ScaleFactorFor(2560, 1280, 1024, 768, true), 0.6);
    // A target of the source's shape gives one factor either way.
    EXPECT_DOUBLE_EQ(ScaleFactorFor(2048, 1024, 2560, 1280, false), 1.25);
    EXPECT_DOUBLE_EQ(ScaleFactorFor(2048, 1024, 2560, 1280, true), 1.25);
    // Enlarging a small picture to a tall target.
    EXPECT_DOUBLE_EQ(ScaleFactorFor(64, 32, 100, 200, false), 100.0 / 64.0);
    EXPECT_DOUBLE_EQ(ScaleFactorFor(64, 32, 100, 200, true), 200.0 / 32.0);
}

TEST(ScaleFactorFor, SizesThatAreNotPositiveGiveNoFactor) {
    EXPECT_EQ(ScaleFactorFor(0, 1280, 1024, 768, false), 0.0);
    EXPECT_EQ(ScaleFactorFor(2560, -1, 1024, 768, true), 0.0);
    EXPECT_EQ(ScaleFactorFor(2560, 1280, 0, 768, false), 0.0);
    EXPECT_EQ(ScaleFactorFor(2560, 1280, 1024, -768, true), 0.0);
}

// A 24-bit map of the desktop sources' size: red rises from left to right, green marks the
// lower half, so that a mirrored or upside-down result shows.
void WriteSourceMap(const char* name) {
    DibImage map;
    ASSERT_EQ(CreateDib(map, kSourceWidth, kSourceHeight, 24, false), 1);
    for (int y = 0; y < kSourceHeight; ++y) {
        std::uint8_t* pixel = map.Row(y);
        const auto green = static_cast<std::uint8_t>(y < kSourceHeight / 2 ? 0 : kLowerHalfGreen);
        for (int x = 0; x < kSourceWidth; ++x, pixel += 3) {
            pixel[0] = 50;  // blue
            pixel[1] = green;
            pixel[2] = static_cast<std::uint8_t>(x * 255 / (kSourceWidth - 1));
        }
    }
    ASSERT_EQ(map.SaveBmpFile(name), 1);
}

int Red(ColourValue colour) {
    return static_cast<int>(colour & 0xFF);
}
int Green(ColourValue colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}

std::uint64_t ColourChecksum(const DibImage& image) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const ColourValue colour = image.GetPixelColour(x, y);
            for (int byte = 0; byte < 3; ++byte) {
                hash = (hash ^ ((colour >> (8 * byte)) & 0xFFu)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

// The screen-compatible 32-bit form: bottom row first, bit-field masks.
void ExpectScreenForm(const DibImage& image) {
    ASSERT_TRUE(image.HasPixels());
    EXPECT_EQ(image.BitsPerPixel(), 32);
    EXPECT_GT(image.Header()->height, 0);
    EXPECT_EQ(image.Header()->compression, kCompressionBitfields);
}

// The scaled map keeps its orientation: red follows the source column, green the half.
void ExpectScaledMap(const DibImage& image, double factor) {
    for (const int x : {0, image.Width() / 3, image.Width() - 1}) {
        const double sourceColumn = x / factor;
        const int expectedRed = static_cast<int>(sourceColumn * 255 / (kSourceWidth - 1));
        EXPECT_NEAR(Red(image.GetPixelColour(x, image.Height() / 4)), expectedRed, 2) << x;
    }
    EXPECT_EQ(Green(image.GetPixelColour(image.Width() / 2, 0)), 0);
    EXPECT_EQ(Green(image.GetPixelColour(image.Width() / 2, image.Height() - 1)), kLowerHalfGreen);
}

TEST(ScaleImageFile, CoversTheTargetWithCropAndFitsInsideWithout) {
    const WorkingFolder folder;
    WriteSourceMap("map.bmp");

    DibImage covering;
    ASSERT_TRUE(ScaleImageFile("map.bmp", &covering, 1024, 768, nullptr, true));
    ExpectScreenForm(covering);
    EXPECT_EQ(covering.Width(), 1536);
    EXPECT_EQ(covering.Height(), 768);
    ExpectScaledMap(covering, 0.6);

    DibImage fitting;
    ASSERT_TRUE(ScaleImageFile("map.bmp", &fitting, 1024, 768, nullptr, false));
    ExpectScreenForm(fitting);
    EXPECT_EQ(fitting.Width(), 1024);
    EXPECT_EQ(fitting.Height(), 512);
    ExpectScaledMap(fitting, 0.4);

    // Both builds decode a bitmap file exactly and resize through the same chain, so the system
    // picture loader and the native decoder must give these very pixels.
    EXPECT_EQ(ColourChecksum(fitting), 13971975033735692069ull);
}

TEST(ScaleImageFile, WritesTheSameImageAsAFile) {
    const WorkingFolder folder;
    WriteSourceMap("map.bmp");

    DibImage inMemory;
    ASSERT_TRUE(ScaleImageFile("map.bmp", &inMemory, 640, 480, nullptr, false));
    ASSERT_TRUE(ScaleImageFile("map.bmp", nullptr, 640, 480, "scaled.bmp", false));
    DibImage fromFile;
    ASSERT_EQ(fromFile.ReadBmpFile("scaled.bmp"), 1);
    EXPECT_EQ(fromFile.Width(), 640);
    EXPECT_EQ(fromFile.Height(), 320);
    EXPECT_TRUE(fromFile.Block() == inMemory.Block());
}

TEST(ScaleImageFile, DecodesJpegFiles) {
    const WorkingFolder folder;
    folder.CopyFromSource("tests/image/fixtures/red-blue-64x32.jpg", "small.jpg");

    DibImage enlarged;
    ASSERT_TRUE(ScaleImageFile("small.jpg", &enlarged, 128, 128, nullptr, false));
    ExpectScreenForm(enlarged);
    EXPECT_EQ(enlarged.Width(), 128);
    EXPECT_EQ(enlarged.Height(), 64);
}

TEST(ScaleImageFile, RefusesWhatItCannotDo) {
    const WorkingFolder folder;
    folder.CopyFromSource("tests/image/fixtures/red-blue-64x32.jpg", "small.jpg");

    DibImage image;
    EXPECT_FALSE(ScaleImageFile("small.jpg", &image, 0, 32, nullptr, false));
    EXPECT_FALSE(ScaleImageFile("small.jpg", &image, 64, -1, nullptr, true));
    EXPECT_FALSE(ScaleImageFile(nullptr, &image, 64, 32, nullptr, false));
    EXPECT_FALSE(ScaleImageFile("small.jpg", nullptr, 64, 32, nullptr, false));
    EXPECT_FALSE(ScaleImageFile("missing.jpg", &image, 64, 32, nullptr, false));
    EXPECT_FALSE(ScaleImageFile("small.txt", &image, 64, 32, nullptr, false));
    EXPECT_FALSE(image.HasPixels());

    // An image that already holds pixels keeps them.
    ASSERT_EQ(CreateDib(image, 3, 2, 32, false), 1);
    EXPECT_FALSE(ScaleImageFile("small.jpg", &image, 64, 32, nullptr, false));
    EXPECT_EQ(image.Width(), 3);
}

TEST(ScaleImageFile, AFailureLeavesTheEarlierFile) {
    const WorkingFolder folder;
    DibImage earlier;
    ASSERT_EQ(CreateDib(earlier, 5, 3, 32, false), 1);
    ASSERT_EQ(earlier.SaveBmpFile("scaled.bmp"), 1);

    // Not a picture at all, though its name says JPEG.
    {
        std::FILE* file = std::fopen("broken.jpg", "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("<html>404</html>", file);
        std::fclose(file);
    }
    EXPECT_FALSE(ScaleImageFile("broken.jpg", nullptr, 64, 32, "scaled.bmp", false));
    EXPECT_FALSE(ScaleImageFile("missing.jpg", nullptr, 64, 32, "scaled.bmp", false));
    EXPECT_FALSE(ScaleImageFile("broken.jpg", nullptr, 0, 0, "scaled.bmp", false));

    DibImage kept;
    ASSERT_EQ(kept.ReadBmpFile("scaled.bmp"), 1);
    EXPECT_TRUE(kept.Block() == earlier.Block());
}

}  // namespace

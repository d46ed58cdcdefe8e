#include "image/dib_pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "image/dib_factory.h"

namespace {

PixelBuffer Pattern(int width, int height) {
    PixelBuffer picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        picture.pixels[i] = std::uint32_t(0x01000000u * (i % 7) + 0x00030507u * i);
    }
    return picture;
}

TEST(DibFromPixels, MakesTheScreenCompatibleFormAndKeepsEveryByte) {
    const PixelBuffer pixels = Pattern(3, 2);
    DibImage image;
    ASSERT_EQ(DibFromPixels(image, pixels), 1);
    const BitmapInfoHeader* header = image.Header();
    EXPECT_EQ(header->size, 40u);
    EXPECT_EQ(header->width, 3);
    EXPECT_EQ(header->height, 2);  // bottom row stored first
    EXPECT_EQ(header->bitCount, 32);
    EXPECT_EQ(header->compression, kCompressionBitfields);
    EXPECT_EQ(image.RedMask(), 0xFF0000u);
    EXPECT_EQ(image.GreenMask(), 0xFF00u);
    EXPECT_EQ(image.BlueMask(), 0xFFu);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(std::memcmp(image.Row(y), &pixels.pixels[std::size_t(y) * 3], 12), 0) << "row " << y;
    }
    EXPECT_EQ(image.GetPixelColour(2, 1), ColourOfPixel(pixels.pixels[5]));
}

TEST(DibFromPixels, RefusesAFullImageOrInconsistentPixels) {
    DibImage image;
    ASSERT_EQ(DibFromPixels(image, Pattern(2, 2)), 1);
    EXPECT_EQ(DibFromPixels(image, Pattern(4, 4)), 0);
    EXPECT_EQ(image.Width(), 2);

    DibImage empty;
    EXPECT_EQ(DibFromPixels(empty, PixelBuffer{3, 3, std::vector<std::uint32_t>(8)}), 0);
    EXPECT_EQ(DibFromPixels(empty, PixelBuffer{}), 0);
    EXPECT_FALSE(empty.HasPixels());
}

TEST(PixelsFromDib, RoundTripClearsOnlyTheFourthByte) {
    const PixelBuffer pixels = Pattern(5, 4);
    DibImage image;
    ASSERT_EQ(DibFromPixels(image, pixels), 1);
    PixelBuffer back;
    ASSERT_EQ(PixelsFromDib(image, back), 1);
    ASSERT_EQ(back.width, 5);
    ASSERT_EQ(back.height, 4);
    for (std::size_t i = 0; i < pixels.pixels.size(); ++i) {
        EXPECT_EQ(back.pixels[i], pixels.pixels[i] & 0xFFFFFFu) << i;
    }
}

TEST(PixelsFromDib, GivesTheSameColoursForEitherRowOrderAndDepth) {
    const ColourValue colours[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0x102030, 0xFFFFFF, 0x000000}};
    std::vector<std::uint32_t> expected;
    for (const auto& row : colours) {
        for (ColourValue colour : row) {
            expected.push_back(PixelOfColour(colour));
        }
    }
    for (std::uint16_t depth : {std::uint16_t{24}, std::uint16_t{32}}) {
        for (bool topDown : {false, true}) {
            DibImage image;
            ASSERT_EQ(CreateDib(image, 3, 2, depth, topDown), 1);
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < 3; ++x) {
                    ASSERT_EQ(image.SetPixelColour(x, y, colours[y][x]), 1);
                }
            }
            PixelBuffer pixels;
            ASSERT_EQ(PixelsFromDib(image, pixels), 1);
            EXPECT_EQ(pixels.pixels, expected) << depth << (topDown ? " top-down" : " bottom-up");
        }
    }
}

TEST(PixelsFromDib, ReadsPaletteImagesThroughTheirTable) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 2, 1, 8, false), 1);
    const RgbQuad table[2] = {{0x10, 0x20, 0x30, 0}, {0xFF, 0x80, 0x00, 0}};
    ASSERT_EQ(image.SetPalette(2, table), 1);
    ASSERT_EQ(image.SetRawPixel(1, 0, 1), 1);
    PixelBuffer pixels;
    ASSERT_EQ(PixelsFromDib(image, pixels), 1);
    EXPECT_EQ(pixels.pixels, (std::vector<std::uint32_t>{0x00302010u, 0x000080FFu}));
}

TEST(PixelsFromDib, FailsWithoutChangingTheBufferOnAnUnreadablePixel) {
    // An 8-bit image whose table has two entries while a pixel names the sixth.
    BitmapInfoHeader header{};
    header.size = 40;
    header.width = 2;
    header.height = 1;
    header.planes = 1;
    header.bitCount = 8;
    header.clrUsed = 2;
    DibBlock block(40 + 2 * 4 + 4);
    std::memcpy(block.data(), &header, sizeof header);
    block[48] = 0;
    block[49] = 5;
    DibImage image;
    ASSERT_EQ(image.Attach(std::move(block)), 1);

    PixelBuffer pixels = Pattern(1, 1);
    EXPECT_EQ(PixelsFromDib(image, pixels), 0);
    EXPECT_EQ(pixels.width, 1);
    EXPECT_EQ(PixelsFromDib(DibImage(), pixels), 0);
    EXPECT_EQ(pixels.pixels, Pattern(1, 1).pixels);
}

}  // namespace

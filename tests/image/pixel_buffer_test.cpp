#include "image/pixel_buffer.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(CheckedPixelCount, RefusesNegativeAndOversizedProducts) {
    EXPECT_EQ(CheckedPixelCount(2560, 1280), std::optional<std::size_t>(2560u * 1280u));
    EXPECT_EQ(CheckedPixelCount(0, 5), std::optional<std::size_t>(0));
    EXPECT_EQ(CheckedPixelCount(16384, 16384), std::optional<std::size_t>(std::size_t{1} << 28));
    EXPECT_FALSE(CheckedPixelCount(16384, 16385));
    EXPECT_FALSE(CheckedPixelCount(INT_MAX, INT_MAX));
    EXPECT_FALSE(CheckedPixelCount(-1, 5));
    EXPECT_FALSE(CheckedPixelCount(5, INT_MIN));
}

TEST(PixelOfColour, SwapsRedAndBlueAndDropsTheFourthByte) {
    EXPECT_EQ(PixelOfColour(0x00030201u), 0x00010203u);  // red 1, green 2, blue 3
    EXPECT_EQ(PixelOfColour(0xFF030201u), 0x00010203u);
    EXPECT_EQ(ColourOfPixel(0x7F010203u), 0x00030201u);
}

}  // namespace

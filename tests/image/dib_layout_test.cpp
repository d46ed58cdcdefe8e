#include "image/dib_layout.h"

#include <gtest/gtest.h>

#include <climits>

#include "bitmap_test_support.h"

namespace {

std::uint64_t StrideOf(int width, std::uint16_t bitCount) {
    return ComputeDibLayout(MakeHeader(width, 2, bitCount))->stride;
}

TEST(DibLayoutTest, RowsAreRoundedUpToWholeFourByteWords) {
    EXPECT_EQ(StrideOf(3, 24), 12u);
    EXPECT_EQ(StrideOf(3, 32), 12u);
    EXPECT_EQ(StrideOf(3, 1), 4u);
    EXPECT_EQ(StrideOf(33, 1), 8u);
    EXPECT_EQ(StrideOf(9, 4), 8u);
    EXPECT_EQ(StrideOf(5, 2), 4u);
    EXPECT_EQ(StrideOf(3, 16), 8u);
    EXPECT_EQ(StrideOf(0, 32), 0u);
}

TEST(DibLayoutTest, OffsetsFollowMasksAndColourTable) {
    const DibLayout plain = *ComputeDibLayout(MakeHeader(3, 2, 32));
    EXPECT_EQ(plain.pixelOffset, 40u);
    EXPECT_EQ(plain.imageSize, 24u);
    EXPECT_EQ(plain.totalSize, 64u);
    EXPECT_EQ(plain.colourTableEntries, 0u);

    const DibLayout masked = *ComputeDibLayout(MakeHeader(3, 2, 32, kCompressionBitfields));
    EXPECT_EQ(masked.maskBytes, 12u);
    EXPECT_EQ(masked.pixelOffset, 52u);

    // No used-colours count: the full table of the depth.
    EXPECT_EQ(ComputeDibLayout(MakeHeader(3, 2, 8))->pixelOffset, 40u + 4 * 256);
    EXPECT_EQ(ComputeDibLayout(MakeHeader(3, 2, 1))->colourTableEntries, 2u);
    BitmapInfoHeader fewColours = MakeHeader(3, 2, 8);
    fewColours.clrUsed = 10;
    EXPECT_EQ(ComputeDibLayout(fewColours)->pixelOffset, 80u);
    // A table beside true-colour pixels is allowed (an optimisation hint).
    BitmapInfoHeader hinted = MakeHeader(3, 2, 24);
    hinted.clrUsed = 3;
    EXPECT_EQ(ComputeDibLayout(hinted)->pixelOffset, 52u);
}

TEST(DibLayoutTest, ImageSizeFieldCountsButEveryRowMustBeHeld) {
    BitmapInfoHeader header = MakeHeader(3, -2, 32);
    header.sizeImage = 100;
    DibLayout layout = *ComputeDibLayout(header);
    EXPECT_EQ(layout.rowCount, 2u);
    EXPECT_EQ(layout.rowBytes, 24u);
    EXPECT_EQ(layout.imageSize, 100u);
    EXPECT_EQ(layout.totalSize, 140u);
    EXPECT_EQ(layout.heldSize, 140u);

    header.sizeImage = 4;  // smaller than the rows, as for an RLE stream
    layout = *ComputeDibLayout(header);
    EXPECT_EQ(layout.totalSize, 44u);
    EXPECT_EQ(layout.heldSize, 64u);
}

TEST(NormaliseDepthTest, RaisesToTheNextStandardDepth) {
    const std::pair<std::uint32_t, std::uint16_t> cases[] = {
        {0, 0},  {1, 1},   {2, 2},   {3, 4},   {4, 4},   {5, 8},   {8, 8},
        {9, 16}, {16, 16}, {17, 24}, {24, 24}, {25, 32}, {32, 32}, {64, 32},
    };
    for (const auto& [bits, depth] : cases) {
        EXPECT_EQ(NormaliseDepth(bits), depth) << bits;
    }
}

TEST(DibLayoutTest, RefusesHeadersItCannotHold) {
    auto refused = [](BitmapInfoHeader header) { return !ComputeDibLayout(header).has_value(); };
    BitmapInfoHeader header = MakeHeader(3, 2, 24);
    ASSERT_FALSE(refused(header));

    for (std::uint32_t size : {12u, 64u, 108u, 124u}) {
        header = MakeHeader(3, 2, 24);
        header.size = size;
        EXPECT_TRUE(refused(header)) << "header size " << size;
    }
    EXPECT_TRUE(refused(MakeHeader(-3, 2, 24)));
    EXPECT_TRUE(refused(MakeHeader(3, 2, 0)));
    header = MakeHeader(3, 2, 24);
    header.planes = 0;
    EXPECT_TRUE(refused(header));
    // Depths between the standard ones: pixels at the next depth would overrun each row.
    for (std::uint16_t bits : std::initializer_list<std::uint16_t>{3, 5, 7, 12, 20, 31}) {
        EXPECT_TRUE(refused(MakeHeader(100, 2, bits))) << bits << " bits";
    }
    EXPECT_TRUE(refused(MakeHeader(3, 2, 0, 4)));   // embedded JPEG
    EXPECT_TRUE(refused(MakeHeader(3, 2, 32, 6)));  // unknown compression
}

TEST(DibLayoutTest, RefusesSizesBeyondTheLimits) {
    auto refused = [](BitmapInfoHeader header) { return !ComputeDibLayout(header).has_value(); };
    EXPECT_TRUE(refused(MakeHeader(INT_MAX, 1, 32)));
    EXPECT_TRUE(refused(MakeHeader(1, INT_MIN, 32)));
    EXPECT_TRUE(refused(MakeHeader(INT_MAX, INT_MAX, 32)));
    EXPECT_TRUE(refused(MakeHeader(70000, 70000, 32)));
    // No pixels at all, yet a row table of a billion entries.
    EXPECT_TRUE(refused(MakeHeader(0, 1'000'000'000, 32)));
    BitmapInfoHeader header = MakeHeader(3, 2, 8);
    header.clrUsed = 0xFFFFFFFF;
    EXPECT_TRUE(refused(header));
    header = MakeHeader(3, 2, 8);
    header.sizeImage = 0xFFFFFFFF;
    EXPECT_TRUE(refused(header));
    // Just inside: a 16384 x 16384 frame at 32 bits is exactly 1 GiB of rows, plus the header.
    EXPECT_TRUE(refused(MakeHeader(16384, 16384, 32)));
    EXPECT_FALSE(refused(MakeHeader(16384, 16383, 32)));
}

TEST(DibLayoutTest, DeeperThan32BitsIsReadAsThirtyTwoWithinItsWiderRows) {
    const std::optional<DibLayout> layout = ComputeDibLayout(MakeHeader(3, 2, 64));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->stride, 24u);
    EXPECT_EQ(layout->colourTableEntries, 0u);
}

}  // namespace

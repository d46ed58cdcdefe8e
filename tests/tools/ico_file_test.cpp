#include "tools/globe_icon/ico_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::uint32_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return bytes.at(offset) | bytes.at(offset + 1) << 8;
}

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return U16At(bytes, offset) | U16At(bytes, offset + 2) << 16;
}

IconImage Filled(int side, std::uint32_t pixel) {
    return {side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side) * side, pixel)};
}

std::vector<std::uint8_t> Encode(const std::vector<IconImage>& images) {
    const auto file = EncodeIconFile(images);
    EXPECT_TRUE(file);
    return file.value_or(std::vector<std::uint8_t>{});
}

// Bytes of a 32-bit image with its AND mask: header, 4 bytes a pixel, mask rows of whole
// 32-bit words.
std::uint32_t ImageBytes(int side) {
    const auto rowWords = static_cast<std::uint32_t>((side + 31) / 32);
    return 40 + static_cast<std::uint32_t>(side * side) * 4 + rowWords * 4 * static_cast<std::uint32_t>(side);
}

TEST(IconFile, DirectoryAndEntriesDescribeEachImageWhereItLies) {
    const std::vector<int> sides = {16, 24, 32, 48};
    std::vector<IconImage> images;
    for (const int side : sides) {
        images.push_back(Filled(side, 0xFF336699));
    }
    const std::vector<std::uint8_t> file = Encode(images);

    EXPECT_EQ(U16At(file, 0), 0u);  // reserved
    EXPECT_EQ(U16At(file, 2), 1u);  // icon, not cursor
    EXPECT_EQ(U16At(file, 4), 4u);
    std::uint32_t expectedOffset = 6 + 16 * 4;
    for (std::size_t i = 0; i < sides.size(); ++i) {
        SCOPED_TRACE(sides[i]);
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(file[entry], sides[i]);
        EXPECT_EQ(file[entry + 1], sides[i]);
        EXPECT_EQ(file[entry + 2], 0);  // no palette
        EXPECT_EQ(file[entry + 3], 0);
        EXPECT_EQ(U16At(file, entry + 4), 1u);
        EXPECT_EQ(U16At(file, entry + 6), 32u);
        EXPECT_EQ(U32At(file, entry + 8), ImageBytes(sides[i]));
        EXPECT_EQ(U32At(file, entry + 12), expectedOffset);

        const std::size_t header = expectedOffset;
        EXPECT_EQ(U32At(file, header), 40u);
        EXPECT_EQ(U32At(file, header + 4), static_cast<std::uint32_t>(sides[i]));
        EXPECT_EQ(U32At(file, header + 8), static_cast<std::uint32_t>(2 * sides[i]));  // picture + mask
        EXPECT_EQ(U16At(file, header + 12), 1u);
        EXPECT_EQ(U16At(file, header + 14), 32u);
        EXPECT_EQ(U32At(file, header + 16), 0u);  // uncompressed
        EXPECT_EQ(U32At(file, header + 20), ImageBytes(sides[i]) - 40);
        EXPECT_EQ(U32At(file, header + 32), 0u);  // no colour table
        expectedOffset += ImageBytes(sides[i]);
    }
    EXPECT_EQ(file.size(), expectedOffset);
}

TEST(IconFile, PixelsGoBottomRowFirstWithAlphaAndTheMaskMarksTheTransparentOnes) {
    // 3 x 2: the top row opaque red, green, blue; the bottom row transparent, faint, and just
    // over half opaque.
    const IconImage image{3, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000, 0x7F102030, 0x80405060}};
    const std::vector<std::uint8_t> file = Encode({image});
    const std::size_t pixels = 6 + 16 + 40;

    const std::vector<std::uint8_t> expectedPixels = {
        0x00, 0x00, 0x00, 0x00, 0x30, 0x20, 0x10, 0x7F, 0x60, 0x50, 0x40, 0x80,  // bottom row
        0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF,  // top row
    };
    ASSERT_GE(file.size(), pixels + expectedPixels.size() + 8);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + pixels, file.begin() + pixels + 24), expectedPixels);

    // One 32-bit word a row, most significant bit first, bottom row first: the two pixels
    // less than half opaque are transparent.
    const std::vector<std::uint8_t> expectedMask = {0xC0, 0, 0, 0, 0x00, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + pixels + 24, file.end()), expectedMask);
}

TEST(IconFile, MaskRowsOfWideImagesSpanWholeWords) {
    IconImage image = Filled(40, 0xFF000000);
    image.pixels[39] = 0;  // top row, last pixel: bit 7 of the second word's first byte
    const std::vector<std::uint8_t> file = Encode({image});
    const std::size_t mask = 6 + 16 + 40 + 40 * 40 * 4;
    ASSERT_EQ(file.size(), mask + 8 * 40);
    const std::size_t topRow = mask + 8 * 39;
    EXPECT_EQ(file[topRow + 4], 0x01);
    for (std::size_t i = mask; i < file.size(); ++i) {
        if (i != topRow + 4) {
            EXPECT_EQ(file[i], 0) << "mask byte " << i - mask;
        }
    }
}

TEST(IconFile, TheLargestSideIsWrittenAsZeroInItsEntry) {
    const std::vector<std::uint8_t> file = Encode({Filled(kMaxIconSide, 0xFF000000)});
    EXPECT_EQ(file[6], 0);
    EXPECT_EQ(file[7], 0);
    EXPECT_EQ(U32At(file, 6 + 16 + 4), 256u);
}

TEST(IconFile, RefusesWhatNoIconCanHold) {
    EXPECT_FALSE(EncodeIconFile({}));
    const std::vector<IconImage> refused = {
        {0, 0, {}},
        {kMaxIconSide + 1, 1, std::vector<std::uint32_t>(kMaxIconSide + 1)},
        {2, 2, std::vector<std::uint32_t>(3)},
        {-1, -1, std::vector<std::uint32_t>(1)},
    };
    for (const IconImage& image : refused) {
        SCOPED_TRACE(image.width);
        EXPECT_FALSE(EncodeIconFile(std::vector<IconImage>{Filled(16, 0), image}));
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <tuple>

#include "bitmap_test_support.h"
#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "image/last_error.h"

namespace {

// A value that differs between neighbours and rows, cut to the depth's width.
std::uint32_t PatternAt(int x, int y, std::uint16_t depth) {
    const std::uint32_t value = static_cast<std::uint32_t>(x * 7 + y * 13 + 5) * 0x9E3779B1u;
    return depth >= 32 ? value : value & ((1u << depth) - 1);
}

// What a raw read gives back of a written value: 32-bit reads leave out the fourth byte.
std::uint32_t ReadBackOf(std::uint32_t written, std::uint16_t depth) {
    return depth == 32 ? written & 0xFFFFFF : written;
}

class RawPixelTest : public ::testing::TestWithParam<std::tuple<std::uint16_t, bool>> {};

TEST_P(RawPixelTest, EveryPixelRoundTripsWithoutDisturbingItsNeighbours) {
    const auto [depth, topDown] = GetParam();
    // 13 columns: sub-byte rows end in a partly used byte.
    const int width = 13;
    const int height = 5;
    DibImage image;
    ASSERT_EQ(CreateDib(image, width, height, depth, topDown), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(image.SetRawPixel(x, y, PatternAt(x, y, depth)), 1);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(image.GetRawPixel(x, y), ReadBackOf(PatternAt(x, y, depth), depth)) << x << "," << y;
        }
    }
}

TEST_P(RawPixelTest, RowOrderOnlyDecidesWhereRowsAreStored) {
    const auto [depth, topDown] = GetParam();
    DibImage image;
    DibImage flipped;
    ASSERT_EQ(CreateDib(image, 6, 3, depth, topDown), 1);
    ASSERT_EQ(CreateDib(flipped, 6, 3, depth, !topDown), 1);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) {
            image.SetRawPixel(x, y, PatternAt(x, y, depth));
            flipped.SetRawPixel(x, y, PatternAt(x, y, depth));
        }
    }
    const std::size_t stride = ComputeDibLayout(*image.Header())->stride;
    const std::uint8_t* stored = image.Block().data() + image.PixelDataOffset();
    const std::uint8_t* storedFlipped = flipped.Block().data() + flipped.PixelDataOffset();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(std::memcmp(stored + row * stride, storedFlipped + (2 - row) * stride, stride), 0) << row;
        EXPECT_EQ(image.Row(row), stored + (topDown ? row : 2 - row) * stride);
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepthsBothOrders, RawPixelTest,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16, 24, 32), ::testing::Bool()));

// The stored bytes of the top row, for checking the bit order within them.
std::vector<std::uint8_t> TopRowBytes(const DibImage& image, std::size_t count) {
    return std::vector<std::uint8_t>(image.Row(0), image.Row(0) + count);
}

TEST(RawPixelLayoutTest, PixelsSitInTheirStoredBitsAndBytes) {
    DibImage one;
    ASSERT_EQ(CreateDib(one, 9, 1, 1, false), 1);
    for (int x : {0, 2, 3, 7, 8}) {
        one.SetRawPixel(x, 0, 1);
    }
    EXPECT_EQ(TopRowBytes(one, 2), (std::vector<std::uint8_t>{0xB1, 0x80}));

    DibImage two;
    ASSERT_EQ(CreateDib(two, 5, 1, 2, false), 1);
    const std::uint32_t twoBit[] = {1, 2, 3, 0, 3};
    for (int x = 0; x < 5; ++x) {
        two.SetRawPixel(x, 0, twoBit[x]);
    }
    EXPECT_EQ(TopRowBytes(two, 2), (std::vector<std::uint8_t>{0x6C, 0xC0}));

    DibImage four;
    ASSERT_EQ(CreateDib(four, 3, 1, 4, false), 1);
    four.SetRawPixel(0, 0, 0xA);
    four.SetRawPixel(1, 0, 0x5);
    four.SetRawPixel(2, 0, 0xF);
    EXPECT_EQ(TopRowBytes(four, 2), (std::vector<std::uint8_t>{0xA5, 0xF0}));

    DibImage sixteen;
    ASSERT_EQ(CreateDib(sixteen, 1, 1, 16, false), 1);
    sixteen.SetRawPixel(0, 0, 0x1234);
    EXPECT_EQ(TopRowBytes(sixteen, 2), (std::vector<std::uint8_t>{0x34, 0x12}));

    DibImage twentyFour;
    ASSERT_EQ(CreateDib(twentyFour, 1, 1, 24, false), 1);
    twentyFour.SetRawPixel(0, 0, 0x030201);
    EXPECT_EQ(TopRowBytes(twentyFour, 3), (std::vector<std::uint8_t>{0x01, 0x02, 0x03}));

    DibImage thirtyTwo;
    ASSERT_EQ(CreateDib(thirtyTwo, 1, 1, 32, false), 1);
    thirtyTwo.SetRawPixel(0, 0, 0xAABBCCDD);
    EXPECT_EQ(TopRowBytes(thirtyTwo, 4), (std::vector<std::uint8_t>{0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_EQ(thirtyTwo.GetRawPixel(0, 0), 0xBBCCDDu);
}

TEST(PixelColourTest, TrueColourBytesAreBlueGreenRed) {
    for (bool withMasks : {false, true}) {
        DibImage image;
        ASSERT_EQ(CreateDib(image, 2, 2, 32, false, withMasks), 1);
        std::uint8_t* pixel = image.Row(1) + 4;
        pixel[0] = 1;  // blue
        pixel[1] = 2;  // green
        pixel[2] = 3;  // red
        pixel[3] = 0x77;
        EXPECT_EQ(image.GetPixelColour(1, 1), 0x010203u) << withMasks;
    }
    DibImage twentyFour;
    ASSERT_EQ(CreateDib(twentyFour, 2, 2, 24, true), 1);
    twentyFour.SetRawPixel(1, 0, 0x030201);
    EXPECT_EQ(twentyFour.GetPixelColour(1, 0), 0x010203u);
}

TEST(PixelColourTest, TrueColourWritesRoundTripAndClearTheFourthByte) {
    for (std::uint16_t depth : std::initializer_list<std::uint16_t>{24, 32}) {
        for (bool withMasks : {false, true}) {
            if (depth == 24 && withMasks) {
                continue;
            }
            DibImage image;
            ASSERT_EQ(CreateDib(image, 3, 2, depth, false, withMasks), 1);
            if (depth == 32) {
                image.SetRawPixel(2, 1, 0xFFFFFFFF);
            }
            ASSERT_EQ(image.SetPixelColour(2, 1, 0x00C08040), 1);
            EXPECT_EQ(image.GetPixelColour(2, 1), 0x00C08040u);
            EXPECT_EQ(image.GetRawPixel(2, 1), 0x4080C0u);
            if (depth == 32) {
                EXPECT_EQ(image.Row(1)[11], 0) << "fourth byte, masks " << withMasks;
            }
        }
    }
}

TEST(PixelColourTest, SixteenBitChannelsGoThroughTheMasks) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 2, 1, 16, false), 1);
    ASSERT_EQ(image.SetPixelColour(0, 0, 0x0000FF), 1);  // pure red
    EXPECT_EQ(image.GetRawPixel(0, 0), 0x7C00u);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0x0000F8u);
    image.SetPixelColour(1, 0, 0xFFFFFF);
    EXPECT_EQ(image.GetRawPixel(1, 0), 0x7FFFu);
    EXPECT_EQ(image.GetPixelColour(1, 0), 0xF8F8F8u);

    // 5-6-5: green keeps one more bit.
    ChannelMasks masks{0xF800, 0x07E0, 0x001F};
    std::vector<std::uint8_t> afterHeader(12 + 4, 0);
    std::memcpy(afterHeader.data(), &masks, sizeof masks);
    DibImage fiveSixFive;
    ASSERT_EQ(fiveSixFive.Attach(PackBitmap(MakeHeader(2, 1, 16, kCompressionBitfields), afterHeader)), 1);
    fiveSixFive.SetPixelColour(0, 0, 0x00FCFCFC);
    EXPECT_EQ(fiveSixFive.GetRawPixel(0, 0), 0xFFFFu);
    EXPECT_EQ(fiveSixFive.GetPixelColour(0, 0), 0xF8FCF8u);
    fiveSixFive.SetPixelColour(1, 0, 0x00000400);  // green 4: kept at 6 bits, lost at 5
    EXPECT_EQ(fiveSixFive.GetPixelColour(1, 0), 0x00000400u);
}

TEST(PixelColourTest, MasksBeyondEightBitsOrInTheFourthByteStillGiveEightBitChannels) {
    // 10 bits per channel, red at the top: each channel reads as its top 8 bits.
    ChannelMasks masks{0x3FF00000, 0x000FFC00, 0x000003FF};
    std::vector<std::uint8_t> afterHeader(12 + 4, 0);
    std::memcpy(afterHeader.data(), &masks, sizeof masks);
    DibImage image;
    ASSERT_EQ(image.Attach(PackBitmap(MakeHeader(1, 1, 32, kCompressionBitfields), afterHeader)), 1);
    image.SetRawPixel(0, 0, (0x3FFu << 20) | (0x200u << 10) | 0x004u);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0x0180FFu);
    image.SetPixelColour(0, 0, 0x0180FF);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0x0180FFu);

    // A channel in the fourth byte is read and written there.
    masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    std::memcpy(afterHeader.data(), &masks, sizeof masks);
    DibImage high;
    ASSERT_EQ(high.Attach(PackBitmap(MakeHeader(1, 1, 32, kCompressionBitfields), afterHeader)), 1);
    high.SetPixelColour(0, 0, 0x112233);
    EXPECT_EQ(high.Row(0)[3], 0x33);
    EXPECT_EQ(high.GetPixelColour(0, 0), 0x112233u);
}

TEST(PixelColourTest, PaletteImagesReadTheirTableAndWriteTheNearestEntry) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 4, 2, 8, true), 1);
    const std::vector<RgbQuad> grey = GreyPalette(256);
    ASSERT_EQ(image.SetPalette(256, grey.data()), 1);
    ASSERT_EQ(image.SetPixelColour(0, 0, 0x00FFFFFF), 1);
    EXPECT_EQ(image.GetRawPixel(0, 0), 255u);
    image.SetPixelColour(1, 0, 0x00808080);
    EXPECT_EQ(image.GetRawPixel(1, 0), 128u);
    // Distances |r - i| + |g - i| + |b - i| are smallest at the middle channel's value.
    image.SetPixelColour(2, 0, 0x001E140A);
    EXPECT_EQ(image.GetRawPixel(2, 0), 20u);
    EXPECT_EQ(image.GetPixelColour(2, 0), 0x141414u);

    DibImage four;
    ASSERT_EQ(CreateDib(four, 2, 2, 4, false), 1);
    const RgbQuad colours[] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}};
    four.SetPalette(4, colours);
    four.SetPixelColour(1, 1, 0x0000F0);  // red: entries 1 and 2 tie, the first wins
    EXPECT_EQ(four.GetRawPixel(1, 1), 1u);
    EXPECT_EQ(four.GetPixelColour(1, 1), 0x0000FFu);
    EXPECT_EQ(four.GetPixelColour(0, 0), 0u);
}

TEST(PixelColourTest, IndexesBeyondTheTableReadAsNoPixel) {
    BitmapInfoHeader header = MakeHeader(2, 1, 8);
    header.clrUsed = 2;
    DibImage image;
    ASSERT_EQ(image.Attach(PackBitmap(header, {10, 20, 30, 0, 40, 50, 60, 0, 0, 5, 0, 0})), 1);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0x0A141Eu);
    EXPECT_EQ(image.GetPixelColour(1, 0), kNoPixel);
}

TEST(PixelColourTest, NearestEntryIsOneAPixelCanHold) {
    // A 1-bit image whose table claims four entries: only 0 and 1 can be stored.
    BitmapInfoHeader header = MakeHeader(1, 1, 1);
    header.clrUsed = 4;
    std::vector<std::uint8_t> afterHeader(16 + 4, 0);
    afterHeader[3 * 4 + 2] = 255;  // entry 3: red
    DibImage image;
    ASSERT_EQ(image.Attach(PackBitmap(header, afterHeader)), 1);
    EXPECT_EQ(image.NearestPaletteIndex(0x0000FF), 0);
    DibImage trueColour;
    ASSERT_EQ(CreateDib(trueColour, 1, 1, 32, false), 1);
    EXPECT_EQ(trueColour.NearestPaletteIndex(0), -1);
}

TEST(PixelAccessTest, OutsideTheImageNothingIsReadOrWritten) {
    for (std::uint16_t depth : std::initializer_list<std::uint16_t>{1, 8, 32}) {
        DibImage image;
        ASSERT_EQ(CreateDib(image, 3, 2, depth, false), 1);
        const DibBlock before = image.Block();
        const std::pair<int, int> outside[] = {{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT_MIN, 0}, {0, INT_MAX}};
        for (const auto& [x, y] : outside) {
            EXPECT_EQ(image.GetRawPixel(x, y), kNoPixel);
            EXPECT_EQ(image.GetPixelColour(x, y), kNoPixel);
            EXPECT_EQ(image.SetRawPixel(x, y, 1), 0);
            EXPECT_EQ(image.SetPixelColour(x, y, 0xFFFFFF), 0);
        }
        EXPECT_EQ(image.Block(), before);
    }
    DibImage empty;
    EXPECT_EQ(empty.GetRawPixel(0, 0), kNoPixel);
    EXPECT_EQ(empty.GetPixelColour(0, 0), kNoPixel);
    EXPECT_EQ(empty.SetRawPixel(0, 0, 0), 0);
    EXPECT_EQ(empty.SetPixelColour(0, 0, 0), 0);
}

TEST(PixelAccessTest, TheNoPixelColourIsRefused) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 1, 1, 32, false), 1);
    EXPECT_EQ(image.SetPixelColour(0, 0, kNoPixel), 0);
    EXPECT_EQ(image.GetRawPixel(0, 0), 0u);
}

TEST(PaletteTest, EntriesAreCheckedAgainstTheTable) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 1, 1, 2, false), 1);
    const std::vector<RgbQuad> grey = GreyPalette(4);
    SetImageLastError(LastError::None);
    EXPECT_EQ(image.SetPalette(5, GreyPalette(5).data()), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    EXPECT_EQ(image.SetPalette(1, nullptr), 0);
    ASSERT_EQ(image.SetPalette(4, grey.data()), 1);
    RgbQuad entry{};
    ASSERT_EQ(image.GetPaletteEntry(3, entry), 1);
    EXPECT_EQ(entry.red, 255);
    EXPECT_EQ(image.GetPaletteEntry(4, entry), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    DibImage empty;
    EXPECT_EQ(empty.GetPaletteEntry(0, entry), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_EQ(empty.NearestPaletteIndex(0), -1);
}

TEST(WidenTest, TwoBitImagesBecomeFourBitWithTheSameIndexesAndColours) {
    for (bool topDown : {false, true}) {
        DibImage image;
        ASSERT_EQ(CreateDib(image, 7, 3, 2, topDown), 1);
        const RgbQuad colours[] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
        image.SetPalette(4, colours);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                image.SetRawPixel(x, y, PatternAt(x, y, 2));
            }
        }
        ASSERT_EQ(image.WidenTwoBitToFourBit(), 1);
        EXPECT_EQ(image.BitsPerPixel(), 4);
        EXPECT_EQ(image.Header()->bitCount, 4);
        EXPECT_EQ(image.Header()->height, topDown ? -3 : 3);
        EXPECT_EQ(image.Header()->sizeImage, 12u);
        EXPECT_EQ(image.PaletteEntries(), 4u);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(image.GetRawPixel(x, y), PatternAt(x, y, 2));
            }
        }
        for (int x = 0; x < 7; ++x) {
            const RgbQuad& colour = colours[PatternAt(x, 1, 2)];
            EXPECT_EQ(image.GetPixelColour(x, 1),
                      colour.red | (std::uint32_t{colour.green} << 8) | (std::uint32_t{colour.blue} << 16));
        }
    }
}

TEST(WidenTest, OtherDepthsAreLeftAlone) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, 2, 2, 4, false), 1);
    const DibBlock before = image.Block();
    EXPECT_EQ(image.WidenTwoBitToFourBit(), 0);
    EXPECT_EQ(image.Block(), before);
    DibImage empty;
    EXPECT_EQ(empty.WidenTwoBitToFourBit(), 0);
}

}  // namespace

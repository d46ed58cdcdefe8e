// The wrap moves every pixel, fourth byte and all, to where the tiled wallpaper needs it, in
// both row orders and at every depth, and touches nothing else.
#include "output/virtual_screen_wrap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "image/dib_factory.h"

namespace {

int FloorMod(std::int64_t value, int size) {
    const std::int64_t rest = value % size;
    return static_cast<int>(rest < 0 ? rest + size : rest);
}

// A scrambled value per position, so that no shift maps the pattern onto itself.
std::uint32_t Scrambled(int x, int y) {
    std::uint32_t value =
        static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
    value ^= value >> 15;
    return value * 0xC2B2AE3Du;
}

// Every pixel's complete stored bits, row 0 at the top; at 32 bits including the fourth byte.
std::vector<std::uint32_t> PixelsOf(const DibImage& frame) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            if (frame.BitsPerPixel() == 32) {
                std::uint32_t stored = 0;
                std::memcpy(&stored, frame.Row(y) + 4 * x, 4);
                pixels.push_back(stored);
            } else {
                pixels.push_back(frame.GetRawPixel(x, y));
            }
        }
    }
    return pixels;
}

DibImage PatternedFrame(int width, int height, std::uint16_t bitCount, bool topDown) {
    DibImage frame;
    EXPECT_EQ(CreateDib(frame, width, height, bitCount, topDown, bitCount == 32), 1);
    const std::uint32_t mask = bitCount >= 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            if (bitCount == 32) {
                const std::uint32_t value = Scrambled(x, y);
                std::memcpy(frame.Row(y) + 4 * x, &value, 4);
            } else {
                frame.SetRawPixel(x, y, Scrambled(x, y) & mask);
            }
        }
    }
    return frame;
}

// The pixels after a cyclic shift by shiftX columns to the left and shiftY rows up.
std::vector<std::uint32_t> Shifted(const std::vector<std::uint32_t>& pixels, int width, int height,
                                   int shiftX, int shiftY) {
    std::vector<std::uint32_t> shifted(pixels.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            shifted[y * width + x] = pixels[((y + shiftY) % height) * width + (x + shiftX) % width];
        }
    }
    return shifted;
}

// Names the first differing pixel instead of printing two whole frames.
testing::AssertionResult SamePixels(const std::vector<std::uint32_t>& actual,
                                    const std::vector<std::uint32_t>& expected, int width) {
    if (actual.size() != expected.size()) {
        return testing::AssertionFailure() << "sizes differ: " << actual.size() << " and " << expected.size();
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            return testing::AssertionFailure() << "pixel (" << i % width << ", " << i / width << ") is "
                                               << std::hex << actual[i] << ", expected " << expected[i];
        }
    }
    return testing::AssertionSuccess();
}

const char* RowOrderName(bool topDown) {
    return topDown ? "TopDown" : "BottomUp";
}

class WrapInRowOrderTest : public testing::TestWithParam<bool> {
  protected:
    bool TopDown() const { return GetParam(); }
};

TEST_P(WrapInRowOrderTest, PrimaryMonitorAtTheVirtualScreensCornerLeavesTheFrameAlone) {
    // A single monitor, or others only to the right of and below the primary one.
    DibImage frame = PatternedFrame(64, 32, 32, TopDown());
    const DibBlock before = frame.Block();
    WrapFrameForVirtualScreen(frame, 0, 0);
    EXPECT_EQ(frame.Block(), before);
}

TEST_P(WrapInRowOrderTest, MonitorOnTheLeftRotatesColumnsOnly) {
    // A 1280-pixel monitor left of a 1920 x 1080 primary one.
    DibImage frame = PatternedFrame(3200, 1080, 32, TopDown());
    const std::vector<std::uint32_t> before = PixelsOf(frame);
    WrapFrameForVirtualScreen(frame, -1280, 0);
    const std::vector<std::uint32_t> after = PixelsOf(frame);
    EXPECT_TRUE(SamePixels(after, Shifted(before, 3200, 1080, 1280, 0), 3200));
    EXPECT_EQ(after[0], before[1280]);                        // the picture's column 1280 is at the left
    EXPECT_EQ(after[3200 - 1280], before[0]);                 // its left edge starts at the primary monitor
    EXPECT_EQ(after[5 * 3200 + 7], before[5 * 3200 + 1287]);  // rows stay where they were
}

TEST_P(WrapInRowOrderTest, MonitorAboveRotatesRowsOnly) {
    DibImage frame = PatternedFrame(1280, 1792, 32, TopDown());
    const std::vector<std::uint32_t> before = PixelsOf(frame);
    WrapFrameForVirtualScreen(frame, 0, -768);
    EXPECT_TRUE(SamePixels(PixelsOf(frame), Shifted(before, 1280, 1792, 0, 768), 1280));
}

TEST_P(WrapInRowOrderTest, MonitorsLeftAndAboveRotateBothWays) {
    // The row shift shares a factor with the height, so the rows move in several cycles.
    DibImage frame = PatternedFrame(2944, 1380, 32, TopDown());
    const std::vector<std::uint32_t> before = PixelsOf(frame);
    WrapFrameForVirtualScreen(frame, -1024, -300);
    EXPECT_TRUE(SamePixels(PixelsOf(frame), Shifted(before, 2944, 1380, 1024, 300), 2944));
}

TEST_P(WrapInRowOrderTest, EveryWholeByteDepthMovesWholePixelsAndKeepsRowPadding) {
    for (const std::uint16_t bitCount : {std::uint16_t{8}, std::uint16_t{16}, std::uint16_t{24}}) {
        SCOPED_TRACE(bitCount);
        // 7 pixels leave padding at the end of every row at each of these depths.
        DibImage frame = PatternedFrame(7, 5, bitCount, TopDown());
        const std::size_t rowBytes = 7u * bitCount / 8u;
        const std::size_t stride = (rowBytes + 3u) / 4u * 4u;
        for (int y = 0; y < 5; ++y) {
            std::memset(frame.Row(y) + rowBytes, 0xA5, stride - rowBytes);
        }
        const std::vector<std::uint32_t> before = PixelsOf(frame);
        WrapFrameForVirtualScreen(frame, -3, -2);
        EXPECT_TRUE(SamePixels(PixelsOf(frame), Shifted(before, 7, 5, 3, 2), 7));
        for (int y = 0; y < 5; ++y) {
            for (std::size_t i = rowBytes; i < stride; ++i) {
                EXPECT_EQ(frame.Row(y)[i], 0xA5) << "row " << y << " byte " << i;
            }
        }
    }
}

TEST_P(WrapInRowOrderTest, DepthsBelowAByteMovePixelsThatShareBytes) {
    for (const std::uint16_t bitCount : {std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{4}}) {
        SCOPED_TRACE(bitCount);
        DibImage frame = PatternedFrame(37, 11, bitCount, TopDown());
        const std::vector<std::uint32_t> before = PixelsOf(frame);
        WrapFrameForVirtualScreen(frame, -10, -4);
        EXPECT_TRUE(SamePixels(PixelsOf(frame), Shifted(before, 37, 11, 10, 4), 37));
    }
}

INSTANTIATE_TEST_SUITE_P(BothRowOrders, WrapInRowOrderTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) { return RowOrderName(param.param); });

// How the desktop shows a frame tiled from the primary monitor's top-left corner, for a virtual
// screen with the given origin and size.
struct ScreenLayout {
    const char* name;
    int originX, originY;
    int screenWidth, screenHeight;
    int frameWidth, frameHeight;
};

class TiledDesktopTest : public testing::TestWithParam<ScreenLayout> {};

// Whatever the frame's size, the wrapped frame tiled from the primary monitor's corner shows the
// picture's top-left pixel at the virtual screen's top-left corner and repeats it from there.
TEST_P(TiledDesktopTest, PictureBeginsAtTheVirtualScreensCorner) {
    const ScreenLayout& layout = GetParam();
    DibImage frame = PatternedFrame(layout.frameWidth, layout.frameHeight, 32, false);
    const std::vector<std::uint32_t> before = PixelsOf(frame);
    WrapFrameForVirtualScreen(frame, layout.originX, layout.originY);
    const std::vector<std::uint32_t> after = PixelsOf(frame);

    const auto pixel = [&](const std::vector<std::uint32_t>& pixels, std::int64_t x, std::int64_t y) {
        return pixels[FloorMod(y, layout.frameHeight) * layout.frameWidth + FloorMod(x, layout.frameWidth)];
    };
    int mismatches = 0;
    for (int y = layout.originY; y < layout.originY + layout.screenHeight; ++y) {
        for (int x = layout.originX; x < layout.originX + layout.screenWidth; ++x) {
            // Desktop point (x, y) shows the wrapped frame's pixel at its position modulo the frame
            // size, and should show the picture's pixel at its distance from the corner.
            if (pixel(after, x, y) != pixel(before, x - layout.originX, y - layout.originY) &&
                ++mismatches <= 3) {
                ADD_FAILURE() << "desktop point (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, TiledDesktopTest,
    testing::Values(ScreenLayout{"FullSizeFrameMonitorLeft", -1280, 0, 3200, 1080, 3200, 1080},
                    ScreenLayout{"FullSizeFrameMonitorsLeftAndAbove", -1024, -300, 2944, 1380, 2944, 1380},
                    // Neither bars nor cropping: a 2:1 frame that fits inside the screen, or is much smaller.
                    ScreenLayout{"FittedFrameNarrowerThanTheScreen", -1280, -300, 3200, 1380, 2760, 1380},
                    ScreenLayout{"SmallFrameRepeatsAcrossTheScreen", -1280, -700, 3200, 1780, 1000, 500},
                    ScreenLayout{"SmallFrameWithPrimaryAtTheCorner", 0, 0, 2560, 1024, 600, 300},
                    // Never reported by Windows, but the same rule aligns the tiles.
                    ScreenLayout{"OriginRightOfAndBelowThePrimaryCorner", 300, 50, 1600, 900, 1000, 500}),
    [](const testing::TestParamInfo<ScreenLayout>& param) { return std::string(param.param.name); });

TEST(WrapEdgeCasesTest, OriginAtWholeFrameSizesLeavesTheFrameAlone) {
    DibImage frame = PatternedFrame(100, 50, 32, false);
    const DibBlock before = frame.Block();
    WrapFrameForVirtualScreen(frame, -300, -100);
    EXPECT_EQ(frame.Block(), before);
}

TEST(WrapEdgeCasesTest, EmptyAndSinglePixelFramesAndExtremeOriginsAreSafe) {
    DibImage empty;
    WrapFrameForVirtualScreen(empty, -1280, -1024);
    EXPECT_FALSE(empty.HasPixels());

    DibImage single = PatternedFrame(1, 1, 32, true);
    const DibBlock before = single.Block();
    WrapFrameForVirtualScreen(single, INT_MIN, INT_MIN);
    EXPECT_EQ(single.Block(), before);

    // |INT_MIN| does not fit an int; the shift must still come out right.
    DibImage frame = PatternedFrame(7, 3, 32, true);
    const std::vector<std::uint32_t> pixels = PixelsOf(frame);
    WrapFrameForVirtualScreen(frame, INT_MIN, INT_MIN);
    const int shiftX = FloorMod(-static_cast<std::int64_t>(INT_MIN), 7);
    const int shiftY = FloorMod(-static_cast<std::int64_t>(INT_MIN), 3);
    EXPECT_TRUE(SamePixels(PixelsOf(frame), Shifted(pixels, 7, 3, shiftX, shiftY), 7));
}

}  // namespace

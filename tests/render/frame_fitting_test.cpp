#include "render/frame_fitting.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "image/dib_factory.h"
#include "test_images.h"

namespace {

constexpr ColourValue kBlack = 0;

// Each pixel's colour names its column and row, so every copied pixel proves where it came
// from. No pixel of the pattern is black.
ColourValue Position(int x, int y) {
    return Rgb(x & 255, ((x >> 8) & 15) | ((y & 15) << 4), (y >> 4) | 128);
}

void ExpectCanvasForm(const DibImage& frame, int width, int height) {
    ASSERT_TRUE(frame.HasPixels());
    EXPECT_EQ(frame.Width(), width);
    EXPECT_EQ(frame.Height(), height);
    EXPECT_EQ(frame.BitsPerPixel(), 32);
    EXPECT_EQ(frame.Header()->height, height);  // bottom row first
    EXPECT_EQ(frame.Header()->compression, kCompressionBitfields);
}

// Every canvas pixel is either the frame pixel at (x - offsetX, y - offsetY) or, outside the
// frame, black.
void ExpectFrameAt(const DibImage& canvas, int offsetX, int offsetY, int frameWidth, int frameHeight) {
    int mismatches = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const int frameX = x - offsetX;
            const int frameY = y - offsetY;
            const bool inFrame = frameX >= 0 && frameX < frameWidth && frameY >= 0 && frameY < frameHeight;
            const ColourValue expected = inFrame ? Position(frameX, frameY) : kBlack;
            if (canvas.GetPixelColour(x, y) != expected && ++mismatches <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FrameOffset, CentresWithDivisionTruncatedTowardZero) {
    EXPECT_EQ(FrameOffset(1024, 1536), -256);
    EXPECT_EQ(FrameOffset(768, 512), 128);
    EXPECT_EQ(FrameOffset(768, 768), 0);
    EXPECT_EQ(FrameOffset(5, 2), 1);
    EXPECT_EQ(FrameOffset(2, 5), -1);  // not -2: the odd column is lost on the right
    EXPECT_EQ(FrameOffset(2147483647, 1), 1073741823);
    EXPECT_EQ(FrameOffset(1, 2147483647), -1073741823);
}

TEST(FitFrameToOutput, CropsAWideFrameEvenly) {
    DibImage frame = MakeImage(1536, 768, Position);
    ASSERT_EQ(FitFrameToOutput(frame, 1024, 768), 1);
    ExpectCanvasForm(frame, 1024, 768);
    EXPECT_EQ(frame.GetPixelColour(0, 0), Position(256, 0));
    EXPECT_EQ(frame.GetPixelColour(1023, 767), Position(1279, 767));
    ExpectFrameAt(frame, -256, 0, 1536, 768);
}

TEST(FitFrameToOutput, FramesAFlatFrameWithBarsAboveAndBelow) {
    DibImage frame = MakeImage(1024, 512, Position);
    ASSERT_EQ(FitFrameToOutput(frame, 1024, 768), 1);
    ExpectCanvasForm(frame, 1024, 768);
    EXPECT_EQ(frame.GetPixelColour(0, 127), kBlack);
    EXPECT_EQ(frame.GetPixelColour(0, 128), Position(0, 0));
    EXPECT_EQ(frame.GetPixelColour(1023, 639), Position(1023, 511));
    EXPECT_EQ(frame.GetPixelColour(1023, 640), kBlack);
    ExpectFrameAt(frame, 0, 128, 1024, 512);
}

TEST(FitFrameToOutput, CropsOneWayAndFramesTheOther) {
    // Odd differences: the extra column is lost on the right, the extra bar row is below.
    DibImage frame = MakeImage(41, 10, Position, true);
    ASSERT_EQ(FitFrameToOutput(frame, 30, 15), 1);
    ExpectCanvasForm(frame, 30, 15);
    ExpectFrameAt(frame, -5, 2, 41, 10);
}

TEST(FitFrameToOutput, EitherRowOrderAndAnyDepthKeepTheirColours) {
    DibImage topDown = MakeImage(12, 6, Position, true);
    ASSERT_EQ(FitFrameToOutput(topDown, 16, 8), 1);
    ExpectFrameAt(topDown, 2, 1, 12, 6);

    DibImage deep;
    ASSERT_EQ(CreateDib(deep, 12, 6, 24, false), 1);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            deep.SetPixelColour(x, y, Position(x, y));
        }
    }
    ASSERT_EQ(FitFrameToOutput(deep, 10, 8), 1);
    ExpectCanvasForm(deep, 10, 8);
    ExpectFrameAt(deep, -1, 1, 12, 6);
}

TEST(FitFrameToOutput, RefusesAndKeepsTheFrame) {
    DibImage empty;
    EXPECT_EQ(FitFrameToOutput(empty, 10, 10), 0);
    EXPECT_FALSE(empty.HasPixels());

    DibImage frame = MakeImage(4, 2, Position);
    EXPECT_EQ(FitFrameToOutput(frame, 0, 10), 0);
    EXPECT_EQ(FitFrameToOutput(frame, 10, -1), 0);
    // A canvas beyond what an image may hold.
    EXPECT_EQ(FitFrameToOutput(frame, 1 << 20, 1 << 20), 0);
    EXPECT_EQ(frame.Width(), 4);
    EXPECT_EQ(frame.GetPixelColour(3, 1), Position(3, 1));
}

}  // namespace

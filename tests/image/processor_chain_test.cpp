#include "image/processor_chain.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/image_resizer.h"

namespace {

PixelBuffer Gradient(int width, int height) {
    PixelBuffer picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels[std::size_t(y) * width + x] =
                std::uint32_t(x * 7 % 256 | (y * 13 % 256) << 8 | 0x40u << 16);
        }
    }
    return picture;
}

// Grows the picture by one column and one row and writes nothing: the output shows the fill.
class GrowWithoutWriting : public C32BitImageProcessor {
  public:
    ImageSize CalcDestSize(int width, int height) const override { return {width + 1, height + 1}; }
    int ProcessPixels(std::span<const std::uint32_t>, int, int, std::span<std::uint32_t>, int,
                      int) const override {
        return 1;
    }
};

class Failing : public C32BitImageProcessor {
  public:
    int ProcessPixels(std::span<const std::uint32_t>, int, int, std::span<std::uint32_t>, int,
                      int) const override {
        return 0;
    }
};

// Records the sizes it is called with and checks that its buffers hold them.
class Recording : public C32BitImageProcessor {
  public:
    int ProcessPixels(std::span<const std::uint32_t> source, int sw, int sh, std::span<std::uint32_t> dest,
                      int dw, int dh) const override {
        calls.push_back({sw, sh, dw, dh});
        EXPECT_GE(source.size(), std::size_t(sw) * sh);
        EXPECT_GE(dest.size(), std::size_t(dw) * dh);
        return C32BitImageProcessor::ProcessPixels(source, sw, sh, dest, dw, dh);
    }
    mutable std::vector<std::vector<int>> calls;
};

TEST(RunProcessorChain, EmptyChainChangesNothing) {
    PixelBuffer picture = Gradient(6, 4);
    const PixelBuffer before = picture;
    EXPECT_EQ(RunProcessorChain(picture, {}, 0xFFFFFF), 1);
    EXPECT_EQ(picture.pixels, before.pixels);
}

TEST(RunProcessorChain, BackgroundFillsFollowTheColour) {
    struct Case {
        ColourValue background;
        std::uint32_t fill;
    };
    for (const Case& c : {Case{0, 0}, Case{0xFFFFFF, 0xFFFFFFFFu}, Case{kNoPixel, 0xFFFFFFFFu},
                          Case{0x123456, 0x00563412u}, Case{0xFF000080, 0x00800000u}}) {
        PixelBuffer picture = Gradient(2, 2);
        GrowWithoutWriting grow;
        ASSERT_EQ(RunProcessorChain(picture, {&grow}, c.background), 1);
        ASSERT_EQ(picture.width, 3);
        ASSERT_EQ(picture.height, 3);
        EXPECT_EQ(picture.pixels, std::vector<std::uint32_t>(9, c.fill)) << std::hex << c.background;
    }
}

TEST(RunProcessorChain, EachStepReadsThePreviousOutput) {
    // Down by half, then up by three: the second step outgrows the picture, so the buffers
    // must be sized for the largest step, not the first.
    const PixelBuffer original = Gradient(16, 10);
    CImageResizer down(0.5), up(3.0);

    PixelBuffer chained = original;
    ASSERT_EQ(RunProcessorChain(chained, {&down, &up}, 0x0000FF), 1);

    PixelBuffer stepwise = original;
    ASSERT_EQ(RunProcessorChain(stepwise, {&down}, 0x0000FF), 1);
    EXPECT_EQ(stepwise.width, 8);
    ASSERT_EQ(RunProcessorChain(stepwise, {&up}, 0x0000FF), 1);

    EXPECT_EQ(chained.width, 24);
    EXPECT_EQ(chained.height, 15);
    EXPECT_EQ(chained.pixels.size(), 24u * 15u);
    EXPECT_EQ(chained.pixels, stepwise.pixels);
}

TEST(RunProcessorChain, ProcessorsSeeTheSizesTheyComputed) {
    PixelBuffer picture = Gradient(10, 6);
    CImageResizer down(0.5);
    Recording record;
    ASSERT_EQ(RunProcessorChain(picture, {&down, &record}, 0), 1);
    ASSERT_EQ(record.calls.size(), 1u);
    EXPECT_EQ(record.calls[0], (std::vector<int>{5, 3, 5, 3}));
}

TEST(RunProcessorChain, FailureLeavesThePictureAsItWas) {
    const PixelBuffer original = Gradient(10, 6);
    CImageResizer down(0.5), vanishing(0.01), huge(1e5), negative(-1.0);
    Failing failing;
    const std::vector<std::vector<C32BitImageProcessor*>> chains = {
        {&down, &failing}, {&failing}, {&vanishing}, {&huge}, {&negative}, {&down, nullptr},
    };
    for (const auto& chain : chains) {
        PixelBuffer picture = original;
        EXPECT_EQ(RunProcessorChain(picture, chain, 0xFFFFFF), 0);
        EXPECT_EQ(picture.width, 10);
        EXPECT_EQ(picture.height, 6);
        EXPECT_EQ(picture.pixels, original.pixels);
    }
}

TEST(RunProcessorChain, RefusesAnInconsistentPicture) {
    CImageResizer half(0.5);
    PixelBuffer shortRows{4, 4, std::vector<std::uint32_t>(15)};
    EXPECT_EQ(RunProcessorChain(shortRows, {&half}, 0), 0);
    PixelBuffer negative{-4, 4, {}};
    EXPECT_EQ(RunProcessorChain(negative, {&half}, 0), 0);
}

}  // namespace

#include "render/render_frame.h"

#include <cstdint>
#include <ctime>

#include <gtest/gtest.h>

#include "render/compositor.h"
#include "render/utc_clock.h"
#include "test_images.h"

namespace {

constexpr int kFitNeither = 0;
constexpr int kFlagSet = 1;
constexpr int kCentreOnGreenwich = 1005;
constexpr int kCentreOnNoon = 1001;
constexpr int kCentreOnSunset = 1003;
constexpr ColourValue kBlack = 0;

std::int64_t Utc(int year, int month, int day, int hour, int minute, int second) {
    return UtcSecondsFromFields(UtcFields(year, month, day, hour, minute, second));
}

const std::int64_t kMarchMidnight = Utc(2024, 3, 20, 0, 0, 0);
const std::int64_t kMarchNoon = Utc(2024, 3, 20, 12, 0, 0);

// A column's own number and its row as colour, to follow pixels through shift and fitting.
ColourValue Position(int x, int y) {
    return Rgb(x & 255, x >> 8, (y & 127) | 128);
}

FrameOptions Options(int centreCode, int width, int height, int blackBars, int crop) {
    FrameOptions options;
    options.centreCode = centreCode;
    options.outputWidth = width;
    options.outputHeight = height;
    options.blackBars = blackBars != 0;
    options.crop = crop != 0;
    return options;
}

struct Layers {
    DibImage day;
    DibImage night;   // empty: the whole map is day, and composing keeps every day pixel
    DibImage clouds;  // empty
};

// Renders at the moment with only a day image: the frame is the day image shifted, then fitted.
DibImage RenderDayOnly(const DibImage& day, std::int64_t moment, int centreCode, int width, int height,
                       int blackBars, int crop, int* result = nullptr) {
    const Layers layers;
    DibImage output = CopyOf(day);
    const int rendered = RenderFrameAt(moment, output, day, layers.night, layers.clouds,
                                       Options(centreCode, width, height, blackBars, crop));
    if (result != nullptr) {
        *result = rendered;
    }
    return output;
}

TEST(RenderFrame, CropsACoveringFrameToTheOutput) {
    const DibImage day = MakeImage(1536, 768, Position);
    int result = 0;
    const DibImage frame =
        RenderDayOnly(day, kMarchNoon, kCentreOnGreenwich, 1024, 768, 0, kFlagSet, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(frame.Width(), 1024);
    ASSERT_EQ(frame.Height(), 768);
    // Cropped at x = -256: the first column shown is the source's column 256.
    for (const int y : {0, 400, 767}) {
        EXPECT_EQ(frame.GetPixelColour(0, y), Position(256, y));
        EXPECT_EQ(frame.GetPixelColour(511, y), Position(767, y));
        EXPECT_EQ(frame.GetPixelColour(1023, y), Position(1279, y));
    }
}

TEST(RenderFrame, FramesAFittingFrameWithBlackBars) {
    const DibImage day = MakeImage(1024, 512, Position);
    const DibImage frame = RenderDayOnly(day, kMarchNoon, kCentreOnGreenwich, 1024, 768, kFlagSet, 0);
    ASSERT_EQ(frame.Width(), 1024);
    ASSERT_EQ(frame.Height(), 768);
    for (const int x : {0, 700, 1023}) {
        EXPECT_EQ(frame.GetPixelColour(x, 0), kBlack);
        EXPECT_EQ(frame.GetPixelColour(x, 127), kBlack);
        EXPECT_EQ(frame.GetPixelColour(x, 128), Position(x, 0));
        EXPECT_EQ(frame.GetPixelColour(x, 639), Position(x, 511));
        EXPECT_EQ(frame.GetPixelColour(x, 640), kBlack);
        EXPECT_EQ(frame.GetPixelColour(x, 767), kBlack);
    }
}

TEST(RenderFrame, KeepsItsOwnSizeWithoutBarsOrCrop) {
    const DibImage day = MakeImage(1024, 512, Position);
    int result = 0;
    const DibImage frame =
        RenderDayOnly(day, kMarchNoon, kCentreOnGreenwich, 1024, 768, kFitNeither, kFitNeither, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(frame.Width(), 1024);
    EXPECT_EQ(frame.Height(), 512);
    EXPECT_TRUE(frame.Block() == day.Block());
}

TEST(RenderFrame, LeavesAFrameOfTheOutputSizeAsComposed) {
    const DibImage day = MakeImage(64, 32, Position, true);
    const DibImage frame = RenderDayOnly(day, kMarchNoon, kCentreOnGreenwich, 64, 32, kFlagSet, kFlagSet);
    // Still the day image's own storage: no canvas was made.
    EXPECT_TRUE(frame.Block() == day.Block());
}

TEST(RenderFrame, CentresOnTheLongitudeOfTheCodeAtTheMoment) {
    const DibImage day = MakeImage(360, 180, Position);
    // Noon is at Greenwich at 12:00 UTC: the map stays as it is.
    const DibImage atNoon = RenderDayOnly(day, kMarchNoon, kCentreOnNoon, 360, 180, 0, 0);
    EXPECT_TRUE(atNoon.Block() == day.Block());
    // At 00:00 UTC it is noon at 180 degrees: the map's left edge moves to the middle.
    const DibImage atMidnight = RenderDayOnly(day, kMarchMidnight, kCentreOnNoon, 360, 180, 0, 0);
    EXPECT_EQ(atMidnight.GetPixelColour(180, 90), Position(0, 90));
    EXPECT_EQ(atMidnight.GetPixelColour(0, 90), Position(180, 90));
}

TEST(RenderFrame, RefusesAnOutputThatIsNotACopyOfTheDayImage) {
    const Layers layers;
    const DibImage day = MakeImage(64, 32, Position);
    DibImage smaller = MakeImage(32, 16, Position);
    const FrameOptions options = Options(kCentreOnGreenwich, 64, 48, kFlagSet, 0);
    EXPECT_EQ(RenderFrameAt(kMarchNoon, smaller, day, layers.night, layers.clouds, options), 0);
    EXPECT_EQ(smaller.Width(), 32);

    DibImage noDay;
    DibImage output;
    EXPECT_EQ(RenderFrameAt(kMarchNoon, output, noDay, layers.night, layers.clouds, options), 0);
    EXPECT_FALSE(output.HasPixels());
}

TEST(RenderFrame, FitsTheComposedFrame) {
    const DibImage day = MakeImage(64, 32, DayPattern);
    const DibImage night = MakeImage(64, 32, NightPattern);
    const DibImage clouds = MakeImage(64, 32, CloudPattern);
    const std::int64_t moment = Utc(2024, 3, 20, 15, 37, 12);

    DibImage composed = CopyOf(day);
    // At 15:37:12 UTC noon is at -54.3 degrees, and the sunset code centres 90 degrees east of it.
    ComposeDayNight(BreakDownUtc(moment), day, night, composed, clouds, 0, 10, 35.7);
    DibImage frame = CopyOf(day);
    FrameOptions options = Options(kCentreOnSunset, 64, 48, kFlagSet, 0);
    options.cloudFactor = 10;
    ASSERT_EQ(RenderFrameAt(moment, frame, day, night, clouds, options), 1);
    ASSERT_EQ(frame.Height(), 48);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(frame.GetPixelColour(x, y + 8), composed.GetPixelColour(x, y)) << x << ", " << y;
        }
    }

    // A guard against drift anywhere on the way: the checksum of the whole fitted frame.
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            const ColourValue colour = frame.GetPixelColour(x, y);
            for (int byte = 0; byte < 3; ++byte) {
                hash = (hash ^ ((colour >> (8 * byte)) & 0xFFu)) * 1099511628211ull;
            }
        }
    }
    EXPECT_EQ(hash, 978114747719431918ull);
}

}  // namespace

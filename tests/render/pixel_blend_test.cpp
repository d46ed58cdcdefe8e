#include "render/pixel_blend.h"
#include "render/stored_blend.h"

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "image/pixel_buffer.h"
#include "test_images.h"

TEST(DayWeight, RunsLinearlyAcrossTheTwilightBand) {
    EXPECT_EQ(DayWeight(5.0), 1.0);
    EXPECT_EQ(DayWeight(-5.0), 0.0);
    EXPECT_EQ(DayWeight(0.0), 0.5);
    EXPECT_EQ(DayWeight(2.5), 0.75);
    EXPECT_EQ(DayWeight(5.000001), 1.0);
    EXPECT_EQ(DayWeight(90.0), 1.0);
    EXPECT_EQ(DayWeight(-5.000001), 0.0);
    EXPECT_EQ(DayWeight(-90.0), 0.0);
}

TEST(DayWeight, TreatsAnElevationThatIsNotANumberAsNight) {
    EXPECT_EQ(DayWeight(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

TEST(ApplyCloudFactor, ThinsCloudInProportionToTheFactorWithinZeroTo255) {
    EXPECT_EQ(ApplyCloudFactor(100, 10), 85);
    EXPECT_EQ(ApplyCloudFactor(0, 10), 0);  // -25 before clamping
    EXPECT_EQ(ApplyCloudFactor(255, 10), 255);
    EXPECT_EQ(ApplyCloudFactor(100, 0), 100);
    EXPECT_EQ(ApplyCloudFactor(200, 100), 145);  // 2f - 255 at the thinnest setting
    EXPECT_EQ(ApplyCloudFactor(100, 100), 0);
    EXPECT_EQ(ApplyCloudFactor(254, 33), 254);  // 1 x 33 / 100 truncates to 0
    EXPECT_EQ(ApplyCloudFactor(200, -100), 255);
}

TEST(ApplyCloudFactor, StaysInRangeForAnyStoredFactor) {
    EXPECT_EQ(ApplyCloudFactor(0, INT_MAX), 0);
    EXPECT_EQ(ApplyCloudFactor(1, INT_MAX), 0);
    EXPECT_EQ(ApplyCloudFactor(0, INT_MIN), 255);
    EXPECT_EQ(ApplyCloudFactor(255, INT_MIN), 255);
}

TEST(CloudValueOf, IsTheRedChannel) {
    EXPECT_EQ(CloudValueOf(Rgb(100, 7, 9)), 100);
    EXPECT_EQ(CloudValueOf(kNoPixel), 255);
}

TEST(DarkenedDayPixel, QuartersEveryChannel) {
    EXPECT_EQ(DarkenedDayPixel(Rgb(200, 100, 7)), Rgb(50, 25, 1));
    EXPECT_EQ(DarkenedDayPixel(kNoPixel), Grey(63));
}

TEST(CloudOver, LeavesThePixelAloneWithoutCloudAndGivesTheCloudBrightnessUnderFullCloud) {
    const ColourValue pixel = Rgb(12, 140, 250);
    EXPECT_EQ(CloudOver(pixel, 0, kDayCloudBrightness), pixel);
    EXPECT_EQ(CloudOver(pixel, 0, kNightCloudBrightness), pixel);
    EXPECT_EQ(CloudOver(pixel, 255, kDayCloudBrightness), kWhite);
    EXPECT_EQ(CloudOver(pixel, 255, kNightCloudBrightness), Grey(16));
    // Outside an image a pixel reads as white, and stays so under white cloud.
    EXPECT_EQ(CloudOver(kNoPixel, 0, kDayCloudBrightness), kWhite);
}

TEST(CloudOver, TruncatesEachTermOnItsOwn) {
    // 100 x 55 / 255 = 21.57 and 16 x 200 / 255 = 12.55: 33, where truncating the sum gives 34.
    EXPECT_EQ(CloudOver(Grey(100), 200, kNightCloudBrightness), Grey(33));
    // 100 x 155 / 255 = 60.78 and 255 x 100 / 255 = 100: 160.
    EXPECT_EQ(CloudOver(Grey(100), 100, kDayCloudBrightness), Grey(160));
}

TEST(TwilightPixel, MixesNightAndDayByTheDayWeight) {
    // At the horizon: c = 135, u = 127. Night 200 x 128 / 255 = 100, day 100 x 127 / 255 = 49.
    EXPECT_EQ(TwilightPixel(0.5, 0, Grey(100), Grey(200)), Grey(149));
    EXPECT_EQ(TwilightPixel(0.5, 0, Rgb(255, 0, 0), Rgb(0, 0, 255)), Rgb(127, 0, 128));
    // Under full cloud: 16 x 128 / 255 + 135 x 127 / 255 = 8 + 67.
    EXPECT_EQ(TwilightPixel(0.5, 255, Grey(0), Grey(0)), Grey(75));
    // Without cloud the band between black night and white day brightens with the weight.
    EXPECT_EQ(TwilightPixel(0.25, 0, kWhite, Grey(0)), Grey(63));
    EXPECT_EQ(TwilightPixel(0.999, 0, kWhite, Grey(0)), Grey(254));
}

TEST(StoredCloudOver, MatchesCloudOverForEveryChannelValueAndCloud) {
    // Every product of a channel and a cloud weight passes the lanes' division by 255 here.
    for (int value = 0; value < 256; ++value) {
        const std::uint32_t stored = static_cast<std::uint32_t>(value) |
                                     (static_cast<std::uint32_t>(255 - value) << 8) |
                                     (static_cast<std::uint32_t>(value ^ 0x5A) << 16) | 0xA5000000u;
        for (int cloud = 0; cloud < 256; ++cloud) {
            for (const int brightness : {kNightCloudBrightness, 135, 254, kDayCloudBrightness}) {
                ASSERT_EQ(StoredCloudOver(stored, cloud, brightness),
                          PixelOfColour(CloudOver(ColourOfPixel(stored), cloud, brightness)))
                    << value << " " << cloud << " " << brightness;
            }
        }
        ASSERT_EQ(StoredDarkenedDay(stored), PixelOfColour(DarkenedDayPixel(ColourOfPixel(stored))));
    }
}

TEST(StoredTwilight, MatchesTwilightPixelAcrossTheBand) {
    for (int step = 1; step < 1000; ++step) {
        const double dayWeight = step / 1000.0;
        for (const int cloud : {0, 1, 77, 200, 255}) {
            for (const std::uint32_t day : {0x000000u, 0x10FF80u, 0xFFFFFFu, 0x7B2C01u}) {
                const std::uint32_t night = day ^ 0x5AA5C3u;
                ASSERT_EQ(
                    StoredTwilight(TwilightSharesOf(dayWeight), cloud, day | 0xEE000000u, night),
                    PixelOfColour(TwilightPixel(dayWeight, cloud, ColourOfPixel(day), ColourOfPixel(night))))
                    << dayWeight << " " << cloud << " " << day;
            }
        }
    }
}

#include "app/frame_age.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::int64_t kFrame = 1'700'000'000;
constexpr std::uint32_t kHour = 3'600'000;

TEST(FrameOutlivedItsPeriod, OnlyAClockJumpPastThePeriodAndACheckOrBackPastACheckCounts) {
    // The redraw timer replaces the frame after an hour; until a minute after that the check
    // leaves it, so the two never redraw the same frame one after the other.
    EXPECT_FALSE(FrameOutlivedItsPeriod(kFrame, kFrame, kHour));
    EXPECT_FALSE(FrameOutlivedItsPeriod(kFrame + 3600 + 60, kFrame, kHour));
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame + 3600 + 61, kFrame, kHour));
    // A night's sleep.
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame + 8 * 3600, kFrame, kHour));
    // The clock set back: a small correction is not a jump, an hour is.
    EXPECT_FALSE(FrameOutlivedItsPeriod(kFrame - 60, kFrame, kHour));
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame - 61, kFrame, kHour));
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame - 3600, kFrame, kHour));
    // The shortest and the longest periods a timer can have.
    EXPECT_FALSE(FrameOutlivedItsPeriod(kFrame + 61, kFrame, 1000));
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame + 62, kFrame, 1000));
    EXPECT_FALSE(FrameOutlivedItsPeriod(kFrame + UINT32_MAX / 1000 + 60, kFrame, UINT32_MAX));
    EXPECT_TRUE(FrameOutlivedItsPeriod(kFrame + UINT32_MAX / 1000 + 61, kFrame, UINT32_MAX));
}

TEST(TimeToNextRedraw, AFrameIsDueOnceItHasLivedItsPeriodAndOtherwiseWhenItWillHave) {
    constexpr std::uint32_t kPeriod = 5000;
    EXPECT_EQ(TimeToNextRedraw(kFrame, kFrame, kPeriod), kPeriod);
    EXPECT_EQ(TimeToNextRedraw(kFrame + 3, kFrame, kPeriod), 2000u);
    EXPECT_EQ(TimeToNextRedraw(kFrame + 5, kFrame, kPeriod), 0u);
    EXPECT_EQ(TimeToNextRedraw(kFrame + 16 * 3600, kFrame, kPeriod), 0u) << "a night with the display off";
    EXPECT_EQ(TimeToNextRedraw(kFrame, 0, kPeriod), 0u) << "no frame yet";
    EXPECT_EQ(TimeToNextRedraw(kFrame - 1, kFrame, kPeriod), 0u) << "the clock was set back";
    EXPECT_EQ(TimeToNextRedraw(kFrame + 899, kFrame, 900000), 1000u);
    EXPECT_EQ(TimeToNextRedraw(kFrame + 1, kFrame, UINT32_MAX), UINT32_MAX - 1000);
}

}  // namespace

#include "render/utc_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(UtcClock, BreaksDownKnownMoments) {
    const std::tm solstice = BreakDownUtc(1718971200);  // 2024-06-21 12:00:00, a Friday
    EXPECT_EQ(solstice.tm_year, 124);
    EXPECT_EQ(solstice.tm_mon, 5);
    EXPECT_EQ(solstice.tm_mday, 21);
    EXPECT_EQ(solstice.tm_hour, 12);
    EXPECT_EQ(solstice.tm_min, 0);
    EXPECT_EQ(solstice.tm_sec, 0);
    EXPECT_EQ(solstice.tm_wday, 5);
    EXPECT_EQ(solstice.tm_yday, 172);

    const std::tm leapDay = BreakDownUtc(951782400 + 86399);  // 2000-02-29 23:59:59
    EXPECT_EQ(leapDay.tm_mon, 1);
    EXPECT_EQ(leapDay.tm_mday, 29);
    EXPECT_EQ(leapDay.tm_sec, 59);
}

TEST(UtcClock, MomentsBefore1970RoundTowardTheEarlierDay) {
    const std::tm lastSecond = BreakDownUtc(-1);
    EXPECT_EQ(lastSecond.tm_year, 69);
    EXPECT_EQ(lastSecond.tm_mon, 11);
    EXPECT_EQ(lastSecond.tm_mday, 31);
    EXPECT_EQ(lastSecond.tm_hour, 23);
    EXPECT_EQ(lastSecond.tm_wday, 3);
}

TEST(UtcClock, FieldsRoundTripOverFourCenturies) {
    // Steps of a little over 3 days cover every day of month and every hour many times.
    for (std::int64_t seconds = -6'000'000'000; seconds < 7'000'000'000; seconds += 277'777) {
        ASSERT_EQ(UtcSecondsFromFields(BreakDownUtc(seconds)), seconds);
    }
}

}  // namespace

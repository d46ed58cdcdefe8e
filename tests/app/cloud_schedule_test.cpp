#include "app/cloud_schedule.h"
#include "app/sharp_map_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint64_t kTicksPerMs = 10000;
constexpr std::uint64_t kTicksPerHour = 3600000 * kTicksPerMs;
// Some moment in 2024, as a FILETIME.
constexpr std::uint64_t kNow = 133500000000000000;

}  // namespace

TEST(CloudTimerDelay, ADownloadNeverMadeIsDueNow) {
    EXPECT_EQ(CloudTimerDelay(0, kNow, 3), kCloudUpdateDueDelayMs);
    EXPECT_EQ(kCloudUpdateDueDelayMs, 5000u);
}

TEST(CloudTimerDelay, WaitsForTheRestOfThePeriod) {
    EXPECT_EQ(CloudTimerDelay(kNow - kTicksPerHour, kNow, 3), 7200000u);
    EXPECT_EQ(CloudTimerDelay(kNow - 1500 * kTicksPerMs, kNow, 3), 3 * 3600000u - 1500u);
    // Ticks below a millisecond do not count.
    EXPECT_EQ(CloudTimerDelay(kNow - kTicksPerHour - 9999, kNow, 3), 7200000u);
    EXPECT_EQ(CloudTimerDelay(kNow, kNow, 24), 24 * 3600000u);
}

TEST(CloudTimerDelay, APeriodRunOutIsDueNowAndOneJustEndedHasNoTimeLeft) {
    EXPECT_EQ(CloudTimerDelay(kNow - 4 * kTicksPerHour, kNow, 3), kCloudUpdateDueDelayMs);
    EXPECT_EQ(CloudTimerDelay(kNow - 3 * kTicksPerHour, kNow, 3), 0u);
    EXPECT_EQ(CloudTimerDelay(kNow - 3 * kTicksPerHour - kTicksPerMs, kNow, 3), kCloudUpdateDueDelayMs);
}

TEST(CloudTimerDelay, ALongAgoDownloadIsDueNowHoweverTheMillisecondsWouldWrap) {
    // 60 days are 5184000000 ms: in 32 bits that wraps to 889032704, which is less than a 72-hour
    // period and would have put the next download days away.
    EXPECT_EQ(CloudTimerDelay(kNow - 60 * 24 * kTicksPerHour, kNow, 72), kCloudUpdateDueDelayMs);
    EXPECT_EQ(CloudTimerDelay(1, kNow, 3), kCloudUpdateDueDelayMs);
}

TEST(CloudTimerDelay, ALastDownloadInTheFutureIsDueNow) {
    EXPECT_EQ(CloudTimerDelay(kNow + kTicksPerMs, kNow, 3), kCloudUpdateDueDelayMs);
    EXPECT_EQ(CloudTimerDelay(kNow + 400 * 24 * kTicksPerHour, kNow, 3), kCloudUpdateDueDelayMs);
    EXPECT_EQ(CloudTimerDelay(UINT64_MAX, kNow, 3), kCloudUpdateDueDelayMs);
}

TEST(CloudTimerDelay, APeriodBeyondWhatATimerTakesWaitsTheLongestATimerCan) {
    EXPECT_EQ(CloudTimerDelay(kNow, kNow, UINT32_MAX), kLongestTimerDelayMs);
    EXPECT_EQ(CloudTimerDelay(kNow, kNow, 0), 0u);
}

TEST(CloudRetryDelay, DoublesFromFiveSecondsAfterEachFailedRunUpToThePeriod) {
    EXPECT_EQ(CloudRetryDelay(0, 3), 0u);
    EXPECT_EQ(CloudRetryDelay(1, 3), kCloudUpdateDueDelayMs);
    EXPECT_EQ(CloudRetryDelay(2, 3), 10000u);
    EXPECT_EQ(CloudRetryDelay(3, 3), 20000u);
    EXPECT_EQ(CloudRetryDelay(12, 3), 10240000u);
    EXPECT_EQ(CloudRetryDelay(13, 3), 3u * 3600000u) << "capped at the 3-hour period";
    EXPECT_EQ(CloudRetryDelay(13, 24), 20480000u);
    EXPECT_EQ(CloudRetryDelay(1000, 24), 24u * 3600000u);
    EXPECT_EQ(CloudRetryDelay(UINT32_MAX, 72), 72u * 3600000u);
    // A day of a mirror that always fails, with the shortest period: a dozen runs to reach
    // the period, then one run a period.
    std::uint64_t elapsedMs = 0;
    std::uint32_t runs = 0;
    while (elapsedMs < 24u * 3600000u) {
        elapsedMs += CloudRetryDelay(++runs, 3);
    }
    EXPECT_LE(runs, 20u);
}

TEST(SharpMapSchedule, FetchesTheMonthShownAndRetriesEverMoreSlowly) {
    EXPECT_EQ(SharpMapMonth(1, -1, 11), 11) << "the current month";
    EXPECT_EQ(SharpMapMonth(1, 4, 11), 4) << "a chosen month";
    EXPECT_EQ(SharpMapMonth(1, 0, 11), 0) << "the shaded relief map";
    EXPECT_EQ(SharpMapMonth(0, -1, 11), 0) << "the choice off";
    EXPECT_EQ(SharpMapMonth(1, 99, 11), 0) << "no month";
    EXPECT_EQ(SharpMapRetryDelay(0), 0u);
    EXPECT_EQ(SharpMapRetryDelay(1), 5000u);
    EXPECT_EQ(SharpMapRetryDelay(2), 10000u);
    EXPECT_EQ(SharpMapRetryDelay(40), 24u * 3600000u);
}

#include "render/solar_position.h"

#include <cmath>
#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Declination of the sun at the solstices, degrees.
constexpr double kSolsticeDeclination = 23.44;

struct CalendarDay {
    int day;
    int month;
    int year;
};

CalendarDay NextDay(CalendarDay date) {
    static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leapFebruary = date.month == 2 && date.year % 4 == 0;
    const int monthLength = kDaysInMonth[date.month - 1] + (leapFebruary ? 1 : 0);
    if (date.day < monthLength) {
        return {date.day + 1, date.month, date.year};
    }
    if (date.month < 12) {
        return {1, date.month + 1, date.year};
    }
    return {1, 1, date.year + 1};
}

double NoonDayNumber(CalendarDay date) {
    return DayNumberFromEpoch(date.day, date.month, date.year, 12, 0, 0);
}

}  // namespace

TEST(DayNumberFromEpoch, IsZeroAtTheEpochAndMatchesTheWorkedMoments) {
    EXPECT_EQ(DayNumberFromEpoch(1, 1, 2000, 12, 0, 0), 0.0);
    EXPECT_EQ(DayNumberFromEpoch(1, 1, 2000, 0, 0, 0), -0.5);
    EXPECT_EQ(DayNumberFromEpoch(1, 1, 2000, 18, 0, 0), 0.25);
    EXPECT_NEAR(DayNumberFromEpoch(1, 1, 2000, 12, 0, 36), 36.0 / 86400.0, 1e-12);
    EXPECT_EQ(DayNumberFromEpoch(21, 6, 2024, 12, 0, 0), 8938.0);
    EXPECT_EQ(DayNumberFromEpoch(21, 12, 2024, 0, 0, 0), 9120.5);
}

TEST(DayNumberFromEpoch, CountsOneDayAcrossEveryMonthBoundary) {
    // January and February belong to the previous year's leap cycle, March on to the current
    // one; a wrong switch shows up as a jump at the end of February or of the year.
    CalendarDay date{1, 1, 2023};
    for (int step = 0; step < 2 * 366; ++step) {
        const CalendarDay next = NextDay(date);
        ASSERT_EQ(NoonDayNumber(next) - NoonDayNumber(date), 1.0)
            << date.year << "-" << date.month << "-" << date.day;
        date = next;
    }
    // 2000 is a leap year: 31 days of January and 29 of February before March 1.
    EXPECT_EQ(NoonDayNumber({1, 3, 2000}), 60.0);
    EXPECT_EQ(NoonDayNumber({29, 2, 2024}) + 1.0, NoonDayNumber({1, 3, 2024}));
    EXPECT_EQ(NoonDayNumber({28, 2, 2023}) + 1.0, NoonDayNumber({1, 3, 2023}));
}

TEST(NormalizeDegrees, ReducesIntoOneTurnButLeavesExactly360) {
    EXPECT_EQ(NormalizeDegrees(-30.0), 330.0);
    EXPECT_EQ(NormalizeDegrees(725.0), 5.0);
    EXPECT_EQ(NormalizeDegrees(0.0), 0.0);
    EXPECT_EQ(NormalizeDegrees(360.0), 360.0);
    EXPECT_EQ(NormalizeDegrees(359.5), 359.5);
    EXPECT_EQ(NormalizeDegrees(-720.0), 0.0);
    EXPECT_EQ(NormalizeDegrees(720.0), 0.0);
    EXPECT_EQ(NormalizeDegrees(3226567.25), 247.25);
}

TEST(ComputeSolarGeometry, GivesTheDeclinationOfTheSolsticesAndTheEpoch) {
    ComputeSolarGeometry(21, 6, 2024, 12, 0, 0, 0.0);
    EXPECT_NEAR(CurrentSolarState().declination, kSolsticeDeclination, 0.01);
    ComputeSolarGeometry(21, 12, 2024, 0, 0, 0, 0.0);
    EXPECT_NEAR(CurrentSolarState().declination, -kSolsticeDeclination, 0.01);
    ComputeSolarGeometry(1, 1, 2000, 12, 0, 0, 0.0);
    EXPECT_NEAR(CurrentSolarState().declination, -23.03, 0.02);
}

TEST(SunElevation, PutsTheSunOverTheRightMeridianThroughTheDay) {
    // Near the March equinox the sun stands almost overhead at the equator where it is noon:
    // about longitude 0 at 12:00 UTC and about 90 degrees east at 06:00 UTC.
    ComputeSolarGeometry(20, 3, 2024, 12, 0, 0, 0.0);
    EXPECT_GT(SunElevation(0.0), 85.0);
    ComputeSolarGeometry(20, 3, 2024, 12, 0, 0, 180.0);
    EXPECT_LT(SunElevation(0.0), -85.0);
    ComputeSolarGeometry(20, 3, 2024, 6, 0, 0, 90.0);
    EXPECT_GT(SunElevation(0.0), 85.0);
    ComputeSolarGeometry(20, 3, 2024, 6, 0, 0, -90.0);
    EXPECT_LT(SunElevation(0.0), -85.0);
    // At the June solstice the north pole has the sun 23.44 degrees up all day.
    ComputeSolarGeometry(21, 6, 2024, 0, 0, 0, 0.0);
    EXPECT_NEAR(SunElevation(90.0), kSolsticeDeclination, 0.01);
}

TEST(SunElevation, IsTheSameAtLongitudesMinusAndPlus180) {
    for (const double latitude : {-90.0, -45.0, 0.0, 12.5, 60.0, 90.0}) {
        ComputeSolarGeometry(9, 8, 2026, 17, 3, 59, -180.0);
        const double hourAngleWest = CurrentSolarState().hourAngle;
        const double elevationWest = SunElevation(latitude);
        ComputeSolarGeometry(9, 8, 2026, 17, 3, 59, 180.0);
        EXPECT_DOUBLE_EQ(CurrentSolarState().hourAngle - hourAngleWest, 360.0);
        EXPECT_NEAR(SunElevation(latitude), elevationWest, 1e-9) << latitude;
    }
}

TEST(SunElevation, AtThePolesIsPlusOrMinusTheDeclination) {
    for (const int month : {1, 4, 6, 9, 12}) {
        ComputeSolarGeometry(15, month, 2024, 9, 30, 0, 33.0);
        const double declination = CurrentSolarState().declination;
        EXPECT_NEAR(SunElevation(90.0), declination, 1e-9) << month;
        EXPECT_NEAR(SunElevation(-90.0), -declination, 1e-9) << month;
    }
}

TEST(SunElevation, IsANumberWhereTheSunStandsOverhead) {
    // At the sub-solar point the sine of the elevation is 1 up to rounding; a hair above 1 must
    // still give 90 degrees, not NaN (which would paint night at noon).
    for (int hour = 0; hour < 24; ++hour) {
        for (int day = 1; day <= 28; day += 3) {
            ComputeSolarGeometry(day, 5, 2024, hour, 17, 0, 0.0);
            const double noonLongitude = -CurrentSolarState().hourAngle;
            ComputeSolarGeometry(day, 5, 2024, hour, 17, 0, noonLongitude);
            const double elevation = SunElevation(CurrentSolarState().declination);
            ASSERT_FALSE(std::isnan(elevation)) << day << " " << hour;
            EXPECT_GT(elevation, 89.99) << day << " " << hour;
        }
    }
}

TEST(SolarState, BelongsToTheThreadThatComputedIt) {
    // The west thread computes its column, then the east thread computes another, then the west
    // thread reads: a record shared between threads would hand it the east thread's longitude.
    // Futures rather than std::barrier: under Wine a barrier wait has been seen to hang.
    std::promise<void> westComputed, eastComputed;
    double westLongitudeSeen = 0, westElevationSeen = 0, westElevationOwn = 0;
    std::thread west([&] {
        ComputeSolarGeometry(21, 6, 2024, 12, 0, 0, -100.0);
        westElevationOwn = SunElevation(40.0);
        westComputed.set_value();
        eastComputed.get_future().wait();
        westLongitudeSeen = CurrentSolarState().longitude;
        westElevationSeen = SunElevation(40.0);
    });
    std::thread east([&] {
        westComputed.get_future().wait();
        ComputeSolarGeometry(21, 6, 2024, 12, 0, 0, 80.0);
        eastComputed.set_value();
    });
    west.join();
    east.join();
    EXPECT_EQ(westLongitudeSeen, -100.0);
    EXPECT_EQ(westElevationSeen, westElevationOwn);
}

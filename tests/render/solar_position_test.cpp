#include "render/solar_position.h"

#include <cmath>

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
    EXPECT_NEAR(ComputeSolarGeometry(21, 6, 2024, 12, 0, 0, 0.0).declination, kSolsticeDeclination, 0.01);
    EXPECT_NEAR(ComputeSolarGeometry(21, 12, 2024, 0, 0, 0, 0.0).declination, -kSolsticeDeclination, 0.01);
    EXPECT_NEAR(ComputeSolarGeometry(1, 1, 2000, 12, 0, 0, 0.0).declination, -23.03, 0.02);
}

TEST(SunElevation, PutsTheSunOverTheRightMeridianThroughTheDay) {
    // Near the March equinox the sun stands almost overhead at the equator where it is noon:
    // about longitude 0 at 12:00 UTC and about 90 degrees east at 06:00 UTC.
    EXPECT_GT(SunElevation(ComputeSolarGeometry(20, 3, 2024, 12, 0, 0, 0.0), 0.0), 85.0);
    EXPECT_LT(SunElevation(ComputeSolarGeometry(20, 3, 2024, 12, 0, 0, 180.0), 0.0), -85.0);
    EXPECT_GT(SunElevation(ComputeSolarGeometry(20, 3, 2024, 6, 0, 0, 90.0), 0.0), 85.0);
    EXPECT_LT(SunElevation(ComputeSolarGeometry(20, 3, 2024, 6, 0, 0, -90.0), 0.0), -85.0);
    // At the June solstice the north pole has the sun 23.44 degrees up all day.
    EXPECT_NEAR(SunElevation(ComputeSolarGeometry(21, 6, 2024, 0, 0, 0, 0.0), 90.0), kSolsticeDeclination,
                0.01);
}

TEST(SunElevation, IsTheSameAtLongitudesMinusAndPlus180) {
    for (const double latitude : {-90.0, -45.0, 0.0, 12.5, 60.0, 90.0}) {
        const SolarState west = ComputeSolarGeometry(9, 8, 2026, 17, 3, 59, -180.0);
        const SolarState east = ComputeSolarGeometry(9, 8, 2026, 17, 3, 59, 180.0);
        EXPECT_DOUBLE_EQ(east.hourAngle - west.hourAngle, 360.0);
        EXPECT_NEAR(SunElevation(east, latitude), SunElevation(west, latitude), 1e-9) << latitude;
    }
}

TEST(SunElevation, AtThePolesIsPlusOrMinusTheDeclination) {
    for (const int month : {1, 4, 6, 9, 12}) {
        const SolarState state = ComputeSolarGeometry(15, month, 2024, 9, 30, 0, 33.0);
        EXPECT_NEAR(SunElevation(state, 90.0), state.declination, 1e-9) << month;
        EXPECT_NEAR(SunElevation(state, -90.0), -state.declination, 1e-9) << month;
    }
}

TEST(SunElevation, IsANumberWhereTheSunStandsOverhead) {
    // At the sub-solar point the sine of the elevation is 1 up to rounding; a hair above 1 must
    // still give 90 degrees, not NaN (which would paint night at noon).
    for (int hour = 0; hour < 24; ++hour) {
        for (int day = 1; day <= 28; day += 3) {
            const double noonLongitude = -ComputeSolarGeometry(day, 5, 2024, hour, 17, 0, 0.0).hourAngle;
            const SolarState overhead = ComputeSolarGeometry(day, 5, 2024, hour, 17, 0, noonLongitude);
            const double elevation = SunElevation(overhead, overhead.declination);
            ASSERT_FALSE(std::isnan(elevation)) << day << " " << hour;
            EXPECT_GT(elevation, 89.99) << day << " " << hour;
        }
    }
}

TEST(ComputeSolarGeometry, IsTheMomentsSunSeenFromTheLongitude) {
    // The steps a frame takes once each give the very bits of the whole computation.
    const SunAtMoment sun = ComputeSunAtMoment(9, 8, 2026, 17, 3, 59);
    for (const double longitude : {-180.0, -37.25, 0.0, 101.5, 179.99}) {
        const SolarState state = ComputeSolarGeometry(9, 8, 2026, 17, 3, 59, longitude);
        EXPECT_EQ(state.longitude, longitude);
        EXPECT_EQ(state.declination, sun.declination);
        EXPECT_EQ(state.hourAngle, HourAngle(sun, longitude));
        EXPECT_EQ(state.cosHourAngle, CosHourAngle(state.hourAngle));
        for (const double latitude : {-90.0, -12.5, 0.0, 66.5, 90.0}) {
            const LatitudeTerms terms = LatitudeTermsOf(sun.sinDeclination, sun.cosDeclination, latitude);
            EXPECT_EQ(SunElevation(state, latitude),
                      ElevationOfSine(ElevationSine(terms, state.cosHourAngle)));
        }
    }
}

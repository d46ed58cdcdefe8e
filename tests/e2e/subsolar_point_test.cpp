// The end-to-end checks trust this to say where the day is; it is held here against the
// almanac's moments of the seasons and the equation of time.
#include "tests/e2e/subsolar_point.h"

#include <gtest/gtest.h>

#include "render/utc_clock.h"
#include "tests/render/test_images.h"

namespace {

std::int64_t Utc(int year, int month, int day, int hour, int minute) {
    return UtcSecondsFromFields(UtcFields(year, month, day, hour, minute, 0));
}

// Degrees of longitude the sun covers in a minute of time.
constexpr double kDegreesPerMinute = 0.25;

}  // namespace

TEST(SubsolarPoint, StandsOverTheTropicsAtTheSolsticesAndTheEquatorAtTheEquinoxes) {
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 6, 20, 20, 51)).latitude, 23.44, 0.02);
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 12, 21, 9, 21)).latitude, -23.44, 0.02);
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 3, 20, 3, 6)).latitude, 0.0, 0.02);
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 9, 22, 12, 44)).latitude, 0.0, 0.02);
}

TEST(SubsolarPoint, FollowsTheEquationOfTimeAtNoonInGreenwich) {
    // Early November the sun runs 16.4 minutes ahead of the clock, so at 12:00 UTC it has
    // passed Greenwich; in mid-February it is 14.2 minutes behind.
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 11, 3, 12, 0)).longitude, -16.4 * kDegreesPerMinute, 0.1);
    EXPECT_NEAR(SubsolarPoint(Utc(2024, 2, 11, 12, 0)).longitude, 14.2 * kDegreesPerMinute, 0.1);
}

TEST(SubsolarPoint, MovesWestFifteenDegreesAnHourAndStaysWithinTheMap) {
    const std::int64_t noon = Utc(2024, 6, 21, 12, 0);
    for (int hour = 0; hour < 48; ++hour) {
        const double longitude = SubsolarPoint(noon + hour * 3600).longitude;
        EXPECT_GE(longitude, -180.0);
        EXPECT_LT(longitude, 180.0);
        double westward = SubsolarPoint(noon + (hour - 1) * 3600).longitude - longitude;
        westward += westward < 0.0 ? 360.0 : 0.0;
        EXPECT_NEAR(westward, 15.0, 0.01) << "hour " << hour;
    }
}

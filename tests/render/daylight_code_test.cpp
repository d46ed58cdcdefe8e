#include "render/daylight_code.h"

#include <cmath>

#include <gtest/gtest.h>

#include "render/solar_position.h"

TEST(DaylightTable, GivesTheCodeOfTheElevationWhereverItGivesOne) {
    // Every sine of the band, densely, including the edges of the buckets' shares and of the
    // band: a code from the table is always the one the elevation gives.
    const DaylightTable& table = DaylightTable::Shared();
    const int samples = 2'000'000;
    int vouched = 0;
    for (int index = 1; index < samples; ++index) {
        const double sine = kTwilightSineBound * (2.0 * index / samples - 1.0);
        const DaylightCode code = table.CodeOfSine(sine);
        if (code != kExactDaylightCode) {
            ++vouched;
            ASSERT_EQ(code, DaylightCodeOf(DayWeight(ElevationOfSine(sine)))) << sine;
        }
    }
    // The table spares the arcsine for all but a few sines.
    EXPECT_GT(vouched, samples * 95 / 100);

    // The codes themselves.
    EXPECT_EQ(DaylightCodeOf(1.0), kDayCode);
    EXPECT_EQ(DaylightCodeOf(0.0), kNightCode);
    EXPECT_EQ(DaylightCodeOf(0.5), (135 << 8) | 127);
    EXPECT_EQ(SharesOfCode(DaylightCodeOf(0.5)).cloudBrightness, 135);
    EXPECT_EQ(SharesOfCode(DaylightCodeOf(0.5)).dayShare, 127);
    // The sine bound leaves the band's edges to the table: 5 degrees is inside it.
    EXPECT_LT(std::sin(5.0 * 3.141592653589793 / 180.0), kTwilightSineBound);
}

#include "render/centre_longitude.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "render/time_zone.h"

namespace {

constexpr long kUtc = 0;

std::tm UtcTimeOfDay(int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = 2024 - 1900;
    fields.tm_mon = 2;
    fields.tm_mday = 20;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return fields;
}

const std::tm kMidnight = UtcTimeOfDay(0, 0, 0);
const std::tm kNoon = UtcTimeOfDay(12, 0, 0);

TEST(CentreLongitude, CodesWithinAHalfTurnAreLongitudes) {
    EXPECT_EQ(CentreLongitude(-180, kNoon, kUtc), -180.0);
    EXPECT_EQ(CentreLongitude(37, kNoon, kUtc), 37.0);
    EXPECT_EQ(CentreLongitude(180, kNoon, kUtc), 180.0);
}

TEST(CentreLongitude, NoonMidnightSunsetAndSunriseFollowTheClock) {
    EXPECT_EQ(CentreLongitude(1001, kMidnight, kUtc), 180.0);
    EXPECT_EQ(CentreLongitude(1001, kNoon, kUtc), 0.0);
    EXPECT_EQ(CentreLongitude(1001, UtcTimeOfDay(18, 0, 0), kUtc), -90.0);
    // 06:00:01 is one second past 90 degrees east: 180 / 43200 degrees per second.
    EXPECT_DOUBLE_EQ(CentreLongitude(1001, UtcTimeOfDay(6, 0, 1), kUtc), 90.0 - 180.0 / 43200.0);

    // Each wraps at its own end of the range: 180 and above come back, -180 stays.
    EXPECT_EQ(CentreLongitude(1002, kNoon, kUtc), -180.0);
    EXPECT_EQ(CentreLongitude(1002, kMidnight, kUtc), 0.0);
    EXPECT_EQ(CentreLongitude(1003, kMidnight, kUtc), -90.0);
    EXPECT_EQ(CentreLongitude(1003, kNoon, kUtc), 90.0);
    EXPECT_EQ(CentreLongitude(1004, kMidnight, kUtc), 90.0);
    EXPECT_EQ(CentreLongitude(1004, kNoon, kUtc), -90.0);
    // Sunrise at 18:00 is at -180, which wraps to 180; sunset at 06:00 reaches 180 and wraps.
    EXPECT_EQ(CentreLongitude(1004, UtcTimeOfDay(18, 0, 0), kUtc), 180.0);
    EXPECT_EQ(CentreLongitude(1003, UtcTimeOfDay(6, 0, 0), kUtc), -180.0);
}

TEST(CentreLongitude, FixedRegions) {
    EXPECT_EQ(CentreLongitude(1005, kNoon, -19800), 0.0);
    EXPECT_EQ(CentreLongitude(1006, kNoon, -19800), 14.0);
    EXPECT_EQ(CentreLongitude(1007, kNoon, -19800), -95.0);
    EXPECT_EQ(CentreLongitude(1008, kNoon, -19800), 100.0);
}

TEST(CentreLongitude, TimeZoneTakesWholeHoursEastWithinTwelve) {
    // Offsets are seconds west of UTC, as the C runtime keeps them.
    EXPECT_EQ(CentreLongitude(1000, kNoon, -19800), 75.0);  // UTC+05:30
    EXPECT_EQ(CentreLongitude(1000, kNoon, 12600), -45.0);  // UTC-03:30
    EXPECT_EQ(CentreLongitude(1000, kNoon, -3599), 0.0);    // under an hour either way
    EXPECT_EQ(CentreLongitude(1000, kNoon, 3599), 0.0);
    EXPECT_EQ(CentreLongitude(1000, kNoon, -50400), 180.0);  // UTC+14 clamped
    EXPECT_EQ(CentreLongitude(1000, kNoon, 46800), -180.0);  // UTC-13 clamped
    EXPECT_EQ(CentreLongitude(1000, kNoon, -2147483647L), 180.0);
}

TEST(CentreLongitude, CodesWithoutAMeaningCentreOnTheTimeZone) {
    for (const int code : {181, -181, 999, 1009, 5000}) {
        EXPECT_EQ(CentreLongitude(code, kNoon, -19800), 75.0) << code;
    }
}

// Sets the TZ variable for the C runtime while it lives, and puts the earlier value back.
class ZoneVariable {
  public:
    explicit ZoneVariable(const char* value) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
        }
        Set(value);
    }
    ~ZoneVariable() {
        Set(previous_ ? previous_->c_str() : nullptr);
        StandardTimeOffsetSeconds();  // the runtime reads the restored zone again
    }
    ZoneVariable(const ZoneVariable&) = delete;
    ZoneVariable& operator=(const ZoneVariable&) = delete;

  private:
    static void Set(const char* value) {
#ifdef _WIN32
        _putenv_s("TZ", value != nullptr ? value : "");
#else
        if (value != nullptr) {
            setenv("TZ", value, 1);
        } else {
            unsetenv("TZ");
        }
#endif
    }

    std::optional<std::string> previous_;
};

TEST(StandardTimeOffset, ReadsTheZoneTheRuntimeIsGiven) {
    {
        const ZoneVariable zone("IST-5:30");
        EXPECT_EQ(StandardTimeOffsetSeconds(), -19800);
        EXPECT_EQ(CentreLongitude(1000, kNoon, StandardTimeOffsetSeconds()), 75.0);
    }
    {
        const ZoneVariable zone("NST3:30");
        EXPECT_EQ(StandardTimeOffsetSeconds(), 12600);
        EXPECT_EQ(CentreLongitude(1000, kNoon, StandardTimeOffsetSeconds()), -45.0);
    }
    {
        // Summer time does not count: the standard offset of UTC+1 with summer time is 1 hour.
        const ZoneVariable zone("CET-1CEST");
        EXPECT_EQ(StandardTimeOffsetSeconds(), -3600);
    }
    {
        const ZoneVariable zone("LIN-14");
        EXPECT_EQ(CentreLongitude(1000, kNoon, StandardTimeOffsetSeconds()), 180.0);
    }
}

}  // namespace

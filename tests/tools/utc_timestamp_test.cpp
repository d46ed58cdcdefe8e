#include "tools/render_cli/utc_timestamp.h"

#include <gtest/gtest.h>

namespace {

TEST(UtcTimestamp, ReadsUtcWithOrWithoutZoneAndSeconds) {
    EXPECT_EQ(ParseUtcTimestamp("2024-06-21T12:00:00Z"), 1718971200);
    EXPECT_EQ(ParseUtcTimestamp("2024-06-21T12:00:00"), 1718971200);
    EXPECT_EQ(ParseUtcTimestamp("2024-06-21 12:00"), 1718971200);
    EXPECT_EQ(ParseUtcTimestamp("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(ParseUtcTimestamp("1969-12-31T23:59:59Z"), -1);
}

TEST(UtcTimestamp, OffsetsNameLocalTimes) {
    EXPECT_EQ(ParseUtcTimestamp("2024-06-21T17:30:00+05:30"), 1718971200);
    EXPECT_EQ(ParseUtcTimestamp("2024-06-21T08:30:00-03:30"), 1718971200);
}

TEST(UtcTimestamp, RefusesDaysAndTimesThatDoNotExist) {
    EXPECT_TRUE(ParseUtcTimestamp("2024-02-29T00:00:00Z"));
    for (const char* text :
         {"2023-02-29T00:00:00Z", "2024-13-01T00:00:00Z", "2024-04-31T00:00:00Z", "2024-06-21T24:00:00Z",
          "2024-06-21T12:60:00Z", "2024-06-21T12:00:60Z", "2024-06-21", "2024-6-21T12:00Z",
          "2024-06-21T12:00:00Zjunk", "2024-06-21T12:00+5:30", "2024-06-21T12:00+15:00", "", "now"}) {
        EXPECT_FALSE(ParseUtcTimestamp(text)) << text;
    }
}

}  // namespace

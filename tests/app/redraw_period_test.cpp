#include "app/redraw_period.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(RedrawTimerPeriod, PeriodsUnderASecondAreRaisedToOneAndTheDialogsChoicesKept) {
    EXPECT_EQ(RedrawTimerPeriod(0), 1000u);
    EXPECT_EQ(RedrawTimerPeriod(10), 1000u);
    EXPECT_EQ(RedrawTimerPeriod(999), 1000u);
    for (const std::uint32_t kept : {1000u, 60000u, 300000u, 900000u, 3600000u, UINT32_MAX}) {
        EXPECT_EQ(RedrawTimerPeriod(kept), kept);
    }
}

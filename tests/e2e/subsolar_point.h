// Where the sun stands overhead at a moment. The end-to-end checks use it to know which part of
// the desktop picture must show daylight; it is worked out here by the almanac's short method,
// apart from the program's own solar code, so that a fault there cannot hide itself. It is good
// to about a hundredth of a degree, far finer than the checks need.
#pragma once

#include <cstdint>

struct GroundPoint {
    double latitude;   // degrees, north positive
    double longitude;  // degrees, east positive, in [-180, 180)
};

// utcSeconds counts from 1970-01-01 00:00:00 UTC.
GroundPoint SubsolarPoint(std::int64_t utcSeconds);

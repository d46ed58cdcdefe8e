// Which longitude the map is centred on, from the CenterOn choice: a fixed longitude, a region,
// the user's time zone, or the places where it is now noon, midnight, sunset or sunrise by mean
// solar time.
#pragma once

#include <ctime>

// The centre longitude in degrees (east positive) for a centre code at a UTC moment (only its
// time of day counts). standardOffsetSeconds is the local zone's standard-time offset in
// seconds west of UTC (StandardTimeOffsetSeconds); it serves the time-zone code and every code
// without a meaning of its own. Codes -180..180 are longitudes themselves.
double CentreLongitude(int code, const std::tm& utc, long standardOffsetSeconds);

// Whether the centre code's longitude moves with the time of day (the places where it is now
// noon, midnight, sunset or sunrise); every other code names the same longitude all day.
bool CentreMovesWithTime(int code);

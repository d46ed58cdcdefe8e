// The sun's position seen from any point of the map, by a low-accuracy method: a day count from
// the year-2000 epoch, the sun's mean anomaly and mean longitude, an equation of centre, a fixed
// obliquity of the ecliptic and the mean sidereal time at Greenwich. Its constants decide where
// the terminator falls in the picture, so they are kept exactly as they are.
//
// The compositor computes the geometry once per map column and then asks for the elevation of
// every pixel in that column. Two compositor threads work on different columns at once, so the
// geometry lives in one record per thread; nothing here takes a lock.
//
// Angles passed in and out are degrees; all arithmetic is in double precision.
#pragma once

// What ComputeSolarGeometry leaves for SunElevation on the same thread. SunElevation reads only
// the last three fields.
struct SolarState {
    double longitude;       // of the column, degrees east (negative west)
    double declination;     // degrees
    double hourAngle;       // local hour angle at that longitude, degrees, not reduced
    double sinDeclination;  // of the declination
    double cosDeclination;  // of the declination
    double cosHourAngle;    // of the hour angle
};

// Days since 2000-01-01 12:00:00 UTC (fractional). The time fields are whole numbers passed as
// doubles: day of month 1..31, month 1..12, full year, UTC hour, minute and second.
double DayNumberFromEpoch(double day, double month, double year, double hour, double minute, double second);

// Fills the calling thread's SolarState for a moment in UTC and a longitude in degrees.
void ComputeSolarGeometry(double day, double month, double year, double hour, double minute, double second,
                          double longitude);

// The sun's elevation above the horizon in degrees at a latitude in degrees (north positive),
// from the calling thread's SolarState. Valid only after ComputeSolarGeometry on this thread.
double SunElevation(double latitude);

// The calling thread's SolarState as the last ComputeSolarGeometry left it.
const SolarState& CurrentSolarState();

// Reduces an angle into [0, 360). A value of exactly 360 is left as it is: the reduction only
// runs for values below 360 and for values above it.
double NormalizeDegrees(double x);

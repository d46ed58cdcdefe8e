// The sun's position seen from any point of the map, by a low-accuracy method: a day count from
// the year-2000 epoch, the sun's mean anomaly and mean longitude, an equation of centre, a fixed
// obliquity of the ecliptic and the mean sidereal time at Greenwich. Its constants decide where
// the terminator falls in the picture, so they are kept exactly as they are.
//
// Only the hour angle depends on the longitude, and only the elevation on the latitude, so the
// computation comes in steps that a frame can take once each: the sun at the moment, the hour
// angle of a column, the terms of a row's latitude, the elevation of a pixel. Every step is the
// same expression, in the same order of operations, whether it runs once per frame or once per
// pixel, so both ways give the same bits (the build forbids floating-point contraction).
//
// Angles passed in and out are degrees; all arithmetic is in double precision. Nothing here keeps
// state: every result is a value.
#pragma once

#include <algorithm>
#include <cmath>

// The sun at one moment: what the position needs that does not depend on the place.
struct SunAtMoment {
    double declination;     // degrees
    double sinDeclination;  // computed afresh from the declination in degrees
    double cosDeclination;
    double siderealTime;    // mean sidereal time at Greenwich, degrees, reduced into [0, 360]
    double rightAscension;  // degrees
};

// The sun seen from one longitude: the moment's values and the local hour angle.
struct SolarState {
    double longitude;       // of the column, degrees east (negative west)
    double declination;     // degrees
    double hourAngle;       // local hour angle at that longitude, degrees, not reduced
    double sinDeclination;  // of the declination
    double cosDeclination;  // of the declination
    double cosHourAngle;    // of the hour angle
};

// The two products of a latitude's sine and cosine with the declination's, which the elevation
// of every point on that latitude adds up.
struct LatitudeTerms {
    double sinTerm;  // sin latitude x sin declination
    double cosTerm;  // cos latitude x cos declination
};

// Days since 2000-01-01 12:00:00 UTC (fractional). The time fields are whole numbers passed as
// doubles: day of month 1..31, month 1..12, full year, UTC hour, minute and second.
double DayNumberFromEpoch(double day, double month, double year, double hour, double minute, double second);

// The sun at a moment in UTC (the same time fields).
SunAtMoment ComputeSunAtMoment(double day, double month, double year, double hour, double minute,
                               double second);

// The local hour angle of the sun at a longitude, degrees, not reduced.
double HourAngle(const SunAtMoment& sun, double longitude);

// The cosine of an hour angle in degrees.
double CosHourAngle(double hourAngle);

// The sun at a moment in UTC seen from a longitude in degrees.
SolarState ComputeSolarGeometry(double day, double month, double year, double hour, double minute,
                                double second, double longitude);

// The terms of a latitude in degrees (north positive) for a declination's sine and cosine.
LatitudeTerms LatitudeTermsOf(double sinDeclination, double cosDeclination, double latitude);

// The sine of the sun's elevation where the latitude's terms meet the hour angle's cosine.
inline double ElevationSine(const LatitudeTerms& terms, double cosHourAngle) {
    return terms.sinTerm + terms.cosTerm * cosHourAngle;
}

// The elevation in degrees for its sine. Where the sun stands overhead, rounding can carry the
// sine a hair past 1; asin would then give NaN and the sub-solar point would be drawn as night.
inline double ElevationOfSine(double sine) {
    constexpr double kPi = 3.141592653589793;
    return std::asin(std::clamp(sine, -1.0, 1.0)) * 180.0 / kPi;
}

// The sun's elevation above the horizon in degrees at a latitude in degrees, seen from the
// state's longitude.
double SunElevation(const SolarState& state, double latitude);

// Reduces an angle into [0, 360). A value of exactly 360 is left as it is: the reduction only
// runs for values below 360 and for values above it.
double NormalizeDegrees(double x);

#include "tests/e2e/subsolar_point.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSecondsPerDay = 86400.0;
// The Julian date of 1970-01-01 00:00 UTC and of the J2000 epoch, 2000-01-01 12:00 UTC.
constexpr double kUnixEpochJulianDate = 2440587.5;
constexpr double kJ2000JulianDate = 2451545.0;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

// Into [-180, 180).
double WrapLongitude(double degrees) {
    return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0);
}

}  // namespace

GroundPoint SubsolarPoint(std::int64_t utcSeconds) {
    const double n =
        static_cast<double>(utcSeconds) / kSecondsPerDay + kUnixEpochJulianDate - kJ2000JulianDate;
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double meanAnomaly = Radians(357.528 + 0.9856003 * n);
    const double eclipticLongitude =
        Radians(meanLongitude + 1.915 * std::sin(meanAnomaly) + 0.020 * std::sin(2.0 * meanAnomaly));
    const double obliquity = Radians(23.439 - 0.0000004 * n);

    const double rightAscension =
        Degrees(std::atan2(std::cos(obliquity) * std::sin(eclipticLongitude), std::cos(eclipticLongitude)));
    const double declination = Degrees(std::asin(std::sin(obliquity) * std::sin(eclipticLongitude)));
    // Greenwich mean sidereal time: the right ascension that stands on the Greenwich meridian.
    const double siderealTime = 280.46061837 + 360.98564736629 * n;
    return {declination, WrapLongitude(rightAscension - siderealTime)};
}

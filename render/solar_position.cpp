#include "render/solar_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
// The obliquity of the ecliptic is held fixed (23.4399 degrees); over the years this program
// covers its drift moves the terminator by far less than a pixel.
constexpr double kObliquity = 0.4091034313382189;

thread_local SolarState threadSolarState;

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

}  // namespace

double NormalizeDegrees(double x) {
    if (x < 360.0) {
        x = x - 360.0 * std::floor(x / 360.0);
    }
    if (x > 360.0) {
        x = x - 360.0 * std::floor(x / 360.0);
    }
    return x;
}

double DayNumberFromEpoch(double day, double month, double year, double hour, double minute, double second) {
    // t1 is 0 for January and February and 1 from March on: the calendar formula counts the
    // leap day at the end of a March-based year.
    const double t1 = std::trunc(month / 12.0 + 0.75);
    const double t2 = std::trunc(7.0 * (year + t1) * 0.25);
    const double t3 = std::trunc(275.0 * month / 9.0);
    const double dayCount = 367.0 * year - t2 + t3 + day - 730531.5;
    const double universalTime = hour + minute / 60.0 + second / 3600.0;
    return dayCount + universalTime / 24.0;
}

void ComputeSolarGeometry(double day, double month, double year, double hour, double minute, double second,
                          double longitude) {
    SolarState& state = threadSolarState;
    state.longitude = longitude;

    const double d = DayNumberFromEpoch(day, month, year, hour, minute, second);
    const double t = d / 36525.0;

    const double meanAnomaly =
        NormalizeDegrees(357.5291 + 35999.0503 * t - 0.0001559 * t * t - 0.00000048 * t * t * t);
    const double meanLongitude = NormalizeDegrees(280.46645 + 36000.76983 * t + 0.0003032 * t * t);
    const double centre = (1.9146 - 0.004817 * t - 0.000014 * t * t) * std::sin(Radians(meanAnomaly)) +
                          (0.019993 - 0.000101 * t) * std::sin(Radians(2.0 * meanAnomaly)) +
                          0.00029 * std::sin(Radians(3.0 * meanAnomaly));
    const double trueLongitude = Radians(meanLongitude + centre);

    const double sinDeclination = std::sin(kObliquity) * std::sin(trueLongitude);
    const double cosDeclination = std::sqrt(1.0 - sinDeclination * sinDeclination);
    state.declination = Degrees(std::atan2(sinDeclination, cosDeclination));

    const double siderealTime =
        NormalizeDegrees(280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000.0);
    const double localSiderealTime = siderealTime + longitude;
    // The half-angle form gives the right ascension in the correct quadrant without atan2.
    const double rightAscension = Degrees(2.0 * std::atan(std::cos(kObliquity) * std::sin(trueLongitude) /
                                                          (std::cos(trueLongitude) + cosDeclination)));
    state.hourAngle = localSiderealTime - rightAscension;

    state.cosHourAngle = std::cos(Radians(state.hourAngle));
    state.sinDeclination = std::sin(Radians(state.declination));
    state.cosDeclination = std::cos(Radians(state.declination));
}

double SunElevation(double latitude) {
    const SolarState& state = threadSolarState;
    const double phi = Radians(latitude);
    const double sine =
        std::sin(phi) * state.sinDeclination + std::cos(phi) * state.cosDeclination * state.cosHourAngle;
    // Where the sun stands overhead, rounding can carry the sine a hair past 1; asin would then
    // give NaN and the sub-solar point would be drawn as night.
    return Degrees(std::asin(std::clamp(sine, -1.0, 1.0)));
}

const SolarState& CurrentSolarState() {
    return threadSolarState;
}

#include "render/solar_position.h"

namespace {

constexpr double kPi = 3.141592653589793;
// The obliquity of the ecliptic is held fixed (23.4399 degrees); over the years this program
// covers its drift moves the terminator by far less than a pixel.
constexpr double kObliquity = 0.4091034313382189;

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

SunAtMoment ComputeSunAtMoment(double day, double month, double year, double hour, double minute,
                               double second) {
    const double d = DayNumberFromEpoch(day, month, year, hour, minute, second);
    const double t = d / 36525.0;

    const double meanAnomaly =
        NormalizeDegrees(357.5291 + 35999.0503 * t - 0.0001559 * t * t - 0.00000048 * t * t * t);
    const double meanLongitude = NormalizeDegrees(280.46645 + 36000.76983 * t + 0.0003032 * t * t);
    const double centre = (1.9146 - 0.004817 * t - 0.000014 * t * t) * std::sin(Radians(meanAnomaly)) +
                          (0.019993 - 0.000101 * t) * std::sin(Radians(2.0 * meanAnomaly)) +
                          0.00029 * std::sin(Radians(3.0 * meanAnomaly));
    const double trueLongitude = Radians(meanLongitude + centre);

    SunAtMoment sun;
    const double sinDeclination = std::sin(kObliquity) * std::sin(trueLongitude);
    const double cosDeclination = std::sqrt(1.0 - sinDeclination * sinDeclination);
    sun.declination = Degrees(std::atan2(sinDeclination, cosDeclination));
    sun.siderealTime =
        NormalizeDegrees(280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000.0);
    // The half-angle form gives the right ascension in the correct quadrant without atan2.
    sun.rightAscension = Degrees(2.0 * std::atan(std::cos(kObliquity) * std::sin(trueLongitude) /
                                                 (std::cos(trueLongitude) + cosDeclination)));
    sun.sinDeclination = std::sin(Radians(sun.declination));
    sun.cosDeclination = std::cos(Radians(sun.declination));
    return sun;
}

double HourAngle(const SunAtMoment& sun, double longitude) {
    const double localSiderealTime = sun.siderealTime + longitude;
    return localSiderealTime - sun.rightAscension;
}

double CosHourAngle(double hourAngle) {
    return std::cos(Radians(hourAngle));
}

SolarState ComputeSolarGeometry(double day, double month, double year, double hour, double minute,
                                double second, double longitude) {
    const SunAtMoment sun = ComputeSunAtMoment(day, month, year, hour, minute, second);
    SolarState state;
    state.longitude = longitude;
    state.declination = sun.declination;
    state.hourAngle = HourAngle(sun, longitude);
    state.cosHourAngle = CosHourAngle(state.hourAngle);
    state.sinDeclination = sun.sinDeclination;
    state.cosDeclination = sun.cosDeclination;
    return state;
}

LatitudeTerms LatitudeTermsOf(double sinDeclination, double cosDeclination, double latitude) {
    const double phi = Radians(latitude);
    return {std::sin(phi) * sinDeclination, std::cos(phi) * cosDeclination};
}

double SunElevation(const SolarState& state, double latitude) {
    return ElevationOfSine(ElevationSine(
        LatitudeTermsOf(state.sinDeclination, state.cosDeclination, latitude), state.cosHourAngle));
}

#include "render/centre_longitude.h"

#include <algorithm>

#include "settings/settings.h"

namespace {

// Greenwich in the middle; the settings dialog offers no entry for it.
constexpr int kCenterOnPrimeMeridian = 1005;

constexpr double kEuropeAfricaLongitude = 14.0;
constexpr double kAmericasLongitude = -95.0;
constexpr double kAsiaLongitude = 100.0;

constexpr double kSecondsAtNoon = 43200.0;
constexpr long long kSecondsPerHour = 3600;
constexpr long long kMaxZoneHours = 12;
constexpr double kDegreesPerHour = 15.0;

// Whole hours east of UTC, truncated toward zero and kept within a half turn, times 15: a zone
// of UTC+05:30 gives 75, one of UTC-03:30 gives -45.
double TimeZoneLongitude(long standardOffsetSeconds) {
    const long long hoursEast = -static_cast<long long>(standardOffsetSeconds) / kSecondsPerHour;
    return static_cast<double>(std::clamp(hoursEast, -kMaxZoneHours, kMaxZoneHours)) * kDegreesPerHour;
}

// Where it is now noon by mean time: 180 at 00:00 UTC, 0 at 12:00, going west by 15 degrees an
// hour.
double NoonLongitude(const std::tm& utc) {
    const double seconds = utc.tm_hour * 3600.0 + utc.tm_min * 60.0 + utc.tm_sec;
    return -((seconds - kSecondsAtNoon) * 180.0 / kSecondsAtNoon);
}

double WrappedBelowHalfTurn(double longitude) {
    return longitude >= 180.0 ? longitude - 360.0 : longitude;
}

double WrappedAboveHalfTurn(double longitude) {
    return longitude <= -180.0 ? longitude + 360.0 : longitude;
}

}  // namespace

double CentreLongitude(int code, const std::tm& utc, long standardOffsetSeconds) {
    if (code >= -180 && code <= 180) {
        return code;
    }
    switch (code) {
        case kCenterOnNoon:
            return NoonLongitude(utc);
        case kCenterOnMidnight:
            return WrappedBelowHalfTurn(NoonLongitude(utc) + 180.0);
        case kCenterOnSunset:
            return WrappedBelowHalfTurn(NoonLongitude(utc) + 90.0);
        case kCenterOnSunrise:
            return WrappedAboveHalfTurn(NoonLongitude(utc) - 90.0);
        case kCenterOnPrimeMeridian:
            return 0.0;
        case kCenterOnEuropeAfrica:
            return kEuropeAfricaLongitude;
        case kCenterOnAmericas:
            return kAmericasLongitude;
        case kCenterOnAsia:
            return kAsiaLongitude;
        default:  // the time-zone code, and any code without a meaning
            return TimeZoneLongitude(standardOffsetSeconds);
    }
}

bool CentreMovesWithTime(int code) {
    return code == kCenterOnNoon || code == kCenterOnMidnight || code == kCenterOnSunset ||
           code == kCenterOnSunrise;
}

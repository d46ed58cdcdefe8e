#include "render/daylight_code.h"

#include <cmath>

#include "render/solar_position.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kElevationWidening = 1e-9;  // degrees
constexpr double kBucketWidening = 0.01;     // of a bucket

DaylightCode CodeOfElevation(double elevation) {
    return DaylightCodeOf(DayWeight(elevation));
}

}  // namespace

const double kTwilightSineBound = std::sin(5.01 * kPi / 180.0);

DaylightCode DaylightCodeOf(double dayWeight) {
    if (dayWeight == 1.0) {
        return kDayCode;
    }
    if (dayWeight == 0.0) {
        return kNightCode;
    }
    const TwilightShares shares = TwilightSharesOf(dayWeight);
    return static_cast<DaylightCode>((shares.cloudBrightness << 8) | shares.dayShare);
}

const DaylightTable& DaylightTable::Shared() {
    static const DaylightTable table;
    return table;
}

DaylightTable::DaylightTable()
    : bucketsPerSine_(static_cast<double>(kBuckets) / (2.0 * kTwilightSineBound)),
      codes_(static_cast<std::size_t>(kBuckets)) {
    const double sinePerBucket = 2.0 * kTwilightSineBound / static_cast<double>(kBuckets);
    for (std::ptrdiff_t bucket = 0; bucket < kBuckets; ++bucket) {
        const double low =
            -kTwilightSineBound + (static_cast<double>(bucket) - kBucketWidening) * sinePerBucket;
        const double high =
            -kTwilightSineBound + (static_cast<double>(bucket) + 1.0 + kBucketWidening) * sinePerBucket;
        const DaylightCode lowCode = CodeOfElevation(ElevationOfSine(low) - kElevationWidening);
        const DaylightCode highCode = CodeOfElevation(ElevationOfSine(high) + kElevationWidening);
        codes_[static_cast<std::size_t>(bucket)] = lowCode == highCode ? lowCode : kExactDaylightCode;
    }
}

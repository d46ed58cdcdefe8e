#include "render/utc_clock.h"

#include <chrono>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back; the well-known era-based
// conversion (400-year eras of 146097 days), exact for every 64-bit day count in range.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;  // 1..12
    unsigned day;    // 1..31
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// Division and remainder rounding toward minus infinity, for moments before 1970.
std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

std::int64_t FloorMod(std::int64_t value, std::int64_t divisor) {
    return value - FloorDiv(value, divisor) * divisor;
}

}  // namespace

std::int64_t CurrentUtcSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::tm BreakDownUtc(std::int64_t secondsSinceEpoch) {
    const std::int64_t days = FloorDiv(secondsSinceEpoch, kSecondsPerDay);
    const std::int64_t secondOfDay = secondsSinceEpoch - days * kSecondsPerDay;
    const CivilDate date = CivilFromDays(days);

    std::tm fields{};
    fields.tm_year = static_cast<int>(date.year - 1900);
    fields.tm_mon = static_cast<int>(date.month) - 1;
    fields.tm_mday = static_cast<int>(date.day);
    fields.tm_hour = static_cast<int>(secondOfDay / 3600);
    fields.tm_min = static_cast<int>(secondOfDay % 3600 / 60);
    fields.tm_sec = static_cast<int>(secondOfDay % 60);
    // 1970-01-01 was a Thursday.
    fields.tm_wday = static_cast<int>(FloorMod(days + 4, 7));
    fields.tm_yday = static_cast<int>(days - DaysFromCivil(date.year, 1, 1));
    fields.tm_isdst = 0;
    return fields;
}

std::int64_t UtcSecondsFromFields(const std::tm& fields) {
    const std::int64_t days =
        DaysFromCivil(static_cast<std::int64_t>(fields.tm_year) + 1900,
                      static_cast<unsigned>(fields.tm_mon + 1), static_cast<unsigned>(fields.tm_mday));
    return days * kSecondsPerDay + fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}

#include "tools/render_cli/utc_timestamp.h"

#include <ctime>

#include "render/utc_clock.h"

namespace {

// Reads exactly `digits` decimal digits at `pos`.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t digits) {
    if (pos + digits > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char wanted) {
    if (pos < text.size() && text[pos] == wanted) {
        ++pos;
        return true;
    }
    return false;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<std::int64_t> ParseUtcTimestamp(std::string_view text) {
    std::size_t pos = 0;
    const auto year = ReadNumber(text, pos, 4);
    if (!year || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto month = ReadNumber(text, pos, 2);
    if (!month || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto day = ReadNumber(text, pos, 2);
    if (!day || !(Expect(text, pos, 'T') || Expect(text, pos, ' ')))
        return std::nullopt;
    const auto hour = ReadNumber(text, pos, 2);
    if (!hour || !Expect(text, pos, ':'))
        return std::nullopt;
    const auto minute = ReadNumber(text, pos, 2);
    if (!minute)
        return std::nullopt;
    std::optional<int> second = 0;
    if (Expect(text, pos, ':')) {
        second = ReadNumber(text, pos, 2);
        if (!second)
            return std::nullopt;
    }

    int offsetSeconds = 0;
    if (!Expect(text, pos, 'Z') && pos < text.size()) {
        const char sign = text[pos++];
        if (sign != '+' && sign != '-')
            return std::nullopt;
        const auto offsetHours = ReadNumber(text, pos, 2);
        if (!offsetHours || !Expect(text, pos, ':'))
            return std::nullopt;
        const auto offsetMinutes = ReadNumber(text, pos, 2);
        if (!offsetMinutes || *offsetHours > 14 || *offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (sign == '-' ? -1 : 1) * (*offsetHours * 3600 + *offsetMinutes * 60);
    }
    if (pos != text.size())
        return std::nullopt;

    if (*month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month) || *hour > 23 ||
        *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    std::tm fields{};
    fields.tm_year = *year - 1900;
    fields.tm_mon = *month - 1;
    fields.tm_mday = *day;
    fields.tm_hour = *hour;
    fields.tm_min = *minute;
    fields.tm_sec = *second;
    // A local time east of UTC is earlier in UTC.
    return UtcSecondsFromFields(fields) - offsetSeconds;
}

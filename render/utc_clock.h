// The present moment and its breakdown into UTC calendar fields. The renderer works in whole
// seconds of 64-bit time; the breakdown is done here, not by the C library, so that it is the
// same on every platform and for every year a 64-bit time can name.
#pragma once

#include <cstdint>
#include <ctime>

// Seconds since 1970-01-01 00:00:00 UTC.
std::int64_t CurrentUtcSeconds();

// The UTC calendar fields of a moment, in the C library's form: tm_year counts from 1900,
// tm_mon from 0, tm_mday from 1; tm_wday (0 = Sunday) and tm_yday are filled too, tm_isdst is 0.
std::tm BreakDownUtc(std::int64_t secondsSinceEpoch);

// The inverse of BreakDownUtc for normalised fields (tm_year, tm_mon, tm_mday, tm_hour,
// tm_min, tm_sec); tm_wday and tm_yday are ignored.
std::int64_t UtcSecondsFromFields(const std::tm& fields);

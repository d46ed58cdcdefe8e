// When the monthly map of 5400 x 2700 pixels is fetched: whenever the month the desktop shows has
// none downloaded yet, at start, at the month's change and when the choice is applied; after a
// run that installed nothing, not before a pause that doubles from five seconds to a day, as the
// cloud download's retries do, so that a source that keeps failing is not asked every few seconds.
#pragma once

#include <cstdint>

// The longest pause after failed runs.
inline constexpr std::uint32_t kSharpMapRetryCeilingHours = 24;

// The month (1..12) whose downloaded map the desktop would show in the current UTC month
// (1..12), or 0 when it shows none: sharp maps off, or a day image that is no month (the shaded
// relief map).
int SharpMapMonth(std::int32_t sharpMaps, std::int32_t daytimeImage, int currentMonth);

// The pause before the next run after failedRuns runs in a row that installed nothing.
std::uint32_t SharpMapRetryDelay(std::uint32_t failedRuns);

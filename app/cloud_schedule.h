// When the next cloud download is due. The last successful download is stored as a FILETIME
// (100-nanosecond ticks, UTC); the next one comes a full period after it, or shortly after
// start-up when none was ever made or the period has already run out. Runs that install nothing
// are retried ever more slowly, so that a mirror that keeps failing is not asked every few
// seconds for as long as the program runs.
#pragma once

#include <cstdint>

// The delay before a download that is due now: long enough for start-up or an apply to finish
// drawing first.
inline constexpr std::uint32_t kCloudUpdateDueDelayMs = 5000;

// The longest delay a timer accepts (USER_TIMER_MAXIMUM); longer periods wait this long.
inline constexpr std::uint32_t kLongestTimerDelayMs = 0x7FFFFFFF;

// Milliseconds from now (a FILETIME) until the next download, for a last download at
// lastUpdated (a FILETIME, 0 = never) and a period of periodHours. The time since the last
// download is compared in full: one made weeks ago is due now, however the elapsed milliseconds
// would wrap in 32 bits. A last download later than now means the clock has been set back since;
// the stored time then says nothing about the period, and the download is treated as due, so that
// it runs and stores a time from the corrected clock.
std::uint32_t CloudTimerDelay(std::uint64_t lastUpdated, std::uint64_t now, std::uint32_t periodHours);

// The least delay before the next run after failedRuns runs in a row have installed nothing:
// 0 after none, kCloudUpdateDueDelayMs after the first, then twice as long after each further
// one, but never longer than the period of periodHours.
std::uint32_t CloudRetryDelay(std::uint32_t failedRuns, std::uint32_t periodHours);

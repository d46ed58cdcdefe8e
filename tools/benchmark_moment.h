// The moment every part of the benchmark draws: near an equinox, so that a frame shows day,
// night and twilight in the usual proportions.
#pragma once

#include <ctime>

// The same moment as orbiscape-render's --at takes it.
inline constexpr char kBenchmarkMomentText[] = "2024-03-20T15:37:12Z";

inline std::tm BenchmarkMoment() {
    std::tm moment{};
    moment.tm_year = 2024 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 20;
    moment.tm_hour = 15;
    moment.tm_min = 37;
    moment.tm_sec = 12;
    return moment;
}

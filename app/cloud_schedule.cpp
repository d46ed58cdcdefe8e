#include "app/cloud_schedule.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kFileTimeTicksPerMs = 10000;
constexpr std::uint64_t kMsPerHour = 3600000;

}  // namespace

std::uint32_t CloudTimerDelay(std::uint64_t lastUpdated, std::uint64_t now, std::uint32_t periodHours) {
    if (lastUpdated == 0 || lastUpdated > now) {
        return kCloudUpdateDueDelayMs;
    }
    const std::uint64_t elapsedMs = (now - lastUpdated) / kFileTimeTicksPerMs;
    const std::uint64_t periodMs = std::uint64_t{periodHours} * kMsPerHour;
    if (elapsedMs > periodMs) {
        return kCloudUpdateDueDelayMs;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(periodMs - elapsedMs, kLongestTimerDelayMs));
}

std::uint32_t CloudRetryDelay(std::uint32_t failedRuns, std::uint32_t periodHours) {
    if (failedRuns == 0) {
        return 0;
    }
    const std::uint64_t periodMs =
        std::min<std::uint64_t>(std::uint64_t{periodHours} * kMsPerHour, kLongestTimerDelayMs);
    // Past 32 doublings any period is reached; stopping there keeps the shift defined.
    const std::uint32_t doublings = std::min<std::uint32_t>(failedRuns - 1, 32);
    return static_cast<std::uint32_t>(std::min(std::uint64_t{kCloudUpdateDueDelayMs} << doublings, periodMs));
}

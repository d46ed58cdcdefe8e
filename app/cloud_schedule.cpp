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

#include "app/frame_age.h"

bool FrameOutlivedItsPeriod(std::int64_t now, std::int64_t frameTime, std::uint32_t redrawPeriodMs) {
    constexpr std::int64_t kCheckSeconds = kClockCheckPeriodMs / 1000;
    // Both times come from the system's clock, so the difference cannot overflow.
    const std::int64_t age = now - frameTime;
    return age < -kCheckSeconds || age > redrawPeriodMs / 1000 + kCheckSeconds;
}

std::uint32_t TimeToNextRedraw(std::int64_t now, std::int64_t frameTime, std::uint32_t redrawPeriodMs) {
    const std::int64_t ageMs = (now - frameTime) * 1000;
    if (ageMs < 0 || ageMs >= redrawPeriodMs) {
        return 0;
    }
    return static_cast<std::uint32_t>(redrawPeriodMs - ageMs);
}

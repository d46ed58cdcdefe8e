#include "app/redraw_period.h"

#include <algorithm>

std::uint32_t RedrawTimerPeriod(std::uint32_t updateFreq) {
    return std::max(updateFreq, kShortestRedrawPeriodMs);
}

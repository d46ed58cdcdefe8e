// The period of the redraw timer. The stored UpdateFreq is used as it is, except that a timer
// firing more often than once a second is never armed: a full-size redraw takes a good part of
// a second, and a stored 0 would otherwise give the system's shortest period, 10 ms.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kShortestRedrawPeriodMs = 1000;

// updateFreq (milliseconds), raised to kShortestRedrawPeriodMs when it is shorter.
std::uint32_t RedrawTimerPeriod(std::uint32_t updateFreq);

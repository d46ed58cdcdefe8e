// Whether the picture on the desktop still shows the present moment. The redraw timer alone
// cannot tell: after sleep or hibernation, or when the clock is set, the wall clock jumps while
// the timer does not, and the resume broadcast that would say so does not reach every program
// on every machine. So a cheap check, once a minute, compares the wall clock with the time of
// the last frame. The frame's age also decides, when the desktop is seen again after nobody could
// see it, whether the frame is brought up to date at once or when the next timed redraw is due. Times are
// whole seconds since 1970 (UTC); periods are milliseconds.
#pragma once

#include <cstdint>

// How often the wall clock is compared with the last frame's time.
inline constexpr std::uint32_t kClockCheckPeriodMs = 60000;

// Whether a frame drawn at frameTime has been left behind by the clock: it is older than the
// redraw period and one check period more (by then the redraw timer would have replaced it), or
// the clock now reads more than one check period before it (the clock was set back).
bool FrameOutlivedItsPeriod(std::int64_t now, std::int64_t frameTime, std::uint32_t redrawPeriodMs);

// Milliseconds until a frame drawn at frameTime (0: none yet) has lived its period: 0 when it has
// already, or when the clock now reads earlier than frameTime (it was set back), and the frame is
// due at once.
std::uint32_t TimeToNextRedraw(std::int64_t now, std::int64_t frameTime, std::uint32_t redrawPeriodMs);

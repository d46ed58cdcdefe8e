// The full path of the finished frame "current.bmp", as the desktop is told it. Both kinds of
// desktop output read it, in wide characters, into a buffer of 260 characters and give up on a
// longer path.
#pragma once

#include <cstddef>

// The finished frame's name, in the folder of the program that draws it, and that of the
// prepared day map beside it from which every frame is drawn.
inline constexpr char kFrameFileName[] = "current.bmp";
inline constexpr char kFrameDayMapFileName[] = "current-day.bmp";

inline constexpr std::size_t kFramePathCapacity = 260;  // characters, terminator included

// Whether GetFullPathName, given a buffer of kFramePathCapacity characters, delivered a path:
// it reports 0 for a failure, the length without the terminator when the path fits, and the
// size the path needs (terminator included) when it does not, which is kFramePathCapacity or
// more.
constexpr bool FullPathFits(unsigned long reportedLength) {
    return reportedLength != 0 && reportedLength < kFramePathCapacity;
}

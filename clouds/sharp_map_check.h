// What a downloaded monthly map must be before it is installed, since it comes from a server the
// program does not control and would otherwise stand in the desktop's picture for a month: a
// colour JPEG of exactly 5400 x 2700 pixels, of a size that such a map has, whole, and with land
// and sea where the Earth has them at a few known places, so that a shifted, mirrored or wrong
// map is refused. Two months' files are known to the byte and are checked by their SHA-256.
#pragma once

#include <cstdint>

inline constexpr int kSharpMapWidth = 5400;
inline constexpr int kSharpMapHeight = 2700;
// The monthly files measure about 2.3 to 2.6 MB; anything outside this window is something else.
inline constexpr std::uint64_t kMinSharpMapBytes = 1'500'000;
inline constexpr std::uint64_t kMaxSharpMapBytes = 4'000'000;

enum class SharpMapVerdict {
    Accepted,
    Unreadable,      // the file cannot be read
    WrongLength,     // outside the window, or not the known month's length
    WrongDigest,     // a known month whose bytes differ
    NotAJpeg,        // no JPEG's markers
    WrongSize,       // not 5400 x 2700 pixels, by the markers or by the decoder
    NotColour,       // not three colour components
    Cut,             // no end marker: the body was cut off
    Undecodable,     // the decoder refuses it
    WrongPlaces,     // land or sea missing at a known place
};

// The verdict on the file as month's map (1..12).
SharpMapVerdict CheckSharpMap(const char* file, int month);

// Whether a month's map installed earlier still reads back as the map that was installed, by
// the checks of its bytes alone (length, digest, markers, end): a start can afford to read the
// maps, not to decode them all.
bool InstalledSharpMapReadsBack(const char* file, int month);

// The word for a verdict, for logs and test messages.
const char* SharpMapVerdictText(SharpMapVerdict verdict);

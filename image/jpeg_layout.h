// What a JPEG file's markers say before any pixel is decoded: the frame's size and number of
// colour components, and whether the file ends where a JPEG ends. A download can be refused on
// these alone, before a decoder spends tens of megabytes on it; and since decoders fill a cut
// file's missing rows with grey rather than fail, the end marker is the surest sign of a whole
// file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

struct JpegLayout {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grey, 3 colour (YCbCr or RGB), 4 CMYK
    // The last two bytes are the end-of-image marker.
    bool endsWithEndMarker = false;

    bool operator==(const JpegLayout&) const = default;
};

// Walks the markers from the start-of-image marker to the first start of scan, reading the
// first start-of-frame segment (any of the baseline, extended, progressive, lossless and
// arithmetic-coded kinds). Nothing when data is no JPEG: no start-of-image marker, a segment
// that runs past the end or is shorter than its fields, a scan before any frame, or no scan.
std::optional<JpegLayout> ReadJpegLayout(std::span<const std::uint8_t> data);

// Expands the run-length encodings of 8- and 4-bit bitmap files into plain rows.
//
// The stream is untrusted, and the decoder never writes outside the rows it is given whatever the
// stream says. What it does with a stream that does not fit the picture:
// - a run or literal that goes past the end of a row is cut at the row's end;
// - a delta or end of line that leads past the last row moves the position there, and whatever
//   follows writes nothing;
// - a stream that ends without the end-of-bitmap marker, or in the middle of a code, keeps what
//   it decoded up to there.
// Pixels that the stream does not reach keep their value (the caller's zeros: colour index 0).
// A damaged stream so still yields the part of the picture it holds, which is what a viewer
// would show of it.
// The work is bounded by the stream's length and the picture's size together: a run that
// reaches past the picture costs no more than one that fits, however often the stream repeats
// it.
#pragma once

#include <cstdint>
#include <span>

#include "image/dib_layout.h"

// The rows to decode into: rowCount rows of stride bytes, first stored row (the bottom row of
// the picture) first, each holding width pixels of the encoding's depth.
struct RleRows {
    std::span<std::uint8_t> pixels;
    std::uint64_t stride;
    std::uint64_t width;
    std::uint64_t rowCount;
};

// Decodes an RLE8 (kCompressionRle8) or RLE4 (kCompressionRle4) stream into rows. True when the
// stream ended with its end-of-bitmap marker; false when it ended early (what it held is
// decoded all the same), or when the compression is neither RLE kind or the rows are smaller
// than they say (nothing is written then).
bool DecodeRle(std::span<const std::uint8_t> stream, std::uint32_t compression, const RleRows& rows);

// Whether a bitmap file the program wrote reads back whole, told from its headers and its length
// without reading its pixels, so that a start can look over files of a frame's size at little
// cost. A file of zeros (what a power cut can leave under a name whose data never reached the
// disk), one cut short, and one with stray bytes after its rows do not.
#pragma once

#include <optional>

#include "image/pixel_buffer.h"

// The size of the bitmap, when the file is a whole uncompressed bitmap: "BM", a header that
// ComputeDibLayout takes, plain or bit-field pixels, and exactly its rows after header, masks and
// colour table, nothing missing and nothing after them. Nothing otherwise.
std::optional<ImageSize> WholeBitmapFileSize(const char* name);

// Making new, blank images: the renderer's output frames, and bitmaps for tests.
#pragma once

#include <cstdint>

#include "image/dib_image.h"

// Fills an empty image with a width x height bitmap of the given depth (1, 2, 4, 8, 16, 24 or
// 32), every pixel zero. At 8 bits or less it gets a colour table of 2^bitCount entries, all
// zero, for the caller to set. topDown stores the top row first. withMasks (16 and 32 bits only)
// makes a bit-field bitmap with the default masks written after the header: at 32 bits,
// bottom-up, that is the form a screen-compatible 32-bit GDI bitmap converts to.
// Result 1, or 0 with the last-error code set.
int CreateDib(DibImage& image, int width, int height, std::uint16_t bitCount, bool topDown,
              bool withMasks = false);

// What CreateDib makes up to the pixel rows: the header (its image size filled in), the masks and
// a zeroed colour table; the rows follow at the block's end. Empty, with the last-error code
// set, for arguments CreateDib refuses or when memory runs out.
DibBlock NewDibHeader(int width, int height, std::uint16_t bitCount, bool topDown, bool withMasks);

// A zero-filled block laid out for header, with the header written at its start and its image
// size filled in from the layout as GDI fills it; masks and colour table are the caller's to
// write. Empty, with the last-error code set, when the header is refused or memory runs out.
DibBlock NewDibBlock(BitmapInfoHeader header);

// PixelBuffer: the 32-bit picture that pixel processors read and write, and the checked size
// arithmetic every allocation of one goes through.
//
// Rows are stored top row first, each exactly width pixels long with no padding, so pixel (x, y)
// is at index y * width + x. A pixel value holds blue in bits 0-7, green in 8-15 and red in
// 16-23; on the little-endian machines the program runs on that is the byte order blue, green,
// red, fourth byte, which is the layout GDI hands out for 32-bit device-independent bits. The
// fourth byte carries no meaning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/dib_image.h"

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// The largest picture any buffer may hold: 2^28 pixels (1 GiB). Far beyond the maps the program
// draws, yet small enough that every byte offset fits a 32-bit GDI size and that a hostile file
// header cannot ask for an allocation the machine will not survive.
constexpr std::uint64_t kMaxPixelBufferPixels = std::uint64_t{1} << 28;

// width x height, or nothing when either is negative or the product exceeds the limit.
std::optional<std::size_t> CheckedPixelCount(int width, int height);

// The longest side of a picture that is only ever made a few rows at a time and never held
// whole: a map scaled to cover a very wide desktop, of which the rows the desktop shows are kept.
// Such a picture may pass the limit above; its rows may not, and each side stays small enough
// for a table of its coordinates.
constexpr int kMaxRowWisePictureSide = 1 << 20;

// Whether width x height is such a picture's size: both sides from 0 to the longest.
bool IsRowWisePictureSize(ImageSize size);

// True when the buffer's fields agree: a size within the limit and exactly that many pixels.
bool IsConsistent(const PixelBuffer& buffer);

// The 32-bit pixel value of a colour value (red in its low byte): blue, green, red, fourth byte 0.
std::uint32_t PixelOfColour(ColourValue colour);
ColourValue ColourOfPixel(std::uint32_t pixel);

// Fills pixels with the background colour the way fresh processor buffers are prepared: every
// byte 0 for black (0), every byte 255 for white (0xFFFFFF) and for "no background" (kNoPixel),
// and otherwise the colour's blue, green and red with a zero fourth byte.
void FillWithBackground(std::span<std::uint32_t> pixels, ColourValue background);

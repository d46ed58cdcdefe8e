// The packed device-independent bitmap layout: a 40-byte information header, optional colour
// masks, an optional colour table, then the pixel rows. This is the layout of bitmap files
// (after their 14-byte file header) and of the images the renderer works on.
//
// Every size here is computed in 64 bits from the header's fields and checked: a header from a
// file is untrusted input, and a size that overflows or is absurd must refuse the bitmap rather
// than lead to a short allocation or a read past the end of the data.
#pragma once

#include <cstdint>
#include <optional>

// Same bytes as Windows' BITMAPINFOHEADER (little-endian, no padding).
struct BitmapInfoHeader {
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;  // positive: bottom row stored first; negative: top row first
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t sizeImage;
    std::int32_t xPelsPerMeter;
    std::int32_t yPelsPerMeter;
    std::uint32_t clrUsed;
    std::uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// One colour-table entry, as stored: blue, green, red, reserved.
struct RgbQuad {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t reserved;
};
static_assert(sizeof(RgbQuad) == 4);

enum DibCompression : std::uint32_t {
    kCompressionRgb = 0,
    kCompressionRle8 = 1,
    kCompressionRle4 = 2,
    kCompressionBitfields = 3,
};

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaskBytes = 12;  // three 32-bit masks after the header

// Sizes that follow from a header.
struct DibLayout {
    std::uint64_t stride;              // bytes per stored row, a multiple of 4
    std::uint64_t rowCount;            // |height|
    std::uint64_t rowBytes;            // stride x rowCount: what the row table covers
    std::uint64_t imageSize;           // header's sizeImage when nonzero, else rowBytes
    std::uint64_t maskBytes;           // 12 with BI_BITFIELDS, else 0
    std::uint64_t colourTableEntries;  // clrUsed, or 2^depth when that is 0 and depth <= 8
    std::uint64_t pixelOffset;         // header + masks + colour table
    std::uint64_t totalSize;           // pixelOffset + imageSize: what a bitmap file stores
    // What a block must hold: pixelOffset + the larger of imageSize and rowBytes. A header whose
    // image size is smaller than its rows (an RLE stream, or a lie) must still have every row
    // present, or pixel access through the row table would reach past the block.
    std::uint64_t heldSize;
};

// No picture this program meets comes near these; they bound what an untrusted header can make
// us allocate (the block, and the row table of one pointer per row).
constexpr std::uint64_t kMaxDibBytes = std::uint64_t{1} << 30;
constexpr std::uint64_t kMaxDibRows = std::uint64_t{1} << 20;

// The layout of a header, or nothing when the header is not one this toolkit can hold: a header
// size other than 40, a negative width, no depth, a depth between the standard ones (pixel
// access at the next standard depth would run past the end of each stored row), a compression
// other than none, RLE or bit fields, or sizes beyond the limits above.
std::optional<DibLayout> ComputeDibLayout(const BitmapInfoHeader& header);

// Bit count x planes raised to the next of 1, 2, 4, 8, 16, 24 and 32 (0, no depth, stays 0).
std::uint16_t NormaliseDepth(std::uint32_t bitsTimesPlanes);

// Channel masks of 16-, 24- and 32-bit pixels.
struct ChannelMasks {
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
};

// The masks a layout without masks of its own implies: 5-5-5 at 16 bits, 8-8-8 at 24 and 32,
// none at 8 bits or less.
ChannelMasks DefaultChannelMasks(std::uint16_t depth);

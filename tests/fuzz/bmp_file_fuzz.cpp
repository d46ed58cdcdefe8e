// The whole-file bitmap reader, with palettes, bit-field masks and RLE pixels. Whatever loads
// must have the size its header gives, keep every row inside its block, answer every pixel
// inside the picture and none outside, take back the colours it hands out, and save and load
// again as the same picture.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "image/bmp_row_file.h"
#include "image/dib_image.h"
#include "image/dib_pixels.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/picture_budget.h"

namespace {

void CheckRowsInsideBlock(const DibImage& image) {
    const DibLayout layout = *ComputeDibLayout(*image.Header());
    const std::uint8_t* pixels = image.Block().data() + image.PixelDataOffset();
    const std::uint8_t* end = image.Block().data() + image.Block().size();
    for (int y = 0; y < image.Height(); ++y) {
        FUZZ_CHECK(image.Row(y) >= pixels && image.Row(y) + layout.stride <= end);
    }
    FUZZ_CHECK(image.Row(-1) == nullptr && image.Row(image.Height()) == nullptr);
}

// Reading a colour and writing it back changes nothing, where colours map to pixels one to one:
// palette images (the nearest entry to an entry's own colour is that colour) and plain 24 and
// 32 bits. Masks may overlap or leave gaps, so masked pixels only have to read as a colour.
void CheckColourAt(DibImage& image, int x, int y) {
    const ColourValue colour = image.GetPixelColour(x, y);
    const std::uint32_t raw = image.GetRawPixel(x, y);
    const std::uint16_t depth = image.BitsPerPixel();
    FUZZ_CHECK(raw != kNoPixel && (depth >= 24 || raw < (1u << depth)));
    const bool masked = depth == 16 || (depth == 32 && image.Header()->compression == kCompressionBitfields);
    if (colour == kNoPixel) {
        FUZZ_CHECK(depth <= 8 && raw >= image.PaletteEntries());
        return;
    }
    FUZZ_CHECK(colour <= 0xFFFFFFu);
    if (!masked) {
        FUZZ_CHECK(image.SetPixelColour(x, y, colour) == 1 && image.GetPixelColour(x, y) == colour);
    }
}

void CheckOutside(DibImage& image) {
    const int w = image.Width(), h = image.Height();
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {w, 0}, {0, h}, {w, h}}) {
        FUZZ_CHECK(image.GetPixelColour(x, y) == kNoPixel && image.GetRawPixel(x, y) == kNoPixel);
        FUZZ_CHECK(image.SetPixelColour(x, y, 0) == 0 && image.SetRawPixel(x, y, 0) == 0);
    }
}

std::vector<std::uint8_t> SavedBytes(const DibImage& image) {
    const auto fileHeader = BmpFileHeader(image.PackedSize(), image.PixelDataOffset());
    std::vector<std::uint8_t> bytes(fileHeader.begin(), fileHeader.end());
    bytes.insert(bytes.end(), image.Block().begin(), image.Block().begin() + image.PackedSize());
    return bytes;
}

void CheckSamePicture(const DibImage& a, const DibImage& b, std::span<const int> columns,
                      std::span<const int> rows) {
    FUZZ_CHECK(a.Width() == b.Width() && a.Height() == b.Height());
    for (const int y : rows) {
        for (const int x : columns) {
            FUZZ_CHECK(a.GetPixelColour(x, y) == b.GetPixelColour(x, y));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WithinPictureBudget(std::span(data, size))) {
        return -1;
    }
    DibImage image;
    const int read = image.ReadBmpBytes(std::vector<std::uint8_t>(data, data + size));
    BitmapInfoHeader claimed{};
    FUZZ_CHECK(size >= kBmpFileHeaderSize + sizeof claimed || read == 0);
    if (read != 1) {
        FUZZ_CHECK(!image.HasPixels());
        return 0;
    }
    std::memcpy(&claimed, data + kBmpFileHeaderSize, sizeof claimed);
    FUZZ_CHECK(image.Width() == claimed.width);
    FUZZ_CHECK(static_cast<std::int64_t>(image.Height()) == std::abs(std::int64_t{claimed.height}));
    FUZZ_CHECK(image.BitsPerPixel() == NormaliseDepth(std::uint32_t{claimed.bitCount} * claimed.planes));
    FUZZ_CHECK(image.Header()->compression != kCompressionRle8 &&
               image.Header()->compression != kCompressionRle4);
    CheckRowsInsideBlock(image);
    CheckOutside(image);

    const std::vector<int> columns = SampledPositions(image.Width());
    const std::vector<int> rows = SampledPositions(image.Height());
    // Every pixel of a small picture: the conversion the decoder hands on.
    PixelBuffer pixels;
    constexpr std::uint64_t kWholePicturePixels = 1 << 16;
    if (std::uint64_t(image.Width()) * std::uint64_t(image.Height()) <= kWholePicturePixels &&
        PixelsFromDib(image, pixels) == 1) {
        FUZZ_CHECK(pixels.width == image.Width() && pixels.height == image.Height());
        FUZZ_CHECK(pixels.pixels.size() == std::size_t(pixels.width) * std::size_t(pixels.height));
    }
    for (const int y : rows) {
        for (const int x : columns) {
            CheckColourAt(image, x, y);
        }
    }

    DibImage reloaded;
    FUZZ_CHECK(reloaded.ReadBmpBytes(SavedBytes(image)) == 1);
    CheckSamePicture(image, reloaded, columns, rows);
    if (image.BitsPerPixel() == 2) {
        FUZZ_CHECK(reloaded.WidenTwoBitToFourBit() == 1 && reloaded.BitsPerPixel() == 4);
        CheckSamePicture(image, reloaded, columns, rows);
    }
    return 0;
}

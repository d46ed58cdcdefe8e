#include "image/pixel_buffer.h"

#include <algorithm>

bool IsRowWisePictureSize(ImageSize size) {
    return size.width >= 0 && size.height >= 0 && size.width <= kMaxRowWisePictureSide &&
           size.height <= kMaxRowWisePictureSide;
}

std::optional<std::size_t> CheckedPixelCount(int width, int height) {
    if (width < 0 || height < 0) {
        return std::nullopt;
    }
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (count > kMaxPixelBufferPixels) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(count);
}

bool IsConsistent(const PixelBuffer& buffer) {
    const std::optional<std::size_t> count = CheckedPixelCount(buffer.width, buffer.height);
    return count && *count == buffer.pixels.size();
}

std::uint32_t PixelOfColour(ColourValue colour) {
    return ((colour >> 16) & 0xFFu) | (colour & 0xFF00u) | ((colour & 0xFFu) << 16);
}

// Swapping red and blue is its own inverse.
ColourValue ColourOfPixel(std::uint32_t pixel) {
    return PixelOfColour(pixel);
}

void FillWithBackground(std::span<std::uint32_t> pixels, ColourValue background) {
    std::uint32_t fill = PixelOfColour(background);
    if (background == 0xFFFFFFu || background == kNoPixel) {
        fill = 0xFFFFFFFFu;
    }
    std::fill(pixels.begin(), pixels.end(), fill);
}

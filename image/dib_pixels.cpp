#include "image/dib_pixels.h"

#include <cstring>
#include <new>
#include <utility>

#include "image/dib_factory.h"
#include "image/last_error.h"

int DibFromPixels(DibImage& image, const PixelBuffer& pixels) {
    if (!IsConsistent(pixels)) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (!CreateDib(image, pixels.width, pixels.height, 32, false, true)) {
        return 0;
    }
    const std::size_t rowBytes = std::size_t(pixels.width) * sizeof(std::uint32_t);
    for (int y = 0; y < pixels.height; ++y) {
        std::memcpy(image.Row(y), pixels.pixels.data() + std::size_t(y) * pixels.width, rowBytes);
    }
    return 1;
}

int PixelsFromDib(const DibImage& image, PixelBuffer& pixels) {
    if (!image.HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    const std::optional<std::size_t> count = CheckedPixelCount(image.Width(), image.Height());
    if (!count) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    try {
        PixelBuffer result{image.Width(), image.Height(), std::vector<std::uint32_t>(*count)};
        std::uint32_t* out = result.pixels.data();
        for (int y = 0; y < result.height; ++y) {
            for (int x = 0; x < result.width; ++x) {
                const ColourValue colour = image.GetPixelColour(x, y);
                if (colour == kNoPixel) {
                    SetImageLastError(LastError::InvalidParameter);
                    return 0;
                }
                *out++ = PixelOfColour(colour);
            }
        }
        pixels = std::move(result);
        return 1;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
}

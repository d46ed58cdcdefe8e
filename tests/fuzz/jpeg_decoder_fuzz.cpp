// The native JPEG path: our wrapper around the library's decoder. A picture that decodes has the
// size its header gives, one pixel for each place, zero fourth bytes, and grey when its header
// says grey; a header beyond the pixel limit is refused before anything is allocated.
#include <turbojpeg.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "image/jpeg_decoder.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Pictures the decoder would accept but that take long to fill; a smaller one of the same shape
// takes the same paths through the wrapper.
constexpr std::uint64_t kFuzzPicturePixels = std::uint64_t{1} << 22;

struct Header {
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
};

std::optional<Header> ReadHeader(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<void, int (*)(tjhandle)> decompressor(tjInitDecompress(), tjDestroy);
    Header header;
    if (!decompressor ||
        tjDecompressHeader3(decompressor.get(), data, static_cast<unsigned long>(size), &header.width,
                            &header.height, &header.subsampling, &header.colourSpace) != 0) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<Header> header = size != 0 ? ReadHeader(data, size) : std::nullopt;
    if (header) {
        const std::uint64_t pixels =
            std::uint64_t(std::max(header->width, 0)) * std::uint64_t(std::max(header->height, 0));
        if (pixels > kFuzzPicturePixels && pixels <= kMaxPixelBufferPixels) {
            return -1;
        }
    }
    const std::optional<PixelBuffer> picture = DecodeJpeg(std::span(data, size));
    if (!picture) {
        return 0;
    }
    FUZZ_CHECK(header && picture->width == header->width && picture->height == header->height);
    FUZZ_CHECK(IsConsistent(*picture) && !picture->pixels.empty());
    FUZZ_CHECK(header->colourSpace != TJCS_CMYK && header->colourSpace != TJCS_YCCK);
    const bool grey = header->colourSpace == TJCS_GRAY;
    for (const std::uint32_t pixel : picture->pixels) {
        FUZZ_CHECK((pixel >> 24) == 0);
        FUZZ_CHECK(!grey ||
                   ((pixel & 0xFF) == ((pixel >> 8) & 0xFF) && (pixel & 0xFF) == ((pixel >> 16) & 0xFF)));
    }
    return 0;
}

#include "image/jpeg_decoder.h"

#include <turbojpeg.h>

#include <memory>
#include <new>

#include "image/last_error.h"

namespace {

struct DecompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, DecompressorDeleter>;

// TurboJPEG takes sizes as unsigned long, which holds any size_t on the systems built natively.
static_assert(sizeof(unsigned long) >= sizeof(std::size_t));

}  // namespace

std::optional<PixelBuffer> DecodeJpeg(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    const Decompressor decompressor(tjInitDecompress());
    if (!decompressor) {
        SetImageLastError(LastError::OutOfMemory);
        return std::nullopt;
    }
    const unsigned long size = static_cast<unsigned long>(data.size());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decompressor.get(), data.data(), size, &width, &height, &subsampling,
                            &colourSpace) != 0) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    const std::optional<std::size_t> count = CheckedPixelCount(width, height);
    if (width < 1 || height < 1 || !count || colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    PixelBuffer picture;
    try {
        picture = PixelBuffer{width, height, std::vector<std::uint32_t>(*count)};
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return std::nullopt;
    }
    // Warnings stop the decoder; a progressive file with an absurd number of scans (which costs
    // time, not memory) is refused as well.
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(decompressor.get(), data.data(), size,
                      reinterpret_cast<unsigned char*>(picture.pixels.data()), width, width * 4, height,
                      TJPF_BGRX, flags) != 0) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    // The decoder sets the pad byte to 255; the program's pixels carry 0 there.
    for (std::uint32_t& pixel : picture.pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return picture;
}

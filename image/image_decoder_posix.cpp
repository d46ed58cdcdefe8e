#include "image/image_decoder.h"

#include <cstdint>
#include <vector>

#include "image/dib_image.h"
#include "image/dib_pixels.h"
#include "image/file_io.h"
#include "image/image_type.h"
#include "image/jpeg_decoder.h"
#include "image/last_error.h"

namespace {

// No picture the program loads comes near this; a larger file is not read into memory.
constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{256} << 20;

std::optional<PixelBuffer> DecodeBitmapFile(const char* name) {
    DibImage image;
    PixelBuffer pixels;
    if (!image.ReadBmpFile(name) || !PixelsFromDib(image, pixels)) {
        return std::nullopt;
    }
    return pixels;
}

std::optional<PixelBuffer> DecodeJpegFile(const char* name) {
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(name, kMaxPictureFileBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeJpeg(*bytes);
}

}  // namespace

std::optional<PixelBuffer> DecodeImageFile(const char* name) {
    if (name == nullptr) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    switch (ImageTypeOf(name)) {
        case kImageBitmap:
            return DecodeBitmapFile(name);
        case kImageJpeg:
            return DecodeJpegFile(name);
        case kImageIcon:
        case kImageGif:
        case kImageUnsupported:
            break;
    }
    return std::nullopt;
}

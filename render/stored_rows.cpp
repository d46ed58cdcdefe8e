#include "render/stored_rows.h"

#include <cstring>

#include "image/pixel_buffer.h"

bool IsStoredPixelLayout(const DibImage& image) {
    if (!image.HasPixels() || image.BitsPerPixel() != 32) {
        return false;
    }
    const std::uint32_t compression = image.Header()->compression;
    return compression == kCompressionRgb ||
           (compression == kCompressionBitfields && image.RedMask() == 0xFF0000u &&
            image.GreenMask() == 0xFF00u && image.BlueMask() == 0xFFu);
}

void StoredRowReader::Open(const DibImage& image, int frameWidth) {
    image_ = &image;
    frameWidth_ = frameWidth;
    lendsRows_ = IsStoredPixelLayout(image) && image.Width() >= frameWidth;
    // Rows below a lending image's bottom are converted too (to white).
    converted_.resize(4 * static_cast<std::size_t>(frameWidth));
}

const std::uint8_t* StoredRowReader::Row(int y) {
    if (image_ == nullptr) {
        return nullptr;
    }
    if (lendsRows_ && y < image_->Height()) {
        return image_->Row(y);
    }
    for (int x = 0; x < frameWidth_; ++x) {
        const std::uint32_t pixel = PixelOfColour(image_->GetPixelColour(x, y));
        std::memcpy(converted_.data() + 4 * static_cast<std::size_t>(x), &pixel, sizeof pixel);
    }
    return converted_.data();
}

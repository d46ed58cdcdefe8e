#include "image/dib_factory.h"

#include <cstring>
#include <new>
#include <utility>

#include "image/last_error.h"

namespace {

bool IsStandardDepth(std::uint16_t bitCount) {
    return bitCount != 0 && NormaliseDepth(bitCount) == bitCount;
}

}  // namespace

int CreateDib(DibImage& image, int width, int height, std::uint16_t bitCount, bool topDown, bool withMasks) {
    if (image.HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    if (width <= 0 || height <= 0 || !IsStandardDepth(bitCount) ||
        (withMasks && bitCount != 16 && bitCount != 32)) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    BitmapInfoHeader header{};
    header.size = kInfoHeaderSize;
    header.width = width;
    header.height = topDown ? -height : height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.compression = withMasks ? kCompressionBitfields : kCompressionRgb;
    DibBlock block = NewDibBlock(header);
    if (block.empty()) {
        return 0;
    }
    if (withMasks) {
        const ChannelMasks masks = DefaultChannelMasks(bitCount);
        std::memcpy(block.data() + kInfoHeaderSize, &masks, sizeof masks);
    }
    return image.Attach(std::move(block));
}

DibBlock NewDibBlock(BitmapInfoHeader header) {
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout) {
        SetImageLastError(LastError::InvalidParameter);
        return {};
    }
    header.sizeImage = static_cast<std::uint32_t>(layout->rowBytes);
    DibBlock block;
    try {
        block.resize(layout->totalSize);
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return {};
    }
    std::memcpy(block.data(), &header, sizeof header);
    return block;
}

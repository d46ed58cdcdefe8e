#include "image/dib_factory.h"

#include <cstring>
#include <new>
#include <utility>

#include "image/last_error.h"

namespace {

bool IsStandardDepth(std::uint16_t bitCount) {
    return bitCount != 0 && NormaliseDepth(bitCount) == bitCount;
}

// A zero-filled block of `size` bytes (at least a header) that starts with the header, its image
// size filled in from the layout as GDI fills it; empty when the header is refused or memory
// runs out.
DibBlock BlockStartingWith(BitmapInfoHeader header, const DibLayout& layout, std::uint64_t size) {
    header.sizeImage = static_cast<std::uint32_t>(layout.rowBytes);
    DibBlock block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return {};
    }
    std::memcpy(block.data(), &header, sizeof header);
    return block;
}

}  // namespace

int CreateDib(DibImage& image, int width, int height, std::uint16_t bitCount, bool topDown, bool withMasks) {
    if (image.HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    DibBlock block = NewDibHeader(width, height, bitCount, topDown, withMasks);
    if (block.empty()) {
        return 0;
    }
    BitmapInfoHeader header;
    std::memcpy(&header, block.data(), sizeof header);
    try {
        block.resize(ComputeDibLayout(header)->totalSize);
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
    return image.Attach(std::move(block));
}

DibBlock NewDibHeader(int width, int height, std::uint16_t bitCount, bool topDown, bool withMasks) {
    if (width <= 0 || height <= 0 || !IsStandardDepth(bitCount) ||
        (withMasks && bitCount != 16 && bitCount != 32)) {
        SetImageLastError(LastError::InvalidParameter);
        return {};
    }
    BitmapInfoHeader header{};
    header.size = kInfoHeaderSize;
    header.width = width;
    header.height = topDown ? -height : height;
    header.planes = 1;
    header.bitCount = bitCount;
    header.compression = withMasks ? kCompressionBitfields : kCompressionRgb;
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout) {
        SetImageLastError(LastError::InvalidParameter);
        return {};
    }
    DibBlock block = BlockStartingWith(header, *layout, layout->pixelOffset);
    if (!block.empty() && withMasks) {
        const ChannelMasks masks = DefaultChannelMasks(bitCount);
        std::memcpy(block.data() + kInfoHeaderSize, &masks, sizeof masks);
    }
    return block;
}

DibBlock NewDibBlock(BitmapInfoHeader header) {
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout) {
        SetImageLastError(LastError::InvalidParameter);
        return {};
    }
    return BlockStartingWith(header, *layout, layout->totalSize);
}

#include "image/dib_layout.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kStandardDepths[] = {1, 2, 4, 8, 16, 24, 32};

}  // namespace

std::uint16_t NormaliseDepth(std::uint32_t bitsTimesPlanes) {
    if (bitsTimesPlanes == 0) {
        return 0;
    }
    for (std::uint16_t depth : kStandardDepths) {
        if (bitsTimesPlanes <= depth) {
            return depth;
        }
    }
    return 32;
}

ChannelMasks DefaultChannelMasks(std::uint16_t depth) {
    if (depth == 16) {
        return {0x7C00, 0x03E0, 0x001F};
    }
    if (depth == 24 || depth == 32) {
        return {0xFF0000, 0x00FF00, 0x0000FF};
    }
    return {0, 0, 0};
}

std::optional<DibLayout> ComputeDibLayout(const BitmapInfoHeader& header) {
    if (header.size != kInfoHeaderSize || header.width < 0 || header.compression > kCompressionBitfields) {
        return std::nullopt;
    }
    // At most 65535 x 65535, so the product and the depth fit 32 bits.
    const std::uint32_t bitsTimesPlanes = std::uint32_t{header.bitCount} * header.planes;
    const std::uint16_t depth = NormaliseDepth(bitsTimesPlanes);
    // Beyond 32 bits the depth is lowered, which keeps access inside the (wider) stored row.
    if (depth == 0 || depth > bitsTimesPlanes) {
        return std::nullopt;
    }

    DibLayout layout{};
    // Below 2^32 x 2^31: no overflow in 64 bits.
    layout.stride = ((std::uint64_t{bitsTimesPlanes} * static_cast<std::uint64_t>(header.width) + 31) / 8) &
                    ~std::uint64_t{3};
    layout.rowCount = header.height < 0 ? static_cast<std::uint64_t>(-std::int64_t{header.height})
                                        : static_cast<std::uint64_t>(header.height);
    if (layout.stride > kMaxDibBytes || layout.rowCount > kMaxDibRows) {
        return std::nullopt;
    }
    layout.rowBytes = layout.stride * layout.rowCount;  // at most 2^50
    layout.imageSize = header.sizeImage != 0 ? header.sizeImage : layout.rowBytes;
    layout.maskBytes = header.compression == kCompressionBitfields ? kMaskBytes : 0;
    layout.colourTableEntries = header.clrUsed;
    if (layout.colourTableEntries == 0 && depth <= 8) {
        layout.colourTableEntries = std::uint64_t{1} << depth;
    }
    layout.pixelOffset = kInfoHeaderSize + layout.maskBytes + sizeof(RgbQuad) * layout.colourTableEntries;
    layout.totalSize = layout.pixelOffset + layout.imageSize;
    layout.heldSize = layout.pixelOffset + std::max(layout.imageSize, layout.rowBytes);
    if (layout.heldSize > kMaxDibBytes) {
        return std::nullopt;
    }
    return layout;
}

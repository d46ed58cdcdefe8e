// Ownership of the packed block: attaching (with every check that makes later pixel access safe),
// detaching, copying and the values derived from the header.
#include "image/dib_image.h"

#include <bit>
#include <cstring>
#include <new>
#include <utility>

#include "image/last_error.h"

static_assert(std::endian::native == std::endian::little, "the packed layout is little-endian");

namespace {

struct ChannelPosition {
    std::uint16_t shift;
    std::uint16_t loss;
};

// Shift = the zero bits below the mask, loss = 8 minus its run of one bits. A mask wider than
// 8 bits has no such loss; its channel is read from (and written to) the top 8 bits of the run.
ChannelPosition PositionOfMask(std::uint32_t mask) {
    if (mask == 0) {
        return {0, 0};
    }
    const int shift = std::countr_zero(mask);
    const int run = std::countr_one(mask >> shift);
    if (run > 8) {
        return {static_cast<std::uint16_t>(shift + run - 8), 0};
    }
    return {static_cast<std::uint16_t>(shift), static_cast<std::uint16_t>(8 - run)};
}

}  // namespace

DibImage::DibImage(DibImage&& other) noexcept {
    *this = std::move(other);
}

DibImage& DibImage::operator=(DibImage&& other) noexcept {
    if (this != &other) {
        // Moving a vector keeps its storage, so the pointers into the block stay valid.
        block_ = std::move(other.block_);
        layout_ = other.layout_;
        header_ = other.header_;
        bits_ = other.bits_;
        rows_ = std::move(other.rows_);
        colourTable_ = other.colourTable_;
        bitsPerPixel_ = other.bitsPerPixel_;
        paletteEntries_ = other.paletteEntries_;
        redMask_ = other.redMask_;
        greenMask_ = other.greenMask_;
        blueMask_ = other.blueMask_;
        redShift_ = other.redShift_;
        greenShift_ = other.greenShift_;
        blueShift_ = other.blueShift_;
        redLoss_ = other.redLoss_;
        greenLoss_ = other.greenLoss_;
        blueLoss_ = other.blueLoss_;
        other.Reset();
    }
    return *this;
}

void DibImage::Reset() {
    block_ = DibBlock();
    layout_ = DibLayout{};
    header_ = nullptr;
    bits_ = nullptr;
    rows_ = std::vector<std::uint8_t*>();
    colourTable_ = nullptr;
    bitsPerPixel_ = 0;
    paletteEntries_ = 0;
    redMask_ = greenMask_ = blueMask_ = 0;
    redShift_ = greenShift_ = blueShift_ = 0;
    redLoss_ = greenLoss_ = blueLoss_ = 0;
}

int DibImage::Attach(DibBlock block) {
    if (block.empty()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    if (HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    if (block.size() < kInfoHeaderSize) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    BitmapInfoHeader header;
    std::memcpy(&header, block.data(), sizeof header);
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout || block.size() < layout->heldSize) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    std::vector<std::uint8_t*> rows;
    try {
        rows.resize(layout->rowCount);
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }

    block_ = std::move(block);
    layout_ = *layout;
    header_ = reinterpret_cast<const BitmapInfoHeader*>(block_.data());
    bits_ = block_.data() + layout_.pixelOffset;
    colourTable_ = layout_.colourTableEntries != 0
                       ? reinterpret_cast<RgbQuad*>(block_.data() + kInfoHeaderSize + layout_.maskBytes)
                       : nullptr;
    paletteEntries_ = static_cast<std::uint32_t>(layout_.colourTableEntries);
    bitsPerPixel_ = NormaliseDepth(std::uint32_t{header.bitCount} * header.planes);
    TakeMasks(layout_);

    rows_ = std::move(rows);
    const bool bottomUp = header.height > 0;
    for (std::uint64_t i = 0; i < layout_.rowCount; ++i) {
        const std::uint64_t stored = bottomUp ? layout_.rowCount - 1 - i : i;
        rows_[i] = bits_ + stored * layout_.stride;
    }
    return 1;
}

void DibImage::TakeMasks(const DibLayout& layout) {
    ChannelMasks masks = DefaultChannelMasks(bitsPerPixel_);
    if (layout.maskBytes != 0) {
        std::uint8_t* slots = block_.data() + kInfoHeaderSize;
        ChannelMasks stored;
        std::memcpy(&stored, slots, sizeof stored);
        const bool hasDefaults = masks.red != 0;
        if (stored.red == 0 && stored.green == 0 && hasDefaults) {
            // What a system that left the masks to us means; writing them keeps the block
            // self-describing for GDI and for the file it may be saved as.
            std::memcpy(slots, &masks, sizeof masks);
        } else {
            masks = stored;
        }
    }
    redMask_ = masks.red;
    greenMask_ = masks.green;
    blueMask_ = masks.blue;
    const ChannelPosition red = PositionOfMask(masks.red);
    const ChannelPosition green = PositionOfMask(masks.green);
    const ChannelPosition blue = PositionOfMask(masks.blue);
    redShift_ = red.shift;
    redLoss_ = red.loss;
    greenShift_ = green.shift;
    greenLoss_ = green.loss;
    blueShift_ = blue.shift;
    blueLoss_ = blue.loss;
}

DibBlock DibImage::Detach() {
    DibBlock block = std::move(block_);
    Reset();
    return block;
}

void DibImage::Destroy() {
    Reset();
}

int DibImage::Copy(const DibImage& source) {
    if (HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    if (!source.HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    DibBlock block;
    try {
        block = source.block_;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
    return Attach(std::move(block));
}

const BitmapInfoHeader* DibImage::Header() const {
    return header_;
}

int DibImage::Width() const {
    return header_ != nullptr ? header_->width : 0;
}

int DibImage::Height() const {
    return static_cast<int>(rows_.size());
}

std::uint64_t DibImage::PixelDataOffset() const {
    return layout_.pixelOffset;
}

std::uint64_t DibImage::PackedSize() const {
    return layout_.totalSize;
}

const std::uint8_t* DibImage::Row(int y) const {
    return y >= 0 && static_cast<std::size_t>(y) < rows_.size() ? rows_[y] : nullptr;
}

std::uint8_t* DibImage::Row(int y) {
    return y >= 0 && static_cast<std::size_t>(y) < rows_.size() ? rows_[y] : nullptr;
}

#include "image/bmp_row_file.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint64_t kFileHeaderSize = kBmpFileHeaderSize;
constexpr std::uint32_t kStoredMasks[3] = {0xFF0000u, 0xFF00u, 0xFFu};

void PutLittleEndian32(std::uint8_t* at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::array<std::uint8_t, kBmpFileHeaderSize> BmpFileHeader(std::uint64_t packedSize,
                                                           std::uint64_t pixelOffset) {
    std::array<std::uint8_t, kBmpFileHeaderSize> header{'B', 'M'};
    PutLittleEndian32(header.data() + 2, kBmpFileHeaderSize + packedSize);
    PutLittleEndian32(header.data() + 10, kBmpFileHeaderSize + pixelOffset);
    return header;
}

bool BmpRowFile::Open(const char* name) {
    file_.emplace(name);
    std::uint8_t start[kFileHeaderSize + kInfoHeaderSize + kMaskBytes];
    const std::optional<std::uint64_t> size = file_->Size();
    if (!file_->IsOpen() || !size || *size < kFileHeaderSize + kInfoHeaderSize ||
        *size > kFileHeaderSize + kMaxDibBytes ||
        !file_->ReadAt(0, std::span(start, kFileHeaderSize + kInfoHeaderSize)) || start[0] != 'B' ||
        start[1] != 'M') {
        return false;
    }
    std::memcpy(&header_, start + kFileHeaderSize, sizeof header_);
    const std::optional<DibLayout> layout = ComputeDibLayout(header_);
    const bool plain = header_.compression == kCompressionRgb || header_.compression == kCompressionBitfields;
    if (!layout || !plain || header_.bitCount != 32 || header_.planes != 1 ||
        (header_.sizeImage != 0 && header_.sizeImage != layout->rowBytes) ||
        *size < kFileHeaderSize + layout->heldSize) {
        return false;
    }
    layout_ = *layout;
    trailerSize_ = *size - (kFileHeaderSize + layout_.heldSize);
    try {
        headerBytes_.resize(layout_.pixelOffset);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!file_->ReadAt(kFileHeaderSize, headerBytes_)) {
        return false;
    }
    if (header_.compression == kCompressionBitfields) {
        return std::memcmp(headerBytes_.data() + kInfoHeaderSize, kStoredMasks, sizeof kStoredMasks) == 0;
    }
    return true;
}

bool BmpRowFile::ReadRow(int y, std::span<std::uint8_t> into, int firstColumn) {
    if (y < 0 || y >= Height() || firstColumn < 0 ||
        4 * static_cast<std::uint64_t>(firstColumn) + into.size() > 4 * static_cast<std::uint64_t>(Width())) {
        return false;
    }
    const std::uint64_t stored = header_.height > 0 ? layout_.rowCount - 1 - static_cast<std::uint64_t>(y)
                                                    : static_cast<std::uint64_t>(y);
    return file_->ReadAt(kFileHeaderSize + layout_.pixelOffset + stored * layout_.stride +
                             4 * static_cast<std::uint64_t>(firstColumn),
                         into);
}

bool BmpRowFile::ReadTrailer(std::span<std::uint8_t> into) {
    return file_ && trailerSize_ == into.size() && file_->ReadAt(kFileHeaderSize + layout_.heldSize, into);
}

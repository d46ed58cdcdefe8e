// Bounds on the work one input of the bitmap targets may cause, so that the fuzzer spends its
// time on many inputs rather than on a few huge pictures. An RLE header of a few bytes may ask
// for a picture of up to a gigabyte (the reader's own limit); the targets skip those, since a
// smaller one of the same shape takes the same paths.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "image/bmp_row_file.h"
#include "image/dib_layout.h"

inline constexpr std::uint64_t kFuzzPictureBytes = std::uint64_t{16} << 20;

// False for a bitmap file whose pixels, once expanded, would take more than kFuzzPictureBytes.
inline bool WithinPictureBudget(std::span<const std::uint8_t> file) {
    BitmapInfoHeader header{};
    if (file.size() < kBmpFileHeaderSize + sizeof header) {
        return true;
    }
    std::memcpy(&header, file.data() + kBmpFileHeaderSize, sizeof header);
    if (header.compression == kCompressionRle8 || header.compression == kCompressionRle4) {
        header.compression = kCompressionRgb;
        header.sizeImage = 0;
    }
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    return !layout || layout->heldSize <= kFuzzPictureBytes;
}

// The positions along a side of count pixels to look at: every one of a short side; of a long
// one both ends and the middle, where a fault in the bounds would show.
inline std::vector<int> SampledPositions(int count) {
    constexpr int kAllUpTo = 64;
    std::vector<int> positions;
    if (count <= kAllUpTo) {
        for (int i = 0; i < count; ++i) {
            positions.push_back(i);
        }
        return positions;
    }
    return {0, 1, count / 2, count - 2, count - 1};
}

// The colour table: reading and writing entries, and the nearest entry to a colour.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "image/dib_image.h"
#include "image/last_error.h"

int DibImage::GetPaletteEntry(std::uint32_t index, RgbQuad& entry) const {
    if (!HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    if (index >= paletteEntries_) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    entry = colourTable_[index];
    return 1;
}

int DibImage::SetPalette(std::uint32_t count, const RgbQuad* entries) {
    if (!HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    if (count > paletteEntries_ || (entries == nullptr && count != 0)) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (count != 0) {
        std::memcpy(colourTable_, entries, sizeof(RgbQuad) * count);
    }
    return 1;
}

int DibImage::NearestPaletteIndex(ColourValue colour) const {
    if (colourTable_ == nullptr) {
        return -1;
    }
    // An index that a pixel cannot hold is no answer, however large the table.
    std::uint64_t count = paletteEntries_;
    if (bitsPerPixel_ <= 8 && count > (std::uint64_t{1} << bitsPerPixel_)) {
        count = std::uint64_t{1} << bitsPerPixel_;
    }
    const int red = static_cast<int>(colour & 0xFF);
    const int green = static_cast<int>((colour >> 8) & 0xFF);
    const int blue = static_cast<int>((colour >> 16) & 0xFF);
    int nearest = -1;
    int nearestDistance = INT_MAX;
    for (std::uint64_t i = 0; i < count; ++i) {
        const RgbQuad& entry = colourTable_[i];
        const int distance =
            std::abs(entry.red - red) + std::abs(entry.green - green) + std::abs(entry.blue - blue);
        if (distance < nearestDistance) {
            nearest = static_cast<int>(i);
            nearestDistance = distance;
            if (distance == 0) {
                break;
            }
        }
    }
    return nearest;
}

// Widening a 2-bit image to 4 bits, for GDI, which makes no 2-bit DIB sections. The pixels keep
// their indexes, so the old colour table serves unchanged at the start of the new one.
#include <algorithm>
#include <cstring>
#include <utility>

#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "image/last_error.h"

namespace {

constexpr std::uint32_t kFourBitTableEntries = 16;

}  // namespace

int DibImage::WidenTwoBitToFourBit() {
    if (!HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    if (bitsPerPixel_ != 2) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    BitmapInfoHeader header = *header_;
    header.planes = 1;
    header.bitCount = 4;
    header.compression = kCompressionRgb;
    header.sizeImage = 0;
    header.clrUsed = std::min(paletteEntries_, kFourBitTableEntries);
    header.clrImportant = std::min(header.clrImportant, header.clrUsed);
    DibBlock block = NewDibBlock(header);
    if (block.empty()) {
        return 0;
    }
    std::memcpy(block.data() + kInfoHeaderSize, colourTable_, sizeof(RgbQuad) * header.clrUsed);
    DibImage widened;
    if (!widened.Attach(std::move(block))) {
        return 0;
    }
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            widened.SetRawPixel(x, y, GetRawPixel(x, y));
        }
    }
    *this = std::move(widened);
    return 1;
}

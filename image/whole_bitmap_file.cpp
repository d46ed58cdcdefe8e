#include "image/whole_bitmap_file.h"

#include <cstdint>
#include <cstring>

#include "image/bmp_row_file.h"
#include "image/dib_layout.h"
#include "image/file_io.h"

std::optional<ImageSize> WholeBitmapFileSize(const char* name) {
    InputFile file(name);
    const std::optional<std::uint64_t> size = file.Size();
    std::uint8_t start[kBmpFileHeaderSize + kInfoHeaderSize];
    if (!size || *size < sizeof start || !file.ReadAt(0, start) || start[0] != 'B' || start[1] != 'M') {
        return std::nullopt;
    }
    BitmapInfoHeader header;
    std::memcpy(&header, start + kBmpFileHeaderSize, sizeof header);
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (!layout || (header.compression != kCompressionRgb && header.compression != kCompressionBitfields) ||
        *size != kBmpFileHeaderSize + layout->heldSize) {
        return std::nullopt;
    }
    return ImageSize{header.width, static_cast<int>(layout->rowCount)};
}

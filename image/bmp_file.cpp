// Bitmap files: a 14-byte file header, then the packed bitmap. Reading takes the packed bitmap
// as it follows the file header and expands RLE pixels into plain rows, so every image in memory
// is uncompressed. The file header's pixel offset is not used: the pixels must follow the
// header, masks and colour table without a gap, as in every file this program writes.
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "image/bmp_row_file.h"
#include "image/dib_image.h"
#include "image/file_io.h"
#include "image/last_error.h"
#include "image/rle_decoder.h"

namespace {

constexpr std::uint8_t kFileType[2] = {'B', 'M'};
constexpr std::size_t kFileHeaderSize = kBmpFileHeaderSize;
// A larger file holds more than any bitmap this toolkit accepts.
constexpr std::uint64_t kMaxFileBytes = kFileHeaderSize + kMaxDibBytes;

BitmapInfoHeader HeaderOf(const DibBlock& block) {
    BitmapInfoHeader header;
    std::memcpy(&header, block.data(), sizeof header);
    return header;
}

bool IsRle(const BitmapInfoHeader& header) {
    return header.compression == kCompressionRle8 || header.compression == kCompressionRle4;
}

// The same bitmap with its RLE pixels expanded into plain bottom-up rows, or nothing when the
// header does not describe an RLE bitmap the format allows (RLE8 at 8 bits, RLE4 at 4, one
// plane, rows stored bottom first) or the block is shorter than its header and colour table.
// Sets the last-error code when it fails.
std::optional<DibBlock> ExpandRle(const DibBlock& packed) {
    const BitmapInfoHeader header = HeaderOf(packed);
    const std::uint16_t rleDepth = header.compression == kCompressionRle8 ? 8 : 4;
    if (header.bitCount != rleDepth || header.planes != 1 || header.height <= 0) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    BitmapInfoHeader plain = header;
    plain.compression = kCompressionRgb;
    plain.sizeImage = 0;
    const std::optional<DibLayout> layout = ComputeDibLayout(plain);
    if (!layout || packed.size() < layout->pixelOffset) {
        SetImageLastError(LastError::InvalidParameter);
        return std::nullopt;
    }
    plain.sizeImage = static_cast<std::uint32_t>(layout->rowBytes);

    DibBlock expanded;
    try {
        expanded.resize(layout->totalSize);
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return std::nullopt;
    }
    std::memcpy(expanded.data(), &plain, sizeof plain);
    // No masks in an RLE bitmap: the colour table follows the header in both.
    std::memcpy(expanded.data() + kInfoHeaderSize, packed.data() + kInfoHeaderSize,
                layout->pixelOffset - kInfoHeaderSize);

    std::span<const std::uint8_t> stream(packed.data() + layout->pixelOffset,
                                         packed.size() - layout->pixelOffset);
    if (header.sizeImage != 0 && header.sizeImage < stream.size()) {
        stream = stream.first(header.sizeImage);
    }
    const RleRows rows{std::span(expanded.data() + layout->pixelOffset, layout->rowBytes), layout->stride,
                       static_cast<std::uint64_t>(header.width), layout->rowCount};
    // A stream that ends early keeps what it decoded (see rle_decoder.h).
    DecodeRle(stream, header.compression, rows);
    return expanded;
}

// An uncompressed header whose image size is below its rows understates them; every row must be
// in the block anyway (Attach checks), and the true size keeps a later save from dropping rows.
void CorrectUnderstatedImageSize(DibBlock& packed) {
    const BitmapInfoHeader header = HeaderOf(packed);
    const std::optional<DibLayout> layout = ComputeDibLayout(header);
    if (layout && header.sizeImage != 0 && header.sizeImage < layout->rowBytes) {
        const std::uint32_t rowBytes = static_cast<std::uint32_t>(layout->rowBytes);
        std::memcpy(packed.data() + offsetof(BitmapInfoHeader, sizeImage), &rowBytes, sizeof rowBytes);
    }
}

}  // namespace

int DibImage::ReadBmpFile(const char* name) {
    if (name == nullptr) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    // The packed bitmap is read straight into its block, after the file header.
    InputFile file(name);
    const std::optional<std::uint64_t> size = file.Size();
    std::uint8_t fileHeader[kFileHeaderSize];
    if (!size || *size > kMaxFileBytes || *size < kFileHeaderSize || !file.ReadAt(0, fileHeader) ||
        std::memcmp(fileHeader, kFileType, 2) != 0) {
        return 0;
    }
    DibBlock packed;
    try {
        packed.resize(static_cast<std::size_t>(*size - kFileHeaderSize));
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
    return file.ReadAt(kFileHeaderSize, packed) ? AttachPacked(std::move(packed)) : 0;
}

int DibImage::ReadBmpBytes(std::vector<std::uint8_t> fileBytes) {
    if (HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    // Not a bitmap file: nothing to say beyond the result.
    if (fileBytes.size() < kFileHeaderSize || std::memcmp(fileBytes.data(), kFileType, 2) != 0) {
        return 0;
    }
    DibBlock packed = std::move(fileBytes);
    packed.erase(packed.begin(), packed.begin() + kFileHeaderSize);
    return AttachPacked(std::move(packed));
}

int DibImage::AttachPacked(DibBlock packed) {
    if (packed.size() < kInfoHeaderSize) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (IsRle(HeaderOf(packed))) {
        std::optional<DibBlock> expanded = ExpandRle(packed);
        if (!expanded) {
            return 0;
        }
        packed = std::move(*expanded);
    } else {
        CorrectUnderstatedImageSize(packed);
    }
    return Attach(std::move(packed));
}

int DibImage::SaveBmpFile(const char* name) const {
    if (name == nullptr) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (!HasPixels()) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    // Both fit 32 bits: a block is at most kMaxDibBytes.
    const std::uint64_t packedSize = PackedSize();
    const auto fileHeader = BmpFileHeader(packedSize, PixelDataOffset());
    return ReplaceFileContents(name, {std::span<const std::uint8_t>(fileHeader),
                                      std::span<const std::uint8_t>(block_.data(), packedSize)})
               ? 1
               : 0;
}

#include "tools/globe_icon/ico_file.h"

#include <cstddef>
#include <limits>

namespace {

constexpr std::uint32_t kDirectoryBytes = 6;
constexpr std::uint32_t kEntryBytes = 16;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kBitsPerPixel = 32;
constexpr std::uint32_t kHalfOpaque = 128;

void PutU8(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU8(out, value & 0xFF);
    PutU8(out, (value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

bool IsValid(const IconImage& image) {
    return image.width >= 1 && image.width <= kMaxIconSide && image.height >= 1 &&
           image.height <= kMaxIconSide &&
           image.pixels.size() ==
               static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

std::uint32_t MaskRowBytes(const IconImage& image) {
    return (static_cast<std::uint32_t>(image.width) + 31) / 32 * 4;
}

std::uint32_t ColourBytes(const IconImage& image) {
    return static_cast<std::uint32_t>(image.width) * static_cast<std::uint32_t>(image.height) * 4;
}

std::uint32_t MaskBytes(const IconImage& image) {
    return MaskRowBytes(image) * static_cast<std::uint32_t>(image.height);
}

std::uint32_t ImageBytes(const IconImage& image) {
    return kInfoHeaderBytes + ColourBytes(image) + MaskBytes(image);
}

// The size fields of a directory entry are one byte; 256 is written as 0.
std::uint32_t EntrySide(int side) {
    return side == kMaxIconSide ? 0 : static_cast<std::uint32_t>(side);
}

void PutEntry(std::vector<std::uint8_t>& out, const IconImage& image, std::uint32_t offset) {
    PutU8(out, EntrySide(image.width));
    PutU8(out, EntrySide(image.height));
    PutU8(out, 0);   // colour count: none, the image has no palette
    PutU8(out, 0);   // reserved
    PutU16(out, 1);  // planes
    PutU16(out, kBitsPerPixel);
    PutU32(out, ImageBytes(image));
    PutU32(out, offset);
}

void PutImage(std::vector<std::uint8_t>& out, const IconImage& image) {
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    PutU32(out, kInfoHeaderBytes);
    PutU32(out, width);
    PutU32(out, height * 2);  // the colour picture and the mask, one above the other
    PutU16(out, 1);           // planes
    PutU16(out, kBitsPerPixel);
    PutU32(out, 0);  // uncompressed
    PutU32(out, ColourBytes(image) + MaskBytes(image));
    PutU32(out, 0);  // no preferred resolution
    PutU32(out, 0);
    PutU32(out, 0);  // no colour table
    PutU32(out, 0);

    for (std::uint32_t row = height; row-- > 0;) {
        for (std::uint32_t x = 0; x < width; ++x) {
            PutU32(out, image.pixels[row * width + x]);
        }
    }
    for (std::uint32_t row = height; row-- > 0;) {
        std::vector<std::uint8_t> maskRow(MaskRowBytes(image), 0);
        for (std::uint32_t x = 0; x < width; ++x) {
            if ((image.pixels[row * width + x] >> 24) < kHalfOpaque) {
                maskRow[x / 8] = static_cast<std::uint8_t>(maskRow[x / 8] | (0x80u >> (x % 8)));
            }
        }
        out.insert(out.end(), maskRow.begin(), maskRow.end());
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeIconFile(std::span<const IconImage> images) {
    if (images.empty() || images.size() > std::numeric_limits<std::uint16_t>::max()) {
        return std::nullopt;
    }
    // Enough large images pass the 4 GiB that the entries' 32-bit offsets reach: count in 64
    // bits and refuse such a file instead of writing wrapped offsets.
    std::uint64_t total = kDirectoryBytes + kEntryBytes * static_cast<std::uint64_t>(images.size());
    for (const IconImage& image : images) {
        if (!IsValid(image)) {
            return std::nullopt;
        }
        total += ImageBytes(image);
    }
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    PutU16(out, 0);  // reserved
    PutU16(out, kIconType);
    PutU16(out, static_cast<std::uint32_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(kDirectoryBytes + kEntryBytes * images.size());
    for (const IconImage& image : images) {
        PutEntry(out, image, offset);
        offset += ImageBytes(image);
    }
    for (const IconImage& image : images) {
        PutImage(out, image);
    }
    return out;
}

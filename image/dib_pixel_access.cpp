// Pixel access at every depth. Rows come from the row table, so nothing here depends on the row
// order; columns are scaled in size_t because x times the bytes per pixel can exceed an int.
// Attach guarantees that each row holds Width() pixels at the image's depth.
#include <cstring>

#include "image/dib_image.h"

namespace {

// A pixel narrower than a byte: `bits` wide at `shift` within its byte.
std::uint32_t ReadBits(std::uint8_t byte, unsigned shift, unsigned bits) {
    return (byte >> shift) & ((1u << bits) - 1);
}

void WriteBits(std::uint8_t& byte, unsigned shift, unsigned bits, std::uint32_t value) {
    const unsigned mask = ((1u << bits) - 1) << shift;
    byte = static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

std::uint32_t ReadWord32(const std::uint8_t* at) {
    std::uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Stored bytes blue, green, red <-> a colour value with red in the low byte.
ColourValue SwapRedAndBlue(std::uint32_t value) {
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

std::uint32_t ChannelFromMasked(std::uint32_t raw, std::uint32_t mask, std::uint16_t shift,
                                std::uint16_t loss) {
    return (((raw & mask) >> shift) << loss) & 0xFF;
}

std::uint32_t ChannelToMasked(std::uint32_t channel, std::uint32_t mask, std::uint16_t shift,
                              std::uint16_t loss) {
    return ((channel >> loss) << shift) & mask;
}

}  // namespace

bool DibImage::Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < Width() && y < Height();
}

std::uint32_t DibImage::GetRawPixel(int x, int y) const {
    if (!Contains(x, y)) {
        return kNoPixel;
    }
    const std::uint8_t* row = rows_[y];
    const std::size_t column = static_cast<std::size_t>(x);
    switch (bitsPerPixel_) {
        case 1:
            return ReadBits(row[column / 8], 7 - column % 8, 1);
        case 2:
            return ReadBits(row[column / 4], 6 - 2 * (column % 4), 2);
        case 4:
            return ReadBits(row[column / 2], column % 2 == 0 ? 4 : 0, 4);
        case 8:
            return row[column];
        case 16: {
            std::uint16_t word;
            std::memcpy(&word, row + 2 * column, sizeof word);
            return word;
        }
        case 24: {
            const std::uint8_t* pixel = row + 3 * column;
            return pixel[0] | (std::uint32_t{pixel[1]} << 8) | (std::uint32_t{pixel[2]} << 16);
        }
        case 32:
            return ReadWord32(row + 4 * column) & 0xFFFFFF;
        default:
            return kNoPixel;
    }
}

int DibImage::SetRawPixel(int x, int y, std::uint32_t raw) {
    if (!Contains(x, y)) {
        return 0;
    }
    std::uint8_t* row = rows_[y];
    const std::size_t column = static_cast<std::size_t>(x);
    switch (bitsPerPixel_) {
        case 1:
            WriteBits(row[column / 8], 7 - column % 8, 1, raw);
            return 1;
        case 2:
            WriteBits(row[column / 4], 6 - 2 * (column % 4), 2, raw);
            return 1;
        case 4:
            WriteBits(row[column / 2], column % 2 == 0 ? 4 : 0, 4, raw);
            return 1;
        case 8:
            row[column] = static_cast<std::uint8_t>(raw);
            return 1;
        case 16: {
            const std::uint16_t word = static_cast<std::uint16_t>(raw);
            std::memcpy(row + 2 * column, &word, sizeof word);
            return 1;
        }
        case 24: {
            std::uint8_t* pixel = row + 3 * column;
            pixel[0] = static_cast<std::uint8_t>(raw);
            pixel[1] = static_cast<std::uint8_t>(raw >> 8);
            pixel[2] = static_cast<std::uint8_t>(raw >> 16);
            return 1;
        }
        case 32:
            std::memcpy(row + 4 * column, &raw, sizeof raw);
            return 1;
        default:
            return 0;
    }
}

ColourValue DibImage::ColourOfMaskedPixel(std::uint32_t raw) const {
    return ChannelFromMasked(raw, redMask_, redShift_, redLoss_) |
           (ChannelFromMasked(raw, greenMask_, greenShift_, greenLoss_) << 8) |
           (ChannelFromMasked(raw, blueMask_, blueShift_, blueLoss_) << 16);
}

std::uint32_t DibImage::MaskedPixelOfColour(ColourValue colour) const {
    return ChannelToMasked(colour & 0xFF, redMask_, redShift_, redLoss_) |
           ChannelToMasked((colour >> 8) & 0xFF, greenMask_, greenShift_, greenLoss_) |
           ChannelToMasked((colour >> 16) & 0xFF, blueMask_, blueShift_, blueLoss_);
}

ColourValue DibImage::GetPixelColour(int x, int y) const {
    if (!Contains(x, y)) {
        return kNoPixel;
    }
    if (bitsPerPixel_ == 32) {
        // All four bytes: masks may place a channel in the fourth.
        const std::uint32_t word = ReadWord32(rows_[y] + 4 * static_cast<std::size_t>(x));
        return header_->compression == kCompressionBitfields ? ColourOfMaskedPixel(word)
                                                             : SwapRedAndBlue(word);
    }
    const std::uint32_t raw = GetRawPixel(x, y);
    if (raw == kNoPixel) {
        return kNoPixel;
    }
    if (bitsPerPixel_ <= 8) {
        if (raw >= paletteEntries_) {
            return kNoPixel;
        }
        const RgbQuad& entry = colourTable_[raw];
        return entry.red | (std::uint32_t{entry.green} << 8) | (std::uint32_t{entry.blue} << 16);
    }
    return bitsPerPixel_ == 24 ? SwapRedAndBlue(raw) : ColourOfMaskedPixel(raw);
}

int DibImage::SetPixelColour(int x, int y, ColourValue colour) {
    if (colour == kNoPixel || !Contains(x, y)) {
        return 0;
    }
    if (bitsPerPixel_ <= 8) {
        const int index = NearestPaletteIndex(colour);
        return index >= 0 ? SetRawPixel(x, y, static_cast<std::uint32_t>(index)) : 0;
    }
    if (bitsPerPixel_ == 24 || (bitsPerPixel_ == 32 && header_->compression != kCompressionBitfields)) {
        // At 32 bits this also clears the fourth byte.
        return SetRawPixel(x, y, SwapRedAndBlue(colour));
    }
    return SetRawPixel(x, y, MaskedPixelOfColour(colour));
}

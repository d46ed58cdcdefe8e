#include "image/rle_decoder.h"

#include <algorithm>

namespace {

// The write position and the bounds it is checked against.
class RlePainter {
  public:
    RlePainter(const RleRows& rows, bool fourBit) : rows_(rows), fourBit_(fourBit) {}

    // How many of the next count pixels land inside the picture; the rest fall past the row's
    // end or below the last row.
    std::uint64_t Landing(std::uint64_t count) const {
        if (y_ >= rows_.rowCount || x_ >= rows_.width) {
            return 0;
        }
        return std::min(count, rows_.width - x_);
    }
    // Moves past pixels that write nothing.
    void Skip(std::uint64_t count) { x_ += count; }

    void Put(std::uint8_t index) {
        if (x_ < rows_.width && y_ < rows_.rowCount) {
            std::uint8_t& byte = rows_.pixels[y_ * rows_.stride + (fourBit_ ? x_ / 2 : x_)];
            if (!fourBit_) {
                byte = index;
            } else if (x_ % 2 == 0) {
                byte = static_cast<std::uint8_t>((byte & 0x0F) | (index << 4));
            } else {
                byte = static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F));
            }
        }
        ++x_;
    }
    void EndLine() {
        x_ = 0;
        ++y_;
    }
    void Move(std::uint8_t dx, std::uint8_t dy) {
        x_ += dx;
        y_ += dy;
    }

  private:
    const RleRows& rows_;
    const bool fourBit_;
    std::uint64_t x_ = 0;
    std::uint64_t y_ = 0;  // stored row, from the first
};

enum Escape : std::uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

// Pixel k of an RLE4 byte pair: the high nibble, then the low one, in turn.
std::uint8_t NibbleOf(std::uint8_t byte, unsigned k) {
    return k % 2 == 0 ? static_cast<std::uint8_t>(byte >> 4) : static_cast<std::uint8_t>(byte & 0x0F);
}

// Pixel k of a literal: a byte, or a nibble from high to low.
std::uint8_t LiteralPixel(const std::uint8_t* bytes, unsigned k, bool fourBit) {
    return fourBit ? NibbleOf(bytes[k / 2], k) : bytes[k];
}

bool RowsFitTheirSpan(const RleRows& rows, unsigned bitsPerPixel) {
    if ((rows.width * bitsPerPixel + 7) / 8 > rows.stride) {
        return false;
    }
    return rows.stride == 0 || rows.rowCount <= rows.pixels.size() / rows.stride;
}

}  // namespace

bool DecodeRle(std::span<const std::uint8_t> stream, std::uint32_t compression, const RleRows& rows) {
    if (compression != kCompressionRle8 && compression != kCompressionRle4) {
        return false;
    }
    const bool fourBit = compression == kCompressionRle4;
    if (!RowsFitTheirSpan(rows, fourBit ? 4 : 8)) {
        return false;
    }
    RlePainter painter(rows, fourBit);
    std::size_t at = 0;
    while (stream.size() - at >= 2) {
        const std::uint8_t count = stream[at];
        const std::uint8_t code = stream[at + 1];
        at += 2;
        if (count != 0) {
            // A run: count pixels of one byte (RLE4: its two nibbles in turn). Only the pixels
            // that land cost work, so that no stream costs more than its length and the picture.
            const auto landing = static_cast<unsigned>(painter.Landing(count));
            for (unsigned k = 0; k < landing; ++k) {
                painter.Put(fourBit ? NibbleOf(code, k) : code);
            }
            painter.Skip(count - landing);
            continue;
        }
        switch (code) {
            case kEndOfLine:
                painter.EndLine();
                break;
            case kEndOfBitmap:
                return true;
            case kDelta:
                if (stream.size() - at < 2) {
                    return false;
                }
                painter.Move(stream[at], stream[at + 1]);
                at += 2;
                break;
            default: {
                // A literal of `code` pixels, padded to a whole number of 16-bit words.
                const std::size_t bytes = fourBit ? (code + 1u) / 2 : code;
                const std::size_t available = stream.size() - at;
                const unsigned pixels =
                    bytes <= available ? code : static_cast<unsigned>(fourBit ? available * 2 : available);
                const auto landing = static_cast<unsigned>(painter.Landing(pixels));
                for (unsigned k = 0; k < landing; ++k) {
                    painter.Put(LiteralPixel(stream.data() + at, k, fourBit));
                }
                painter.Skip(pixels - landing);
                if (bytes > available) {
                    return false;
                }
                at = std::min(at + bytes + bytes % 2, stream.size());
                break;
            }
        }
    }
    return false;
}

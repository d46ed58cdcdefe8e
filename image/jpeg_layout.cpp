#include "image/jpeg_layout.h"

namespace {

constexpr std::uint8_t kMarkerStart = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kFirstRestart = 0xD0;
constexpr std::uint8_t kLastRestart = 0xD7;
constexpr std::uint8_t kTemporary = 0x01;
// A frame header: length (2), precision (1), height (2), width (2), components (1).
constexpr std::size_t kFrameFieldsLength = 8;

// Start-of-frame markers are C0..CF, except C4 (Huffman tables), C8 (reserved) and CC
// (arithmetic conditioning).
bool IsStartOfFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length.
bool StandsAlone(std::uint8_t marker) {
    return marker == kTemporary || (marker >= kFirstRestart && marker <= kLastRestart);
}

int BigEndian16(std::span<const std::uint8_t> data, std::size_t at) {
    return data[at] << 8 | data[at + 1];
}

}  // namespace

std::optional<JpegLayout> ReadJpegLayout(std::span<const std::uint8_t> data) {
    if (data.size() < 4 || data[0] != kMarkerStart || data[1] != kStartOfImage) {
        return std::nullopt;
    }
    std::optional<JpegLayout> layout;
    std::size_t at = 2;
    for (;;) {
        // A marker is 0xFF and its code; more 0xFF bytes may fill the space before it.
        const std::size_t markerStart = at;
        while (at < data.size() && data[at] == kMarkerStart) {
            ++at;
        }
        if (at == markerStart || at >= data.size()) {
            return std::nullopt;
        }
        const std::uint8_t marker = data[at++];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == kEndOfImage || at + 2 > data.size()) {
            return std::nullopt;  // no scan
        }
        const auto length = std::size_t(BigEndian16(data, at));
        if (length < 2 || length > data.size() - at) {
            return std::nullopt;
        }
        if (IsStartOfFrame(marker) && !layout) {
            if (length < kFrameFieldsLength) {
                return std::nullopt;
            }
            layout = JpegLayout{BigEndian16(data, at + 5), BigEndian16(data, at + 3), data[at + 7], false};
        }
        if (marker == kStartOfScan) {
            if (!layout) {
                return std::nullopt;
            }
            layout->endsWithEndMarker =
                data[data.size() - 2] == kMarkerStart && data[data.size() - 1] == kEndOfImage;
            return layout;
        }
        at += length;
    }
}

#include "clouds/sharp_map_check.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "clouds/sha256.h"
#include "image/file_io.h"
#include "image/jpeg_layout.h"
#include "image/picture_rows.h"

namespace {

struct KnownFile {
    int month;
    std::uint64_t length;
    std::string_view sha256;
};

constexpr std::array<KnownFile, 2> kKnownFiles = {{
    {1, 2'571'926, "1684c4f8f51970dcb4a7451302bf3be17bed657aed9fece6f80d7b191e8afa3d"},
    {7, 2'308'798, "4f4240673a3a1b173d61b92ca4b07bac5fd17059ea5f725ba6da5a9c5386b7ba"},
}};

// A box between two corners in whole degrees (longitude from -180 at the left edge, latitude
// from +90 at the top), and whether it is land or sea in every month.
struct Place {
    int west, north, east, south;
    bool land;
};

// Land and sea either side of the prime meridian and of the date line catch a map that is
// mirrored or centred on the Pacific; the two boxes a degree off the coast of Senegal catch one
// shifted by more than a degree or two. The same places as the imagery script checks, from north
// to south, so that the map is read from the top down, as a JPEG decoder delivers it.
constexpr std::array<Place, 8> kPlaces = {{
    {-16, 15, -15, 14, true},     // inland Senegal
    {-19, 15, -18, 14, false},    // the sea off Dakar
    {18, 12, 22, 8, true},        // the Sahel
    {-2, 3, 2, 1, false},         // the Gulf of Guinea
    {-32, 2, -28, -2, false},     // the equatorial Atlantic
    {-152, 2, -148, -2, false},   // the central Pacific
    {-62, -3, -58, -7, true},     // the Amazon basin
    {133, -23, 137, -27, true},   // central Australia
}};

// Sea is clearly bluer than red and green; land is not blue at all.
constexpr double kSeaMargin = 0.03 * 255;

// Whether the place has its colour on the map; nothing when the decoder fails.
std::optional<bool> HasPlaceColour(PictureRows& picture, const Place& place, std::vector<std::uint32_t>& rows) {
    const int left = (place.west + 180) * kSharpMapWidth / 360;
    const int right = (place.east + 180) * kSharpMapWidth / 360;
    const int top = (90 - place.north) * kSharpMapHeight / 180;
    const int bottom = (90 - place.south) * kSharpMapHeight / 180;
    rows.resize(std::size_t(bottom - top) * kSharpMapWidth);
    if (!picture.Read(top, bottom - top, rows)) {
        return std::nullopt;
    }
    double red = 0, green = 0, blue = 0;
    for (int y = 0; y < bottom - top; ++y) {
        for (int x = left; x < right; ++x) {
            const std::uint32_t pixel = rows[std::size_t(y) * kSharpMapWidth + std::size_t(x)];
            blue += pixel & 0xFF;
            green += pixel >> 8 & 0xFF;
            red += pixel >> 16 & 0xFF;
        }
    }
    const double pixels = double(right - left) * double(bottom - top);
    const double brightest = std::max(red, green) / pixels;
    return place.land ? blue / pixels < brightest : blue / pixels > brightest + kSeaMargin;
}

SharpMapVerdict CheckBytes(std::span<const std::uint8_t> bytes, int month) {
    if (bytes.size() < kMinSharpMapBytes || bytes.size() > kMaxSharpMapBytes) {
        return SharpMapVerdict::WrongLength;
    }
    for (const KnownFile& known : kKnownFiles) {
        if (known.month != month) {
            continue;
        }
        if (bytes.size() != known.length) {
            return SharpMapVerdict::WrongLength;
        }
        if (HexOf(Sha256(bytes)) != known.sha256) {
            return SharpMapVerdict::WrongDigest;
        }
    }
    const std::optional<JpegLayout> layout = ReadJpegLayout(bytes);
    if (!layout) {
        return SharpMapVerdict::NotAJpeg;
    }
    if (layout->width != kSharpMapWidth || layout->height != kSharpMapHeight) {
        return SharpMapVerdict::WrongSize;
    }
    if (layout->components != 3) {
        return SharpMapVerdict::NotColour;
    }
    return layout->endsWithEndMarker ? SharpMapVerdict::Accepted : SharpMapVerdict::Cut;
}

}  // namespace

SharpMapVerdict CheckSharpMap(const char* file, int month) {
    {
        // The bytes are let go before the decoder takes its memory.
        const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(file, kMaxSharpMapBytes);
        if (!bytes) {
            return PathExists(file) ? SharpMapVerdict::WrongLength : SharpMapVerdict::Unreadable;
        }
        if (const SharpMapVerdict verdict = CheckBytes(*bytes, month); verdict != SharpMapVerdict::Accepted) {
            return verdict;
        }
    }
    const std::unique_ptr<PictureRows> picture = OpenPictureRows(file);
    if (!picture) {
        return SharpMapVerdict::Undecodable;
    }
    if (picture->Size() != ImageSize{kSharpMapWidth, kSharpMapHeight}) {
        return SharpMapVerdict::WrongSize;
    }
    std::vector<std::uint32_t> rows;
    for (const Place& place : kPlaces) {
        const std::optional<bool> coloured = HasPlaceColour(*picture, place, rows);
        if (!coloured) {
            return SharpMapVerdict::Undecodable;
        }
        if (!*coloured) {
            return SharpMapVerdict::WrongPlaces;
        }
    }
    return SharpMapVerdict::Accepted;
}

bool InstalledSharpMapReadsBack(const char* file, int month) {
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(file, kMaxSharpMapBytes);
    return bytes && CheckBytes(*bytes, month) == SharpMapVerdict::Accepted;
}

const char* SharpMapVerdictText(SharpMapVerdict verdict) {
    switch (verdict) {
        case SharpMapVerdict::Accepted:
            return "accepted";
        case SharpMapVerdict::Unreadable:
            return "unreadable";
        case SharpMapVerdict::WrongLength:
            return "wrong length";
        case SharpMapVerdict::WrongDigest:
            return "wrong digest";
        case SharpMapVerdict::NotAJpeg:
            return "not a JPEG";
        case SharpMapVerdict::WrongSize:
            return "wrong size";
        case SharpMapVerdict::NotColour:
            return "not in colour";
        case SharpMapVerdict::Cut:
            return "cut off";
        case SharpMapVerdict::Undecodable:
            return "undecodable";
        case SharpMapVerdict::WrongPlaces:
            return "land and sea misplaced";
    }
    return "?";
}

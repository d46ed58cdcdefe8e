#include "tools/globe_icon/globe_painter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "image/image_resizer.h"
#include "image/processor_chain.h"
#include "tools/globe_icon/orthographic_view.h"

namespace {

struct LinearColour {
    double red = 0, green = 0, blue = 0;
};

double DecodeSrgb(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

std::uint32_t EncodeSrgb(double linear) {
    const double clamped = std::clamp(linear, 0.0, 1.0);
    const double encoded =
        clamped <= 0.0031308 ? clamped * 12.92 : 1.055 * std::pow(clamped, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint32_t>(std::lround(encoded * 255.0));
}

const std::array<double, 256>& LinearOfByte() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i) {
            values[i] = DecodeSrgb(i / 255.0);
        }
        return values;
    }();
    return table;
}

LinearColour LinearOfPixel(std::uint32_t pixel) {
    const auto& linear = LinearOfByte();
    return {linear[(pixel >> 16) & 0xFF], linear[(pixel >> 8) & 0xFF], linear[pixel & 0xFF]};
}

LinearColour Mix(const LinearColour& a, const LinearColour& b, double weightOfB) {
    return {a.red + (b.red - a.red) * weightOfB, a.green + (b.green - a.green) * weightOfB,
            a.blue + (b.blue - a.blue) * weightOfB};
}

// The map reduced (never enlarged) so that it holds about one pixel per sample of the disc:
// the disc's diameter spans half the equator, so twice the samples across it span the map.
std::optional<PixelBuffer> MapAtSampleResolution(const PixelBuffer& dayMap, int samplesAcross) {
    PixelBuffer map = dayMap;
    const double wantedWidth = 2.0 * samplesAcross;
    if (map.width > wantedWidth) {
        CImageResizer reducer(wantedWidth / map.width);
        if (!RunProcessorChain(map, {&reducer}, 0)) {
            return std::nullopt;
        }
    }
    return map;
}

int WrapColumn(long long column, int width) {
    return static_cast<int>((column % width + width) % width);
}

// The map's colour at a place, interpolated between the four nearest pixels. The map is
// equirectangular: its left edge is longitude -180 and wraps around to its right edge, its top
// row is latitude +90.
LinearColour SampleMap(const PixelBuffer& map, const GeoPoint& place) {
    const double column = (place.longitude + 180.0) / 360.0 * map.width - 0.5;
    const double row = std::clamp((90.0 - place.latitude) / 180.0 * map.height - 0.5, 0.0, map.height - 1.0);
    const double left = std::floor(column);
    const double top = std::floor(row);
    const double right = column - left;
    const double down = row - top;
    const int x0 = WrapColumn(static_cast<long long>(left), map.width);
    const int x1 = WrapColumn(static_cast<long long>(left) + 1, map.width);
    const int y0 = static_cast<int>(top);
    const int y1 = std::min(y0 + 1, map.height - 1);
    const auto at = [&](int x, int y) {
        return LinearOfPixel(map.pixels[static_cast<std::size_t>(y) * map.width + x]);
    };
    return Mix(Mix(at(x0, y0), at(x1, y0), right), Mix(at(x0, y1), at(x1, y1), right), down);
}

class GlobeShader {
  public:
    explicit GlobeShader(const GlobeLook& look) : look_(look) {
        const double length =
            std::sqrt(look.lightX * look.lightX + look.lightY * look.lightY + look.lightZ * look.lightZ);
        light_ = length > 0 ? std::array{look.lightX / length, look.lightY / length, look.lightZ / length}
                            : std::array{0.0, 0.0, 1.0};
        rim_ = {look.rimRed, look.rimGreen, look.rimBlue};
    }

    // The surface colour seen at (x, y) on the unit disc, whose normal there is (x, y, z).
    LinearColour Shade(const LinearColour& surface, double x, double y, double z) const {
        const double facing = std::max(0.0, x * light_[0] + y * light_[1] + z * light_[2]);
        const double light = look_.exposure * (look_.ambient + (1.0 - look_.ambient) * facing);
        const LinearColour lit = Saturate({surface.red * light, surface.green * light, surface.blue * light});
        const double haze = std::clamp(look_.rimStrength * std::pow(1.0 - z, look_.rimPower), 0.0, 1.0);
        return Mix(lit, rim_, haze);
    }

  private:
    LinearColour Saturate(const LinearColour& colour) const {
        const double luminance = 0.2126 * colour.red + 0.7152 * colour.green + 0.0722 * colour.blue;
        const LinearColour grey{luminance, luminance, luminance};
        const LinearColour saturated = Mix(grey, colour, look_.saturation);
        return {std::max(0.0, saturated.red), std::max(0.0, saturated.green), std::max(0.0, saturated.blue)};
    }

    const GlobeLook& look_;
    std::array<double, 3> light_{};
    LinearColour rim_;
};

// A look whose every number is finite, with the centre on the globe and the margin inside the
// icon's half width; anything else would turn into undefined positions in the map.
bool IsUsable(const GlobeLook& look, int size) {
    const double numbers[] = {look.centreLatitude, look.centreLongitude, look.marginPixels, look.exposure,
                              look.saturation,     look.lightX,          look.lightY,       look.lightZ,
                              look.ambient,        look.rimRed,          look.rimGreen,     look.rimBlue,
                              look.rimStrength,    look.rimPower};
    for (const double number : numbers) {
        if (!std::isfinite(number)) {
            return false;
        }
    }
    return look.centreLatitude >= -90.0 && look.centreLatitude <= 90.0 && look.marginPixels >= 0.0 &&
           look.marginPixels < size / 2.0 && look.samplesPerSide >= 1 &&
           look.samplesPerSide <= kMaxSamplesPerSide;
}

}  // namespace

std::optional<IconImage> PaintGlobe(const PixelBuffer& dayMap, int size, const GlobeLook& look) {
    if (!IsConsistent(dayMap) || dayMap.width == 0 || dayMap.height == 0 || size < 1 || size > kMaxIconSide ||
        !IsUsable(look, size)) {
        return std::nullopt;
    }
    const int samples = look.samplesPerSide;
    const std::optional<PixelBuffer> map = MapAtSampleResolution(dayMap, size * samples);
    if (!map) {
        return std::nullopt;
    }
    const OrthographicView view(look.centreLatitude, look.centreLongitude);
    const GlobeShader shader(look);
    const double middle = size / 2.0;
    const double radius = middle - look.marginPixels;

    IconImage icon{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, 0)};
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            LinearColour sum;
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double x = (px + (sx + 0.5) / samples - middle) / radius;
                    const double y = (middle - (py + (sy + 0.5) / samples)) / radius;
                    const std::optional<GeoPoint> place = view.PlaceAt(x, y);
                    if (!place) {
                        continue;
                    }
                    const double z = std::sqrt(std::max(0.0, 1.0 - x * x - y * y));
                    const LinearColour colour = shader.Shade(SampleMap(*map, *place), x, y, z);
                    sum.red += colour.red;
                    sum.green += colour.green;
                    sum.blue += colour.blue;
                    ++inside;
                }
            }
            if (inside == 0) {
                continue;  // fully transparent, colour black as the mask expects
            }
            const auto alpha = static_cast<std::uint32_t>(std::lround(255.0 * inside / (samples * samples)));
            icon.pixels[static_cast<std::size_t>(py) * size + px] =
                alpha << 24 | EncodeSrgb(sum.red / inside) << 16 | EncodeSrgb(sum.green / inside) << 8 |
                EncodeSrgb(sum.blue / inside);
        }
    }
    return icon;
}

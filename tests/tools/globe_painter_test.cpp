#include "tools/globe_icon/globe_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;

// North-west red, north-east green, south-west blue, south-east white.
PixelBuffer QuadrantMap(int width, int height) {
    PixelBuffer map{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool east = x >= width / 2;
            const bool north = y < height / 2;
            map.pixels[static_cast<std::size_t>(y) * width + x] =
                north ? (east ? kGreen : kRed) : (east ? kWhite : kBlue);
        }
    }
    return map;
}

PixelBuffer UniformMap(std::uint32_t pixel) {
    return {64, 32, std::vector<std::uint32_t>(64 * 32, pixel)};
}

// The map's own colours: even light, no haze.
GlobeLook FlatLook() {
    GlobeLook look;
    look.centreLatitude = 0;
    look.centreLongitude = 0;
    look.ambient = 1.0;
    look.rimStrength = 0;
    return look;
}

std::uint32_t PixelAt(const IconImage& icon, int x, int y) {
    return icon.pixels.at(static_cast<std::size_t>(y) * icon.width + x);
}

std::uint32_t AlphaAt(const IconImage& icon, int x, int y) {
    return PixelAt(icon, x, y) >> 24;
}

TEST(GlobePainter, ShowsEastOnTheRightAndNorthAtTheTopAtAnyMapSize) {
    // The large map is reduced before sampling; far from the quadrants' borders the colours
    // stay exact.
    for (const auto& [width, height] : {std::pair{64, 32}, std::pair{2048, 1024}}) {
        SCOPED_TRACE(width);
        const auto icon = PaintGlobe(QuadrantMap(width, height), 16, FlatLook());
        ASSERT_TRUE(icon);
        ASSERT_EQ(icon->width, 16);
        ASSERT_EQ(icon->height, 16);
        EXPECT_EQ(PixelAt(*icon, 4, 4), kOpaque | kRed);
        EXPECT_EQ(PixelAt(*icon, 11, 4), kOpaque | kGreen);
        EXPECT_EQ(PixelAt(*icon, 4, 11), kOpaque | kBlue);
        EXPECT_EQ(PixelAt(*icon, 11, 11), kOpaque | kWhite);
    }
}

TEST(GlobePainter, OutsideTheDiscIsTransparentAndItsEdgeIsSoftWithStraightColour) {
    const auto icon = PaintGlobe(QuadrantMap(64, 32), 16, FlatLook());
    ASSERT_TRUE(icon);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{15, 0}, std::pair{0, 15}, std::pair{15, 15}}) {
        EXPECT_EQ(PixelAt(*icon, x, y), 0u) << x << "," << y;
    }
    // The leftmost pixel a little north of the equator is partly covered; its colour is the
    // map's, not darkened by its coverage.
    const std::uint32_t edge = PixelAt(*icon, 0, 6);
    EXPECT_GT(edge >> 24, 0u);
    EXPECT_LT(edge >> 24, 255u);
    EXPECT_EQ(edge & 0xFFFFFF, kRed);
}

TEST(GlobePainter, TheDiscIsSymmetricAndCentred) {
    for (const int size : {16, 24, 32, 48}) {
        SCOPED_TRACE(size);
        const auto icon = PaintGlobe(UniformMap(0x808080), size, GlobeLook{});
        ASSERT_TRUE(icon);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                ASSERT_EQ(AlphaAt(*icon, x, y), AlphaAt(*icon, size - 1 - x, y)) << x << "," << y;
                ASSERT_EQ(AlphaAt(*icon, x, y), AlphaAt(*icon, x, size - 1 - y)) << x << "," << y;
                ASSERT_EQ(AlphaAt(*icon, x, y), AlphaAt(*icon, y, x)) << x << "," << y;
            }
        }
        EXPECT_EQ(AlphaAt(*icon, size / 2, size / 2), 255u);
        EXPECT_GT(AlphaAt(*icon, size / 2, 0), 0u) << "the disc reaches into the icon's top row";
    }
}

TEST(GlobePainter, ShadingDarkensTowardsTheEdgeAndTheHazeTakesItsColour) {
    GlobeLook look;  // lit from the viewer
    const auto shaded = PaintGlobe(UniformMap(0x808080), 32, look);
    ASSERT_TRUE(shaded);
    const auto green = [](std::uint32_t pixel) { return (pixel >> 8) & 0xFF; };
    EXPECT_GT(green(PixelAt(*shaded, 16, 16)), green(PixelAt(*shaded, 16, 1)));

    look.rimStrength = 1.0;
    look.rimRed = 0, look.rimGreen = 0, look.rimBlue = 1.0;
    const auto hazy = PaintGlobe(UniformMap(0x808080), 32, look);
    ASSERT_TRUE(hazy);
    const std::uint32_t rim = PixelAt(*hazy, 16, 0);
    EXPECT_GT(rim & 0xFF, (rim >> 16) & 0xFF) << "blue haze at the edge";
    EXPECT_EQ(PixelAt(*hazy, 16, 16), PixelAt(*shaded, 16, 16)) << "no haze where the globe faces the viewer";
}

TEST(GlobePainter, RefusesAnEmptyMapAndSizesItCannotDraw) {
    const PixelBuffer map = UniformMap(0x808080);
    EXPECT_FALSE(PaintGlobe(PixelBuffer{}, 16, GlobeLook{}));
    EXPECT_FALSE(PaintGlobe(PixelBuffer{4, 4, std::vector<std::uint32_t>(15)}, 16, GlobeLook{}));
    EXPECT_FALSE(PaintGlobe(map, 0, GlobeLook{}));
    EXPECT_FALSE(PaintGlobe(map, kMaxIconSide + 1, GlobeLook{}));
    GlobeLook look;
    look.samplesPerSide = 0;
    EXPECT_FALSE(PaintGlobe(map, 16, look));
    look.samplesPerSide = kMaxSamplesPerSide + 1;
    EXPECT_FALSE(PaintGlobe(map, 16, look));
}

TEST(GlobePainter, RefusesALookThatPlacesNothing) {
    const PixelBuffer map = UniformMap(0x808080);
    const auto refused = [&](auto change) {
        GlobeLook look;
        change(look);
        return !PaintGlobe(map, 16, look);
    };
    EXPECT_TRUE(refused([](GlobeLook& look) { look.centreLatitude = std::nan(""); }));
    EXPECT_TRUE(refused([](GlobeLook& look) { look.centreLongitude = INFINITY; }));
    EXPECT_TRUE(refused([](GlobeLook& look) { look.centreLatitude = 90.5; }));
    EXPECT_TRUE(refused([](GlobeLook& look) { look.marginPixels = 8; }));
    EXPECT_TRUE(refused([](GlobeLook& look) { look.marginPixels = -1; }));
    EXPECT_TRUE(refused([](GlobeLook& look) { look.exposure = std::nan(""); }));
    EXPECT_FALSE(refused([](GlobeLook& look) { look.centreLatitude = -90; }));
    EXPECT_FALSE(refused([](GlobeLook& look) { look.centreLongitude = 540; }));
}

}  // namespace

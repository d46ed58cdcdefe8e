// The program's compositor against the reference algorithm: byte for byte the same output on a
// matrix of sizes, night modes, cloud maps, cloud factors, centres, moments and thread counts.
#include <cmath>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/dib_factory.h"
#include "render/compositor.h"
#include "render/solar_position.h"
#include "render/utc_clock.h"
#include "test_images.h"
#include "tests/render/reference_compositor.h"

namespace {

enum class NightMode { None, DarkenedDay, Image, SmallerImage };
enum class CloudMode { None, SameSize, Smaller };

struct Size {
    int width;
    int height;
};

struct Case {
    Size size;
    std::tm moment;
    NightMode night;
    CloudMode clouds;
    int cloudFactor;
    double centre;
    int threads;
};

std::string Describe(const Case& c) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%dx%d %04d-%02d-%02d %02d:%02d:%02d night %d clouds %d factor %d centre %.2f threads %d",
                  c.size.width, c.size.height, c.moment.tm_year + 1900, c.moment.tm_mon + 1, c.moment.tm_mday,
                  c.moment.tm_hour, c.moment.tm_min, c.moment.tm_sec, static_cast<int>(c.night),
                  static_cast<int>(c.clouds), c.cloudFactor, c.centre, c.threads);
    return text;
}

// The first moment of a day at which the sun stands as nearly as the clock's seconds allow over
// the left edge of a column of a 360-pixel frame (a whole degree of longitude), so that the
// hour angle there is as near 0 as it gets and the elevation's sine as near 1.
std::tm SunOnAColumn() {
    const std::int64_t midnight = UtcSecondsFromFields(UtcFields(2025, 4, 11, 0, 0, 0));
    std::int64_t best = midnight;
    double nearest = 1.0;
    for (std::int64_t moment = midnight; moment < midnight + 86400; ++moment) {
        const std::tm utc = BreakDownUtc(moment);
        const SunAtMoment sun = ComputeSunAtMoment(utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900,
                                                   utc.tm_hour, utc.tm_min, utc.tm_sec);
        const double longitude = sun.rightAscension - sun.siderealTime;
        const double offColumn = std::abs(longitude - std::round(longitude));
        if (offColumn < nearest) {
            nearest = offColumn;
            best = moment;
        }
    }
    return BreakDownUtc(best);
}

const std::vector<std::tm>& Moments() {
    static const std::vector<std::tm> moments = {
        UtcFields(2000, 1, 1, 12, 0, 0),     // the epoch
        UtcFields(2024, 3, 20, 3, 6, 0),     // March equinox: both poles' rows in twilight
        UtcFields(2024, 6, 21, 12, 0, 0),    // June solstice: polar day in the top rows
        UtcFields(2023, 12, 22, 3, 27, 0),   // December solstice
        UtcFields(1987, 9, 23, 18, 45, 30),  // September equinox of another century's year
        UtcFields(2061, 2, 28, 23, 59, 59),  // before the leap-year switch of March
        SunOnAColumn(),
    };
    return moments;
}

DibImage MakeNight(const Case& c) {
    switch (c.night) {
        case NightMode::Image:
            return MakeImage(c.size.width, c.size.height, NightPattern);
        case NightMode::SmallerImage:
            return MakeImage((c.size.width + 1) / 2, (c.size.height + 1) / 2, NightPattern, true);
        default:
            return DibImage();
    }
}

DibImage MakeClouds(const Case& c) {
    switch (c.clouds) {
        case CloudMode::SameSize:
            return MakeImage(c.size.width, c.size.height, CloudPattern);
        case CloudMode::Smaller:
            return MakeImage((c.size.width + 2) / 3, (c.size.height + 1) / 2, CloudPattern);
        default:
            return DibImage();
    }
}

// Composes the case both ways into copies of the day image and compares every byte.
void ExpectSameFrame(const Case& c, const DibImage& day) {
    const DibImage night = MakeNight(c);
    const DibImage clouds = MakeClouds(c);
    const int darkened = c.night == NightMode::DarkenedDay ? 1 : 0;
    DibImage reference = CopyOf(day);
    ReferenceComposeDayNight(c.moment, day, night, reference, clouds, darkened, c.cloudFactor, c.centre, 2);
    DibImage fast = CopyOf(day);
    ASSERT_EQ(ComposeDayNightOnThreads(c.moment, day, night, fast, clouds, darkened, c.cloudFactor, c.centre,
                                       c.threads),
              1);
    ASSERT_TRUE(fast.Block() == reference.Block()) << Describe(c);
}

constexpr NightMode kNightModes[] = {NightMode::None, NightMode::DarkenedDay, NightMode::Image,
                                     NightMode::SmallerImage};
constexpr CloudMode kCloudModes[] = {CloudMode::None, CloudMode::SameSize, CloudMode::Smaller};
constexpr int kCloudFactors[] = {-100, -37, 0, 10, 55, 100};
constexpr double kCentres[] = {-180.0, 0.0, 90.0, 179.99};

}  // namespace

TEST(FastCompositor, GivesTheReferenceFrameOnSmallFramesForEveryCombination) {
    for (const Size size :
         {Size{1, 1}, Size{1, 2}, Size{2, 1}, Size{2, 2}, Size{7, 3}, Size{64, 2}, Size{97, 37}}) {
        const DibImage day = MakeImage(size.width, size.height, DayPattern);
        int threads = 1;
        for (const std::tm& moment : Moments()) {
            for (const NightMode night : kNightModes) {
                for (const CloudMode clouds : kCloudModes) {
                    for (const int factor : kCloudFactors) {
                        for (const double centre : kCentres) {
                            threads = 3 - threads;
                            ExpectSameFrame({size, moment, night, clouds, factor, centre, threads}, day);
                            if (HasFatalFailure()) {
                                return;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(FastCompositor, GivesTheReferenceFrameOnWholeMaps) {
    // A degree per pixel puts twilight, the poles' rows and the antimeridian on exact rows and
    // columns; an odd width puts every boundary between them.
    int turn = 0;
    for (const Size size : {Size{360, 180}, Size{1001, 37}}) {
        const DibImage day = MakeImage(size.width, size.height, DayPattern);
        for (const std::tm& moment : Moments()) {
            for (const NightMode night : kNightModes) {
                for (const CloudMode clouds : kCloudModes) {
                    ++turn;
                    ExpectSameFrame({size, moment, night, clouds, kCloudFactors[turn % 6], kCentres[turn % 4],
                                     1 + turn % 2},
                                    day);
                    if (HasFatalFailure()) {
                        return;
                    }
                }
            }
        }
    }
}

TEST(FastCompositor, GivesTheReferenceFrameForImagesOfAnyLayout) {
    // The prepared files' form (32 bits with masks), top-down rows, 24-bit and palette images
    // and an output of another size: all through the same pixel rules as the reference.
    const Size size{97, 37};
    const auto makeDib = [&](int width, int height, std::uint16_t bits, bool topDown, bool masks,
                             const PixelPattern& pattern) {
        DibImage image;
        EXPECT_EQ(CreateDib(image, width, height, bits, topDown, masks), 1);
        if (bits <= 8) {
            std::vector<RgbQuad> palette(256);
            for (int index = 0; index < 256; ++index) {
                palette[index] = {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(255 - index),
                                  static_cast<std::uint8_t>(index * 7), 0};
            }
            image.SetPalette(1u << bits, palette.data());
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                image.SetPixelColour(x, y, pattern(x, y));
            }
        }
        return image;
    };
    const DibImage days[] = {
        makeDib(size.width, size.height, 32, false, true, DayPattern),
        makeDib(size.width, size.height, 32, true, false, DayPattern),
        makeDib(size.width, size.height, 24, false, false, DayPattern),
        makeDib(size.width, size.height, 16, true, true, DayPattern),
    };
    const DibImage nights[] = {
        makeDib(size.width, size.height, 24, true, false, NightPattern),
        makeDib(size.width + 5, size.height + 3, 32, false, true, NightPattern),
    };
    const DibImage clouds[] = {
        makeDib(size.width, size.height, 8, false, false, CloudPattern),
        makeDib(size.width / 2, size.height, 32, true, true, CloudPattern),
    };
    int turn = 0;
    for (const DibImage& day : days) {
        for (const DibImage& night : nights) {
            for (const DibImage& cloud : clouds) {
                for (const std::tm& moment : Moments()) {
                    ++turn;
                    const int factor = kCloudFactors[turn % 6];
                    const double centre = kCentres[turn % 4];
                    DibImage reference = CopyOf(day);
                    ReferenceComposeDayNight(moment, day, night, reference, cloud, 0, factor, centre, 1);
                    DibImage fast = CopyOf(day);
                    ASSERT_EQ(ComposeDayNightOnThreads(moment, day, night, fast, cloud, 0, factor, centre, 2),
                              1);
                    ASSERT_TRUE(fast.Block() == reference.Block()) << "turn " << turn;

                    // An output narrower and lower than the frame keeps what lies inside it.
                    DibImage smallReference = MakeImage(50, 20, DayPattern);
                    ReferenceComposeDayNight(moment, day, night, smallReference, cloud, 1, factor, centre, 1);
                    DibImage smallFast = MakeImage(50, 20, DayPattern);
                    ASSERT_EQ(
                        ComposeDayNightOnThreads(moment, day, night, smallFast, cloud, 1, factor, centre, 1),
                        1);
                    ASSERT_TRUE(smallFast.Block() == smallReference.Block()) << "turn " << turn;
                }
            }
        }
    }
}

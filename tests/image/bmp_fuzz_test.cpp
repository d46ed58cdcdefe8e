// Damaged bitmap files, made by changing a few bytes of valid ones at random (a fixed seed, so a
// failure repeats): reading must never crash or reach outside its data (the sanitizer build
// checks every access), and whatever loads must be safe to use to the last pixel.
#include <gtest/gtest.h>

#include <random>

#include "bitmap_test_support.h"
#include "image/dib_factory.h"
#include "image/dib_image.h"

namespace {

std::vector<std::uint8_t> FileOfImage(int width, int height, std::uint16_t depth, bool topDown,
                                      bool withMasks) {
    DibImage image;
    EXPECT_EQ(CreateDib(image, width, height, depth, topDown, withMasks), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetRawPixel(x, y, static_cast<std::uint32_t>(x * 3 + y * 5));
        }
    }
    return BmpFileOf(image.Block(), static_cast<std::uint32_t>(image.PixelDataOffset()));
}

std::vector<std::uint8_t> RleFile(std::uint32_t compression) {
    BitmapInfoHeader header = MakeHeader(9, 6, compression == kCompressionRle8 ? 8 : 4, compression);
    header.clrUsed = 16;
    std::vector<std::uint8_t> afterHeader(16 * 4, 0x40);
    const std::vector<std::uint8_t> stream = {5, 0x12, 0, 0, 0, 5, 1,    2, 3, 4, 5,
                                              0, 0,    2, 2, 1, 3, 0x34, 0, 0, 0, 1};
    afterHeader.insert(afterHeader.end(), stream.begin(), stream.end());
    header.sizeImage = static_cast<std::uint32_t>(stream.size());
    return BmpFileOf(PackBitmap(header, afterHeader), 40 + 64);
}

// The rows or columns of an image to touch: all of them, or for a long side (a damaged RLE header
// can make a tiny file describe millions of pixels) the two at each end and one in the middle,
// which is where any fault in the bounds would show.
std::vector<int> Positions(int count) {
    constexpr int kAllUpTo = 512;
    if (count <= kAllUpTo) {
        std::vector<int> all(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            all[static_cast<std::size_t>(i)] = i;
        }
        return all;
    }
    return {0, 1, count / 2, count - 2, count - 1};
}

// Reads everything a caller might read and writes pixels.
void UseThePixels(DibImage& image) {
    const std::vector<int> columns = Positions(image.Width());
    for (int y : Positions(image.Height())) {
        for (int x : columns) {
            const ColourValue colour = image.GetPixelColour(x, y);
            image.SetPixelColour(x, y, colour == kNoPixel ? 0 : colour ^ 0x010101);
            image.GetRawPixel(x, y);
        }
    }
    RgbQuad entry{};
    for (std::uint32_t i = 0; i < image.PaletteEntries() && i < 300; ++i) {
        image.GetPaletteEntry(i, entry);
    }
    if (image.BitsPerPixel() == 2) {
        DibImage copy;
        ASSERT_EQ(copy.Copy(image), 1);
        EXPECT_EQ(copy.WidenTwoBitToFourBit(), 1);
    }
}

TEST(BmpFuzzTest, DamagedFilesNeverCrashAndWhatLoadsIsSafeToUse) {
    const std::vector<std::vector<std::uint8_t>> seeds = {
        FileOfImage(7, 5, 1, false, false), FileOfImage(7, 5, 2, true, false),
        FileOfImage(7, 5, 4, false, false), FileOfImage(7, 5, 8, true, false),
        FileOfImage(7, 5, 16, false, true), FileOfImage(7, 5, 24, true, false),
        FileOfImage(7, 5, 32, false, true), RleFile(kCompressionRle8),
        RleFile(kCompressionRle4),
    };
    std::mt19937 random(20240621);
    int loaded = 0;
    int tried = 0;
    for (const std::vector<std::uint8_t>& seed : seeds) {
        for (int round = 0; round < 1500; ++round) {
            std::vector<std::uint8_t> bytes = seed;
            const int changes = 1 + static_cast<int>(random() % 6);
            for (int i = 0; i < changes; ++i) {
                // Most damage in the headers, where the sizes live.
                const std::size_t limit =
                    random() % 4 == 0 ? bytes.size() : std::min<std::size_t>(bytes.size(), 70);
                bytes[random() % limit] = static_cast<std::uint8_t>(random());
            }
            if (random() % 8 == 0) {
                bytes.resize(random() % bytes.size());
            }
            DibImage image;
            ++tried;
            if (image.ReadBmpBytes(std::move(bytes)) == 1) {
                ++loaded;
                UseThePixels(image);
            }
        }
    }
    // Both outcomes must have been exercised for the run to mean anything.
    EXPECT_GT(loaded, tried / 10);
    EXPECT_LT(loaded, tried);
}

}  // namespace

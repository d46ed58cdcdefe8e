#include "image/image_decoder.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/jpeg_decoder.h"
#include "tests/image/fixture_path.h"
#include "tests/image/grey_ramp.h"

namespace {

namespace fs = std::filesystem;

// A JPEG of width x height whose left half is one colour and right half another (0xRRGGBB),
// at 4:4:4 so that the halves do not blur into each other; or grey when grey is set.
std::vector<std::uint8_t> MakeJpeg(int width, int height, std::uint32_t left, std::uint32_t right,
                                   bool grey = false) {
    std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = x < width / 2 ? left : right;
            std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
            p[0] = std::uint8_t(colour >> 16);
            p[1] = std::uint8_t(colour >> 8);
            p[2] = std::uint8_t(colour);
        }
    }
    tjhandle compressor = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(compressor, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size,
                                   grey ? TJSAMP_GRAY : TJSAMP_444, 95, 0);
    std::vector<std::uint8_t> bytes;
    if (result == 0) {
        bytes.assign(jpeg, jpeg + size);
    }
    tjFree(jpeg);
    tjDestroy(compressor);
    EXPECT_EQ(result, 0);
    return bytes;
}

// Blue, green and red of a pixel each within tolerance of the colour (0xRRGGBB).
::testing::AssertionResult Near(std::uint32_t pixel, std::uint32_t rgb, int tolerance = 6) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int got = int((pixel >> shift) & 0xFF);
        const int want = int((rgb >> shift) & 0xFF);
        if (std::abs(got - want) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "pixel " << pixel << " is not near " << rgb;
        }
    }
    return ::testing::AssertionSuccess();
}

class DecoderFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orbiscape-decoder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path.string();
    }

    fs::path dir_;
};

TEST(DecodeJpeg, GivesThePictureAtItsOwnSizeTopRowFirst) {
    // Blue over red: the decoder's rows must come top row first.
    const std::vector<std::uint8_t> jpeg = MakeJpeg(40, 24, 0xFF0000, 0x0000FF);
    const std::optional<PixelBuffer> picture = DecodeJpeg(jpeg);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 40);
    EXPECT_EQ(picture->height, 24);
    ASSERT_EQ(picture->pixels.size(), 40u * 24u);
    // Pixel values hold blue in the low byte: red is 0xFF0000 there too.
    EXPECT_TRUE(Near(picture->pixels[5 * 40 + 4], 0xFF0000));
    EXPECT_TRUE(Near(picture->pixels[20 * 40 + 35], 0x0000FF));
    for (std::uint32_t pixel : picture->pixels) {
        ASSERT_EQ(pixel >> 24, 0u);
    }
}

TEST(DecodeJpeg, GreyPicturesComeOutGrey) {
    const std::optional<PixelBuffer> picture = DecodeJpeg(MakeJpeg(16, 16, 0x404040, 0xC0C0C0, true));
    ASSERT_TRUE(picture);
    EXPECT_TRUE(Near(picture->pixels[3], 0x404040, 2));
    EXPECT_TRUE(Near(picture->pixels[16 * 8 + 12], 0xC0C0C0, 2));
}

TEST(DecodeJpeg, TruncatedOrCorruptDataFails) {
    const std::vector<std::uint8_t> jpeg = MakeJpeg(64, 64, 0x102030, 0xA0B0C0);
    ASSERT_TRUE(DecodeJpeg(jpeg));
    // Cut off halfway: the decoder could only fill the rest with grey.
    EXPECT_FALSE(DecodeJpeg(std::span(jpeg).first(jpeg.size() / 2)));
    EXPECT_FALSE(DecodeJpeg(std::span(jpeg).first(jpeg.size() - 2)));  // only the end marker missing
    EXPECT_FALSE(DecodeJpeg(std::span(jpeg).first(20)));
    EXPECT_FALSE(DecodeJpeg({}));
    std::vector<std::uint8_t> garbage(500, 0x5A);
    EXPECT_FALSE(DecodeJpeg(garbage));
    std::vector<std::uint8_t> scrambled = jpeg;
    for (std::size_t i = scrambled.size() / 2; i < scrambled.size() - 2; i += 3) {
        scrambled[i] = 0xFF;  // stray markers in the entropy-coded data
    }
    EXPECT_FALSE(DecodeJpeg(scrambled));
}

TEST(DecodeJpeg, AbsurdDimensionsFailBeforeAllocating) {
    std::vector<std::uint8_t> jpeg = MakeJpeg(16, 8, 0, 0xFFFFFF);
    // The frame header (SOF0: FF C0, length, precision, height, width) holds the size.
    std::size_t sof = 0;
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    }
    ASSERT_NE(sof, 0u);
    for (auto [height, width] : {std::pair{0xFFFF, 0xFFFF}, std::pair{16385, 16384}}) {
        jpeg[sof + 5] = std::uint8_t(height >> 8);
        jpeg[sof + 6] = std::uint8_t(height);
        jpeg[sof + 7] = std::uint8_t(width >> 8);
        jpeg[sof + 8] = std::uint8_t(width);
        EXPECT_FALSE(DecodeJpeg(jpeg)) << width << " x " << height;
    }
}

TEST_F(DecoderFiles, JpegFilesDecodeByTheirName) {
    const std::vector<std::uint8_t> jpeg = MakeJpeg(8, 4, 0x00FF00, 0x00FF00);
    for (const char* name : {"a.jpg", "b.JPEG", "c.jpg.tmp"}) {
        const std::optional<PixelBuffer> picture = DecodeImageFile(Write(name, jpeg).c_str());
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->width, 8);
        EXPECT_TRUE(Near(picture->pixels[0], 0x00FF00));
    }
}

TEST_F(DecoderFiles, NamesWithoutADecoderFail) {
    const std::vector<std::uint8_t> jpeg = MakeJpeg(8, 4, 0, 0);
    for (const char* name : {"a.gif", "a.ico", "a.png", "a.bmp"}) {
        EXPECT_FALSE(DecodeImageFile(Write(name, jpeg).c_str())) << name;
    }
    EXPECT_FALSE(DecodeImageFile((dir_ / "missing.jpg").string().c_str()));
    EXPECT_FALSE(DecodeImageFile(Write("empty.jpg", {}).c_str()));
    EXPECT_FALSE(DecodeImageFile(nullptr));
}

TEST_F(DecoderFiles, TruncatedJpegFileFails) {
    std::vector<std::uint8_t> jpeg = MakeJpeg(64, 32, 0xFF0000, 0x0000FF);
    jpeg.resize(jpeg.size() * 2 / 3);
    EXPECT_FALSE(DecodeImageFile(Write("clouds-new.jpg", jpeg).c_str()));
}

TEST(DecodeImageFile, BitmapsDecodeExactly) {
    const std::optional<PixelBuffer> rgb = DecodeImageFile(Fixture("rgb24-5x3.bmp").c_str());
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->width, 5);
    EXPECT_EQ(rgb->height, 3);
    EXPECT_EQ(rgb->pixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x010203,  //
                                                       0x102030, 0xC86432, 0x000000, 0x7F8081, 0xFA055A,  //
                                                       0x0963C7, 0x3C4650, 0xFFFF00, 0x00FFFF, 0xFF00FF}));

    for (const char* name : {"palette8-3x2.bmp", "palette8-3x2-topdown.bmp"}) {
        const std::optional<PixelBuffer> palette = DecodeImageFile(Fixture(name).c_str());
        ASSERT_TRUE(palette) << name;
        EXPECT_EQ(palette->pixels,
                  (std::vector<std::uint32_t>{0x000000, 0xFF8000, 0x0A141E, 0xFFFFFF, 0x0A141E, 0xFF8000}))
            << name;
    }
}

TEST(DecodeImageFile, TheCommittedJpegDecodes) {
    const std::optional<PixelBuffer> picture = DecodeImageFile(Fixture("red-blue-64x32.jpg").c_str());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 64);
    EXPECT_EQ(picture->height, 32);
    EXPECT_TRUE(Near(picture->pixels[10 * 64 + 8], 0xFF0000));
    EXPECT_TRUE(Near(picture->pixels[20 * 64 + 56], 0x0000FF));
}

TEST(DecodeImageFile, TheCommittedOneChannelJpegDecodesGrey) {
    const std::optional<PixelBuffer> picture = DecodeImageFile(Fixture(kGreyRampFixture).c_str());
    ASSERT_TRUE(picture);
    EXPECT_TRUE(IsGreyRamp(*picture));
}

}  // namespace

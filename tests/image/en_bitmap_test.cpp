#include "image/en_bitmap_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "image/dib_pixels.h"
#include "image/gdi_pixels_win.h"
#include "image/image_resizer.h"
#include "image/picture_rows.h"
#include "image/processor_chain.h"
#include "tests/image/fixture_path.h"
#include "tests/image/grey_ramp.h"

namespace {

ImageSize SizeOf(const CBitmap& bitmap) {
    BITMAP info{};
    EXPECT_EQ(bitmap.GetBitmap(&info), 1);
    return {info.bmWidth, info.bmHeight};
}

PixelBuffer PixelsOf(const CBitmap& bitmap) {
    PixelBuffer pixels;
    EXPECT_EQ(ReadBitmapPixels(bitmap.GetSafeHandle(), pixels), 1);
    for (std::uint32_t& pixel : pixels.pixels) {
        pixel &= 0xFFFFFFu;  // the fourth byte carries no meaning
    }
    return pixels;
}

// The file read by the portable bitmap reader, as the native build decodes it.
PixelBuffer PortablePixels(const std::string& file) {
    DibImage image;
    PixelBuffer pixels;
    EXPECT_EQ(image.ReadBmpFile(file.c_str()), 1);
    EXPECT_EQ(PixelsFromDib(image, pixels), 1);
    return pixels;
}

::testing::AssertionResult Near(std::uint32_t pixel, std::uint32_t rgb, int tolerance = 6) {
    for (int shift = 0; shift <= 16; shift += 8) {
        if (std::abs(int((pixel >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "pixel " << pixel << " is not near " << rgb;
        }
    }
    return ::testing::AssertionSuccess();
}

HBITMAP MakeBitmap(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST(CBitmap, OwnsOneBitmapAtATime) {
    CBitmap bitmap;
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    BITMAP info{};
    EXPECT_EQ(bitmap.GetBitmap(&info), 0);
    EXPECT_EQ(bitmap.Attach(nullptr), 0);

    const HBITMAP first = MakeBitmap(3, 2);
    const HBITMAP second = MakeBitmap(4, 4);
    ASSERT_EQ(bitmap.Attach(first), 1);
    EXPECT_EQ(bitmap.Attach(second), 0);  // refused: the caller still owns the second
    EXPECT_EQ(bitmap.GetSafeHandle(), first);
    EXPECT_EQ(SizeOf(bitmap), (ImageSize{3, 2}));

    EXPECT_EQ(bitmap.Detach(), first);
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    EXPECT_NE(GetObjectA(first, sizeof info, &info), 0);  // detached, not deleted
    DeleteObject(first);

    ASSERT_EQ(bitmap.Attach(second), 1);
    EXPECT_EQ(bitmap.DeleteObject(), 1);
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    EXPECT_EQ(GetObjectA(second, sizeof info, &info), 0);
    EXPECT_EQ(bitmap.DeleteObject(), 0);
}

TEST(CBitmap, DestructorDeletesTheBitmap) {
    const HBITMAP handle = MakeBitmap(2, 2);
    {
        CBitmap bitmap;
        ASSERT_EQ(bitmap.Attach(handle), 1);
    }
    BITMAP info{};
    EXPECT_EQ(GetObjectA(handle, sizeof info, &info), 0);
}

TEST(CEnBitmap, LoadsJpegFilesAtTheirPixelSize) {
    for (const auto& [file, size] : {std::pair{Fixture("red-blue-64x32.jpg"), ImageSize{64, 32}},
                                     std::pair{SourcePath("data/clouds.jpg"), ImageSize{2048, 1024}},
                                     std::pair{SourcePath("data/00-2560.jpg"), ImageSize{2560, 1280}}}) {
        CEnBitmap bitmap;
        ASSERT_EQ(bitmap.LoadImageFile(file.c_str()), 1) << file;
        EXPECT_EQ(SizeOf(bitmap), size) << file;
    }
    CEnBitmap bitmap;
    ASSERT_EQ(bitmap.LoadImageFile(Fixture("red-blue-64x32.jpg").c_str()), 1);
    const PixelBuffer pixels = PixelsOf(bitmap);
    EXPECT_TRUE(Near(pixels.pixels[10 * 64 + 8], 0xFF0000));  // red, upright: the top row is first
    EXPECT_TRUE(Near(pixels.pixels[20 * 64 + 56], 0x0000FF));
}

TEST(CEnBitmap, LoadsOneChannelJpegFilesAsGrey) {
    CEnBitmap bitmap;
    ASSERT_EQ(bitmap.LoadImageFile(Fixture(kGreyRampFixture).c_str()), 1);
    EXPECT_TRUE(IsGreyRamp(PixelsOf(bitmap)));
}

// The preparation reads JPEG files through the imaging component a band at a time; its pixels
// must be the picture loader's, or a frame would depend on the way its map was read.
TEST(PictureRows, GiveThePictureLoadersPixelsInAnyBand) {
    for (const std::string& file : {SourcePath("data/03-2560.jpg"), SourcePath("data/13-2560.jpg"),
                                    SourcePath("data/clouds.jpg"), Fixture(kGreyRampFixture),
                                    Fixture("transparent-4x2.gif")}) {
        CEnBitmap bitmap;
        ASSERT_EQ(bitmap.LoadImageFile(file.c_str()), 1) << file;
        const PixelBuffer loaded = PixelsOf(bitmap);
        const std::unique_ptr<PictureRows> rows = OpenPictureRows(file.c_str());
        ASSERT_NE(rows, nullptr) << file;
        ASSERT_EQ(rows->Size(), (ImageSize{loaded.width, loaded.height})) << file;
        // Bands of uneven heights, bottom first, as the preparation reads them.
        std::vector<std::uint32_t> read(loaded.pixels.size());
        for (int end = loaded.height, band = 1; end > 0; end -= band, band = band * 3 % 97 + 1) {
            const int first = std::max(0, end - band);
            ASSERT_TRUE(rows->Read(first, end - first,
                                   std::span(read).subspan(std::size_t(first) * loaded.width)))
                << file;
        }
        EXPECT_TRUE(read == loaded.pixels) << file;
        std::vector<std::uint32_t> row(std::size_t(loaded.width));
        EXPECT_FALSE(rows->Read(loaded.height, 1, row)) << "no row beyond the picture";
    }
    EXPECT_EQ(OpenPictureRows(Fixture("missing.jpg").c_str()), nullptr);
}

TEST(CEnBitmap, LoadsBitmapFilesExactlyAsThePortableReaderDoes) {
    // Bottom-up files only: Wine's LoadImage reads top-down files as black.
    for (const char* name : {"rgb24-5x3.bmp", "palette8-3x2.bmp"}) {
        CEnBitmap bitmap;
        ASSERT_EQ(bitmap.LoadImageFile(Fixture(name).c_str()), 1) << name;
        const PixelBuffer loaded = PixelsOf(bitmap);
        const PixelBuffer portable = PortablePixels(Fixture(name));
        EXPECT_EQ(loaded.width, portable.width) << name;
        EXPECT_EQ(loaded.height, portable.height) << name;
        EXPECT_EQ(loaded.pixels, portable.pixels) << name;
    }
}

TEST(CEnBitmap, TransparentAreasShowTheBackground) {
    CEnBitmap white;
    ASSERT_EQ(white.LoadImageFile(Fixture("transparent-4x2.gif").c_str()), 1);
    EXPECT_EQ(PixelsOf(white).pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                                                  0xFFFFFF, 0xFFFFFF, 0x00FF00, 0xFF0000}));

    CEnBitmap blue;
    blue.SetBackgroundColour(0xFF0000);  // a colour value: blue in bits 16-23
    ASSERT_EQ(blue.LoadImageFile(Fixture("transparent-4x2.gif").c_str()), 1);
    const PixelBuffer pixels = PixelsOf(blue);
    EXPECT_EQ(pixels.pixels[0], 0x0000FFu);
    EXPECT_EQ(pixels.pixels[5], 0x0000FFu);
    EXPECT_EQ(pixels.pixels[2], 0xFF0000u);
}

TEST(CEnBitmap, RefusesASecondLoadAndKeepsTheFirst) {
    CEnBitmap bitmap;
    ASSERT_EQ(bitmap.LoadImageFile(Fixture("rgb24-5x3.bmp").c_str()), 1);
    const HBITMAP first = bitmap.GetSafeHandle();
    EXPECT_EQ(bitmap.LoadImageFile(Fixture("red-blue-64x32.jpg").c_str()), 0);
    EXPECT_EQ(bitmap.GetSafeHandle(), first);
    EXPECT_EQ(SizeOf(bitmap), (ImageSize{5, 3}));
}

TEST(CEnBitmap, FilesWithoutADecoderOrUnreadableFail) {
    for (const std::string& file :
         {Fixture("missing.jpg"), Fixture("missing.bmp"), Fixture("make_fixtures.py"), std::string(".jpg"),
          Fixture("red-blue-64x32.jpg") + ".png"}) {
        CEnBitmap bitmap;
        EXPECT_EQ(bitmap.LoadImageFile(file.c_str()), 0) << file;
        EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    }
    CEnBitmap bitmap;
    EXPECT_EQ(bitmap.LoadImageFile(nullptr), 0);
}

TEST(CEnBitmap, ResizeGivesTheChainsPixelsAtTheComputedSize) {
    for (double factor : {0.5, 0.4, 1.0, 2.0, 1.25}) {
        CEnBitmap bitmap;
        ASSERT_EQ(bitmap.LoadImageFile(Fixture("red-blue-64x32.jpg").c_str()), 1);
        PixelBuffer expected = PixelsOf(bitmap);
        CImageResizer resizer(factor);
        ASSERT_EQ(RunProcessorChain(expected, {&resizer}, 0xFFFFFF), 1);

        ASSERT_EQ(bitmap.ResizeImage(factor), 1) << factor;
        EXPECT_EQ(SizeOf(bitmap), (ImageSize{expected.width, expected.height})) << factor;
        for (std::uint32_t& pixel : expected.pixels) {
            pixel &= 0xFFFFFFu;
        }
        EXPECT_EQ(PixelsOf(bitmap).pixels, expected.pixels) << factor;
    }
}

TEST(CEnBitmap, FailedProcessingKeepsThePreviousBitmap) {
    CEnBitmap bitmap;
    ASSERT_EQ(bitmap.LoadImageFile(Fixture("rgb24-5x3.bmp").c_str()), 1);
    const HBITMAP before = bitmap.GetSafeHandle();
    const PixelBuffer pixels = PixelsOf(bitmap);
    for (double factor : {0.0, -1.0, 0.01, 1e6}) {
        EXPECT_EQ(bitmap.ResizeImage(factor), 0) << factor;
        EXPECT_EQ(bitmap.GetSafeHandle(), before);
    }
    EXPECT_EQ(bitmap.ProcessImage({nullptr}), 0);
    EXPECT_EQ(bitmap.ProcessImage({}), 1);
    EXPECT_EQ(bitmap.GetSafeHandle(), before);
    EXPECT_EQ(PixelsOf(bitmap).pixels, pixels.pixels);

    CEnBitmap empty;
    EXPECT_EQ(empty.ResizeImage(0.5), 0);
    EXPECT_EQ(empty.ProcessImage({}), 0);
}

}  // namespace

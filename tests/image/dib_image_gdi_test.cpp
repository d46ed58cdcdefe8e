// The GDI side under Wine: conversions from device-dependent bitmaps and DIB sections, back to
// sections, and bitmap files as the system's own loader sees them.
#include "image/dib_image_gdi.h"

#include <gtest/gtest.h>

#include <cstring>

#include "bitmap_test_support.h"
#include "framework/gdi_owners_win.h"
#include "image/dib_factory.h"
#include "image/last_error.h"

namespace {

// Red in the low byte, as GDI's COLORREF.
constexpr ColourValue kColours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x102030, 0xFFFFFF, 0x000000, 0x808080};

ColourValue ColourAt(int x, int y) {
    return kColours[(x + 2 * y) % std::size(kColours)];
}

// A screen-compatible bitmap painted with the colour pattern.
OwnedBitmap PaintedDeviceBitmap(int width, int height) {
    OwnedWindowDc screen;
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    OwnedMemoryDc dc(screen.Get());
    ScopedSelection selection(dc.Get(), bitmap.Get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc.Get(), x, y, ColourAt(x, y));
        }
    }
    return bitmap;
}

DibImage PatternImage(int width, int height, std::uint16_t depth, bool topDown) {
    DibImage image;
    EXPECT_EQ(CreateDib(image, width, height, depth, topDown), 1);
    if (image.PaletteEntries() != 0) {
        image.SetPalette(image.PaletteEntries(), GreyPalette(image.PaletteEntries()).data());
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetRawPixel(x, y, static_cast<std::uint32_t>(x * 37 + y * 11) * 0x01030507u);
        }
    }
    return image;
}

void ExpectSamePixels(const DibImage& actual, const DibImage& expected) {
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            ASSERT_EQ(actual.GetPixelColour(x, y), expected.GetPixelColour(x, y)) << x << "," << y;
        }
    }
}

// The rows of a DIB section made from the image, from the top, against the image's. The section's
// memory keeps the image's row order (its description reports the height without the sign).
void ExpectSectionHoldsImage(HBITMAP bitmap, const DibImage& image) {
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, image.Width());
    EXPECT_EQ(section.dsBm.bmHeight, image.Height());
    EXPECT_EQ(section.dsBmih.biBitCount, image.BitsPerPixel());
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const std::size_t stride = section.dsBm.bmWidthBytes;
    const bool topDown = image.Header()->height < 0;
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = bits + stride * (topDown ? y : image.Height() - 1 - y);
        EXPECT_EQ(std::memcmp(row, image.Row(y), stride), 0) << "row " << y;
    }
}

TEST(FromGdiBitmapTest, ADeviceBitmapBecomesABottomUpBitFieldImage) {
    OwnedBitmap bitmap = PaintedDeviceBitmap(7, 5);
    DibImage image;
    ASSERT_EQ(FromGdiBitmap(image, bitmap.Get()), 1);
    EXPECT_EQ(image.Width(), 7);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_EQ(image.BitsPerPixel(), 32);  // the screen of the test display
    EXPECT_GT(image.Header()->height, 0);
    EXPECT_EQ(image.Header()->compression, kCompressionBitfields);
    EXPECT_EQ(image.RedMask(), 0xFF0000u);
    EXPECT_EQ(image.GreenMask(), 0x00FF00u);
    EXPECT_EQ(image.BlueMask(), 0x0000FFu);
    EXPECT_EQ(image.PixelDataOffset(), 52u);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(image.GetPixelColour(x, y), ColourAt(x, y)) << x << "," << y;
        }
    }
}

TEST(FromGdiBitmapTest, AMonochromeDeviceBitmapGetsItsTwoColourTable) {
    const std::uint16_t rows[2] = {0x00A0, 0x0050};  // word-aligned rows: 1010..., 0101...
    OwnedBitmap bitmap(CreateBitmap(4, 2, 1, 1, rows));
    DibImage image;
    ASSERT_EQ(FromGdiBitmap(image, bitmap.Get()), 1);
    EXPECT_EQ(image.BitsPerPixel(), 1);
    EXPECT_EQ(image.PaletteEntries(), 2u);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0xFFFFFFu);
    EXPECT_EQ(image.GetPixelColour(1, 0), 0u);
    EXPECT_EQ(image.GetPixelColour(0, 1), 0u);
    EXPECT_EQ(image.GetPixelColour(1, 1), 0xFFFFFFu);
}

TEST(FromGdiBitmapTest, ADibSectionLendsItsHeaderMasksAndColourTable) {
    for (std::uint16_t depth : std::initializer_list<std::uint16_t>{4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            DibImage source = PatternImage(9, 4, depth, topDown);
            OwnedBitmap section(ToGdiBitmap(source));
            ASSERT_TRUE(section);
            DibImage image;
            ASSERT_EQ(FromGdiBitmap(image, section.Get()), 1) << depth;
            EXPECT_EQ(image.PaletteEntries(), source.PaletteEntries());
            EXPECT_EQ(image.PixelDataOffset(), source.PixelDataOffset());
            ExpectSamePixels(image, source);
        }
    }
    // 5-6-5 masks come along.
    ChannelMasks masks{0xF800, 0x07E0, 0x001F};
    std::vector<std::uint8_t> afterHeader(12 + 16, 0);
    std::memcpy(afterHeader.data(), &masks, sizeof masks);
    DibImage fiveSixFive;
    ASSERT_EQ(fiveSixFive.Attach(PackBitmap(MakeHeader(3, 2, 16, kCompressionBitfields), afterHeader)), 1);
    fiveSixFive.SetPixelColour(2, 1, 0x00FCFCFC);
    OwnedBitmap section(ToGdiBitmap(fiveSixFive));
    ASSERT_TRUE(section);
    DibImage image;
    ASSERT_EQ(FromGdiBitmap(image, section.Get()), 1);
    EXPECT_EQ(image.GreenMask(), 0x07E0u);
    EXPECT_EQ(image.GetRawPixel(2, 1), 0xFFFFu);
}

TEST(FromGdiBitmapTest, RefusesWhatItCannotConvert) {
    OwnedBitmap bitmap = PaintedDeviceBitmap(2, 2);
    SetImageLastError(LastError::None);
    DibImage image;
    EXPECT_EQ(FromGdiBitmap(image, nullptr), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    EXPECT_EQ(FromGdiBitmap(image, reinterpret_cast<HBITMAP>(GetStockObject(BLACK_PEN))), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_EQ(FromGdiBitmap(image, reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(0x1234))), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_FALSE(image.HasPixels());
    ASSERT_EQ(FromGdiBitmap(image, bitmap.Get()), 1);
    EXPECT_EQ(FromGdiBitmap(image, bitmap.Get()), 0);
    EXPECT_EQ(GetImageLastError(), LastError::AlreadyInitialized);
}

TEST(ToGdiBitmapTest, TheSectionHoldsTheImageAtEveryDepthAndRowOrder) {
    for (std::uint16_t depth : std::initializer_list<std::uint16_t>{1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            DibImage image = PatternImage(13, 6, depth, topDown);
            OwnedBitmap section(ToGdiBitmap(image));
            ASSERT_TRUE(section) << depth;
            ExpectSectionHoldsImage(section.Get(), image);
            DibImage back;
            ASSERT_EQ(FromGdiBitmap(back, section.Get()), 1);
            ExpectSamePixels(back, image);
        }
    }
    SetImageLastError(LastError::None);
    DibImage empty;
    EXPECT_EQ(ToGdiBitmap(empty), nullptr);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
}

TEST(ToGdiBitmapTest, TwoBitImagesAreWidenedInPlace) {
    DibImage image = PatternImage(6, 3, 2, false);
    DibImage original;
    ASSERT_EQ(original.Copy(image), 1);
    OwnedBitmap section(ToGdiBitmap(image));
    ASSERT_TRUE(section);
    EXPECT_EQ(image.BitsPerPixel(), 4);
    ExpectSectionHoldsImage(section.Get(), image);
    ExpectSamePixels(image, original);
}

TEST(ToGdiBitmapTest, ABitmapThatGdiCannotMakeLeavesTheImageAsItWas) {
    // Deeper than 32 bits: readable here, but no DIB section has it.
    DibImage image;
    ASSERT_EQ(image.Attach(PackBitmap(MakeHeader(2, 2, 64), std::vector<std::uint8_t>(32, 7))), 1);
    const DibBlock before = image.Block();
    EXPECT_EQ(ToGdiBitmap(image), nullptr);
    EXPECT_EQ(image.Block(), before);
}

TEST(LoadBmpFileTest, ReturnsASectionOfThePixelsRead) {
    ScratchFolder folder;
    const std::string name = folder.File("loaded.bmp");
    for (bool topDown : {false, true}) {
        DibImage saved = PatternImage(10, 7, 24, topDown);
        ASSERT_EQ(saved.SaveBmpFile(name.c_str()), 1);
        DibImage image;
        OwnedBitmap section(LoadBmpFile(image, name.c_str()));
        ASSERT_TRUE(section);
        EXPECT_EQ(image.Block(), saved.Block());
        ExpectSectionHoldsImage(section.Get(), image);
    }
    DibImage image;
    OwnedBitmap section(LoadBmpFile(image, name.c_str()));

    // A second load into the same image, and a file that is not there, give nothing.
    SetImageLastError(LastError::None);
    EXPECT_EQ(LoadBmpFile(image, name.c_str()), nullptr);
    EXPECT_EQ(GetImageLastError(), LastError::AlreadyInitialized);
    DibImage other;
    EXPECT_EQ(LoadBmpFile(other, folder.File("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(LoadBmpFile(other, nullptr), nullptr);
    EXPECT_FALSE(other.HasPixels());
}

TEST(LoadBmpFileTest, RleFilesGiveTheirDecodedPixels) {
    ScratchFolder folder;
    const std::string name = folder.File("rle.bmp");
    BitmapInfoHeader header = MakeHeader(4, 2, 8, kCompressionRle8);
    header.clrUsed = 2;
    const std::vector<std::uint8_t> stream = {4, 1, 0, 0, 0, 4, 0, 1, 1, 0, 0, 1};
    header.sizeImage = static_cast<std::uint32_t>(stream.size());
    std::vector<std::uint8_t> afterHeader(8 + stream.size(), 0);
    std::fill(afterHeader.begin() + 4, afterHeader.begin() + 7, std::uint8_t{255});
    std::copy(stream.begin(), stream.end(), afterHeader.begin() + 8);
    WriteBytes(name, BmpFileOf(PackBitmap(header, afterHeader), 48));
    DibImage image;
    OwnedBitmap section(LoadBmpFile(image, name.c_str()));
    ASSERT_TRUE(section);
    ExpectSectionHoldsImage(section.Get(), image);
    EXPECT_EQ(image.GetPixelColour(0, 0), 0u);
    EXPECT_EQ(image.GetPixelColour(1, 0), 0xFFFFFFu);
    EXPECT_EQ(image.GetPixelColour(0, 1), 0xFFFFFFu);
}

// The system's own loader reads what SaveBmpFile wrote, pixel for pixel. Bottom-up files only:
// Wine's loader gives blank pixels for any top-down file (the program's own loader has no such
// gap, and the program writes bottom-up files).
TEST(SaveBmpFileTest, TheSystemLoaderReadsTheFilesBackIdentically) {
    ScratchFolder folder;
    for (std::uint16_t depth : std::initializer_list<std::uint16_t>{1, 4, 8, 24, 32}) {
        SCOPED_TRACE(testing::Message() << depth << " bits");
        const std::string name = folder.File("system.bmp");
        DibImage saved = PatternImage(11, 5, depth, false);
        ASSERT_EQ(saved.SaveBmpFile(name.c_str()), 1);
        OwnedBitmap loaded(static_cast<HBITMAP>(
            LoadImageA(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        ASSERT_TRUE(loaded);
        DibImage image;
        ASSERT_EQ(FromGdiBitmap(image, loaded.Get()), 1);
        ExpectSamePixels(image, saved);
    }
    DibImage masked;
    ASSERT_EQ(CreateDib(masked, 5, 3, 32, false, true), 1);
    for (int x = 0; x < 5; ++x) {
        masked.SetPixelColour(x, 1, ColourAt(x, 1));
    }
    const std::string name = folder.File("masked.bmp");
    ASSERT_EQ(masked.SaveBmpFile(name.c_str()), 1);
    OwnedBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(loaded);
    DibImage image;
    ASSERT_EQ(FromGdiBitmap(image, loaded.Get()), 1);
    ExpectSamePixels(image, masked);
}

}  // namespace

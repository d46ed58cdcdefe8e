#include "image/dib_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "bitmap_test_support.h"
#include "image/dib_factory.h"
#include "image/last_error.h"

namespace {

// A 3 x 2 image at 8 bits whose stored bytes are 1, 2, 3 (first stored row) and 4, 5, 6.
DibBlock StoredRowsBlock(int height) {
    std::vector<std::uint8_t> afterHeader(4 * 256, 0);
    const std::vector<std::uint8_t> rows = {1, 2, 3, 0, 4, 5, 6, 0};
    afterHeader.insert(afterHeader.end(), rows.begin(), rows.end());
    return PackBitmap(MakeHeader(3, height, 8), afterHeader);
}

TEST(DibImageAttachTest, FillsEveryField) {
    DibImage image;
    ASSERT_EQ(image.Attach(StoredRowsBlock(2)), 1);
    EXPECT_TRUE(image.HasPixels());
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.BitsPerPixel(), 8);
    EXPECT_EQ(image.PaletteEntries(), 256u);
    EXPECT_EQ(image.PixelDataOffset(), 40u + 1024);
    EXPECT_EQ(image.PackedSize(), 40u + 1024 + 8);
    EXPECT_EQ(image.Header(), reinterpret_cast<const BitmapInfoHeader*>(image.Block().data()));
}

TEST(DibImageAttachTest, RowZeroIsTheTopOfThePictureInBothRowOrders) {
    DibImage bottomUp;
    ASSERT_EQ(bottomUp.Attach(StoredRowsBlock(2)), 1);
    // Bottom-up: the last stored row is the top.
    EXPECT_EQ(bottomUp.Row(0)[0], 4);
    EXPECT_EQ(bottomUp.Row(1)[0], 1);
    EXPECT_EQ(bottomUp.GetRawPixel(2, 0), 6u);

    DibImage topDown;
    ASSERT_EQ(topDown.Attach(StoredRowsBlock(-2)), 1);
    EXPECT_EQ(topDown.Row(0)[0], 1);
    EXPECT_EQ(topDown.Row(1)[0], 4);
    EXPECT_EQ(topDown.GetRawPixel(2, 0), 3u);
    EXPECT_EQ(topDown.Height(), 2);
    EXPECT_EQ(topDown.Row(2), nullptr);
    EXPECT_EQ(topDown.Row(-1), nullptr);
}

TEST(DibImageAttachTest, RefusesWhatItCannotHoldAndKeepsWhatItHas) {
    SetImageLastError(LastError::None);
    DibImage image;
    EXPECT_EQ(image.Attach(DibBlock()), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_EQ(image.Attach(DibBlock(39)), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);

    BitmapInfoHeader v4 = MakeHeader(3, 2, 32);
    v4.size = 108;
    EXPECT_EQ(image.Attach(PackBitmap(v4, std::vector<std::uint8_t>(200))), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);

    // One byte short of the last row.
    DibBlock shortBlock = StoredRowsBlock(2);
    shortBlock.pop_back();
    EXPECT_EQ(image.Attach(std::move(shortBlock)), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    EXPECT_FALSE(image.HasPixels());

    ASSERT_EQ(image.Attach(StoredRowsBlock(2)), 1);
    EXPECT_EQ(image.Attach(StoredRowsBlock(-2)), 0);
    EXPECT_EQ(GetImageLastError(), LastError::AlreadyInitialized);
    EXPECT_EQ(image.GetRawPixel(0, 0), 4u);
}

TEST(DibImageAttachTest, EveryRowMustBePresentWhateverTheImageSizeSays) {
    BitmapInfoHeader header = MakeHeader(3, 2, 32);
    header.sizeImage = 4;
    DibImage image;
    EXPECT_EQ(image.Attach(PackBitmap(header, std::vector<std::uint8_t>(4))), 0);
    EXPECT_EQ(image.Attach(PackBitmap(header, std::vector<std::uint8_t>(23))), 0);
    EXPECT_EQ(image.Attach(PackBitmap(header, std::vector<std::uint8_t>(24))), 1);
    EXPECT_EQ(image.PackedSize(), 44u);
}

TEST(DibImageOwnershipTest, DetachHandsTheBlockBackAndEmpties) {
    DibImage image;
    const DibBlock original = StoredRowsBlock(2);
    ASSERT_EQ(image.Attach(original), 1);
    EXPECT_EQ(image.Detach(), original);
    EXPECT_FALSE(image.HasPixels());
    EXPECT_EQ(image.Header(), nullptr);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(image.BitsPerPixel(), 0);
    EXPECT_EQ(image.PaletteEntries(), 0u);
    EXPECT_EQ(image.PackedSize(), 0u);
    EXPECT_EQ(image.GetRawPixel(0, 0), kNoPixel);
    // Empty again, so it takes a new block.
    EXPECT_EQ(image.Attach(original), 1);
    image.Destroy();
    EXPECT_FALSE(image.HasPixels());
    EXPECT_EQ(image.RedMask(), 0u);
}

TEST(DibImageOwnershipTest, CopyIsByteForByteAndIndependent) {
    DibImage source;
    ASSERT_EQ(CreateDib(source, 5, 4, 32, false, true), 1);
    source.SetPixelColour(1, 2, 0x123456);
    DibImage copy;
    ASSERT_EQ(copy.Copy(source), 1);
    EXPECT_EQ(copy.Block(), source.Block());
    EXPECT_EQ(copy.GetPixelColour(1, 2), 0x123456u);
    EXPECT_EQ(copy.RedMask(), source.RedMask());
    copy.SetPixelColour(1, 2, 0);
    EXPECT_EQ(source.GetPixelColour(1, 2), 0x123456u);

    SetImageLastError(LastError::None);
    EXPECT_EQ(copy.Copy(source), 0);
    EXPECT_EQ(GetImageLastError(), LastError::AlreadyInitialized);
    DibImage empty;
    DibImage target;
    EXPECT_EQ(target.Copy(empty), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_FALSE(target.HasPixels());
}

TEST(DibImageOwnershipTest, MovingKeepsRowsValidAndEmptiesTheSource) {
    DibImage source;
    ASSERT_EQ(CreateDib(source, 4, 3, 24, true), 1);
    source.SetPixelColour(3, 2, 0xABCDEF);
    DibImage moved(std::move(source));
    EXPECT_FALSE(source.HasPixels());
    EXPECT_EQ(moved.GetPixelColour(3, 2), 0xABCDEFu);
    DibImage assigned;
    ASSERT_EQ(CreateDib(assigned, 1, 1, 8, false), 1);
    assigned = std::move(moved);
    EXPECT_FALSE(moved.HasPixels());
    EXPECT_EQ(assigned.Width(), 4);
    EXPECT_EQ(assigned.GetPixelColour(3, 2), 0xABCDEFu);
}

// A 2 x 1 bit-field image with the given masks after the header.
DibBlock MaskedBlock(std::uint16_t bitCount, ChannelMasks masks) {
    std::vector<std::uint8_t> afterHeader(sizeof masks + 8, 0);
    std::memcpy(afterHeader.data(), &masks, sizeof masks);
    return PackBitmap(MakeHeader(2, 1, bitCount, kCompressionBitfields), afterHeader);
}

TEST(DibImageMaskTest, LayoutsWithoutMasksGetTheDefaults) {
    DibImage sixteen;
    ASSERT_EQ(CreateDib(sixteen, 2, 2, 16, false), 1);
    EXPECT_EQ(sixteen.RedMask(), 0x7C00u);
    EXPECT_EQ(sixteen.GreenMask(), 0x03E0u);
    EXPECT_EQ(sixteen.BlueMask(), 0x001Fu);
    EXPECT_EQ(sixteen.RedShift(), 10);
    EXPECT_EQ(sixteen.GreenShift(), 5);
    EXPECT_EQ(sixteen.BlueShift(), 0);
    EXPECT_EQ(sixteen.RedLoss(), 3);
    EXPECT_EQ(sixteen.GreenLoss(), 3);
    EXPECT_EQ(sixteen.BlueLoss(), 3);

    DibImage thirtyTwo;
    ASSERT_EQ(CreateDib(thirtyTwo, 2, 2, 32, false), 1);
    EXPECT_EQ(thirtyTwo.RedMask(), 0xFF0000u);
    EXPECT_EQ(thirtyTwo.RedShift(), 16);
    EXPECT_EQ(thirtyTwo.GreenShift(), 8);
    EXPECT_EQ(thirtyTwo.RedLoss(), 0);

    DibImage palette;
    ASSERT_EQ(CreateDib(palette, 2, 2, 8, false), 1);
    EXPECT_EQ(palette.RedMask(), 0u);
}

TEST(DibImageMaskTest, ZeroRedAndGreenMasksBecomeTheDefaultsInTheBlockToo) {
    DibImage image;
    ASSERT_EQ(image.Attach(MaskedBlock(32, {0, 0, 0})), 1);
    EXPECT_EQ(image.RedMask(), 0xFF0000u);
    ChannelMasks written;
    std::memcpy(&written, image.Block().data() + kInfoHeaderSize, sizeof written);
    EXPECT_EQ(written.red, 0xFF0000u);
    EXPECT_EQ(written.green, 0x00FF00u);
    EXPECT_EQ(written.blue, 0x0000FFu);

    DibImage sixteen;
    ASSERT_EQ(sixteen.Attach(MaskedBlock(16, {0, 0, 0x1F})), 1);
    EXPECT_EQ(sixteen.GreenMask(), 0x03E0u);
}

TEST(DibImageMaskTest, StoredMasksGiveTheirShiftsAndLosses) {
    DibImage image;
    ASSERT_EQ(image.Attach(MaskedBlock(16, {0xF800, 0x07E0, 0x001F})), 1);
    EXPECT_EQ(image.RedShift(), 11);
    EXPECT_EQ(image.GreenShift(), 5);
    EXPECT_EQ(image.BlueShift(), 0);
    EXPECT_EQ(image.RedLoss(), 3);
    EXPECT_EQ(image.GreenLoss(), 2);
    EXPECT_EQ(image.BlueLoss(), 3);

    // Only red given: green and blue read as 0.
    DibImage redOnly;
    ASSERT_EQ(redOnly.Attach(MaskedBlock(32, {0xFF000000, 0, 0})), 1);
    EXPECT_EQ(redOnly.RedShift(), 24);
    EXPECT_EQ(redOnly.GreenShift(), 0);
    EXPECT_EQ(redOnly.GreenLoss(), 0);
}

}  // namespace

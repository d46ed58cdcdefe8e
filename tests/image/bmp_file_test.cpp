#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "bitmap_test_support.h"
#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "image/file_io.h"
#include "image/last_error.h"

namespace {

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

// An image at the depth with every pixel set to a pattern (and a grey table when it has one).
DibImage PatternImage(int width, int height, std::uint16_t depth, bool topDown, bool withMasks = false) {
    DibImage image;
    EXPECT_EQ(CreateDib(image, width, height, depth, topDown, withMasks), 1);
    if (image.PaletteEntries() != 0) {
        image.SetPalette(image.PaletteEntries(), GreyPalette(image.PaletteEntries()).data());
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetRawPixel(x, y, static_cast<std::uint32_t>(x * 31 + y * 17) * 0x01030507u);
        }
    }
    return image;
}

class BmpFileTest : public ::testing::Test {
  protected:
    ScratchFolder folder_;
};

TEST_F(BmpFileTest, SavedFileHeaderCountsMasksAndPixels) {
    const int width = 3;
    const int height = 2;
    DibImage plain = PatternImage(width, height, 32, false);
    const std::string plainName = folder_.File("plain.bmp");
    ASSERT_EQ(plain.SaveBmpFile(plainName.c_str()), 1);
    std::vector<std::uint8_t> file = ReadBytes(plainName);
    ASSERT_EQ(file.size(), 54u + 4 * width * height);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(LittleEndian32(file, 2), file.size());
    EXPECT_EQ(LittleEndian32(file, 6), 0u);
    EXPECT_EQ(LittleEndian32(file, 10), 54u);

    DibImage masked = PatternImage(width, height, 32, false, true);
    const std::string maskedName = folder_.File("masked.bmp");
    ASSERT_EQ(masked.SaveBmpFile(maskedName.c_str()), 1);
    file = ReadBytes(maskedName);
    ASSERT_EQ(file.size(), 66u + 4 * width * height);
    EXPECT_EQ(LittleEndian32(file, 2), file.size());
    EXPECT_EQ(LittleEndian32(file, 10), 66u);
    // The packed bitmap follows as it is held.
    EXPECT_EQ(std::memcmp(file.data() + 14, masked.Block().data(), masked.Block().size()), 0);
}

class BmpRoundTripTest : public ::testing::TestWithParam<std::tuple<std::uint16_t, bool>> {
  protected:
    ScratchFolder folder_;
};

TEST_P(BmpRoundTripTest, SaveThenReadGivesTheSameBitmap) {
    const auto [depth, topDown] = GetParam();
    DibImage original = PatternImage(11, 7, depth, topDown, depth == 16 || depth == 32);
    const std::string name = folder_.File("round.bmp");
    ASSERT_EQ(original.SaveBmpFile(name.c_str()), 1);
    DibImage loaded;
    ASSERT_EQ(loaded.ReadBmpFile(name.c_str()), 1);
    EXPECT_EQ(loaded.Block(), original.Block());
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 11; ++x) {
            EXPECT_EQ(loaded.GetPixelColour(x, y), original.GetPixelColour(x, y));
        }
    }
    const std::string again = folder_.File("again.bmp");
    ASSERT_EQ(loaded.SaveBmpFile(again.c_str()), 1);
    EXPECT_EQ(ReadBytes(again), ReadBytes(name));
}

INSTANTIATE_TEST_SUITE_P(AllDepthsBothOrders, BmpRoundTripTest,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16, 24, 32), ::testing::Bool()));

TEST_F(BmpFileTest, AFileThatIsNotABitmapLoadsNothingAndSaysNothing) {
    for (const std::vector<std::uint8_t>& bytes :
         {std::vector<std::uint8_t>{'M', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40},
          std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0}, std::vector<std::uint8_t>{'B', 'M', 1, 2},
          std::vector<std::uint8_t>{}}) {
        const std::string name = folder_.File("not.bmp");
        WriteBytes(name, bytes);
        SetImageLastError(LastError::None);
        DibImage image;
        EXPECT_EQ(image.ReadBmpFile(name.c_str()), 0);
        EXPECT_EQ(GetImageLastError(), LastError::None);
        EXPECT_FALSE(image.HasPixels());
    }
    DibImage image;
    EXPECT_EQ(image.ReadBmpFile(folder_.File("missing.bmp").c_str()), 0);
}

TEST_F(BmpFileTest, ArgumentsAndStateAreChecked) {
    SetImageLastError(LastError::None);
    DibImage image;
    EXPECT_EQ(image.ReadBmpFile(nullptr), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    EXPECT_EQ(image.SaveBmpFile(folder_.File("empty.bmp").c_str()), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidHandle);
    EXPECT_TRUE(folder_.Entries().empty());

    DibImage full = PatternImage(2, 2, 24, false);
    EXPECT_EQ(full.SaveBmpFile(nullptr), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    const std::string name = folder_.File("full.bmp");
    ASSERT_EQ(full.SaveBmpFile(name.c_str()), 1);
    EXPECT_EQ(full.ReadBmpFile(name.c_str()), 0);
    EXPECT_EQ(GetImageLastError(), LastError::AlreadyInitialized);
}

// The bytes of a 3 x 2 32-bit bitmap file, for spoiling one field at a time.
struct SpoiltFile {
    BitmapInfoHeader header = MakeHeader(3, 2, 32);
    std::vector<std::uint8_t> afterHeader = std::vector<std::uint8_t>(24, 0x5A);

    std::vector<std::uint8_t> Bytes() const { return BmpFileOf(PackBitmap(header, afterHeader), 40); }
};

int ReadSpoilt(const SpoiltFile& file) {
    SetImageLastError(LastError::None);
    DibImage image;
    const int result = image.ReadBmpBytes(file.Bytes());
    EXPECT_EQ(result != 0, image.HasPixels());
    return result;
}

TEST(BmpReadTest, HeadersOtherThanFortyBytesAreRefused) {
    for (std::uint32_t size : {12u, 56u, 108u, 124u}) {
        SpoiltFile file;
        file.header.size = size;
        file.afterHeader.resize(200);
        EXPECT_EQ(ReadSpoilt(file), 0) << size;
        EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    }
}

TEST(BmpReadTest, HostileHeadersFailCleanly) {
    ASSERT_EQ(ReadSpoilt(SpoiltFile{}), 1);
    const auto spoil = [](auto change) {
        SpoiltFile file;
        change(file);
        return ReadSpoilt(file);
    };
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.width = 0x7FFFFFFF; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.height = 0x40000000; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.height = INT32_MIN; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.width = -3; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.bitCount = 0; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.bitCount = 31; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.planes = 0; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.clrUsed = 0xFFFFFFFF; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.clrUsed = 2; }), 0);  // the table eats the last row
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.sizeImage = 25; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.sizeImage = 0xFFFFFFFF; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.header.compression = kCompressionBitfields; }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.afterHeader.pop_back(); }), 0);
    EXPECT_EQ(spoil([](SpoiltFile& f) { f.afterHeader.clear(); }), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
    // Header cut short.
    std::vector<std::uint8_t> bytes = SpoiltFile{}.Bytes();
    bytes.resize(14 + 39);
    DibImage image;
    EXPECT_EQ(image.ReadBmpBytes(bytes), 0);
    EXPECT_EQ(GetImageLastError(), LastError::InvalidParameter);
}

TEST(BmpReadTest, AnUnderstatedImageSizeIsCorrectedSoASaveKeepsEveryRow) {
    SpoiltFile file;
    file.header.sizeImage = 4;
    DibImage image;
    ASSERT_EQ(image.ReadBmpBytes(file.Bytes()), 1);
    EXPECT_EQ(image.Header()->sizeImage, 24u);
    EXPECT_EQ(image.PackedSize(), 64u);
}

TEST(BmpReadTest, TheFileHeadersOffsetIsNotUsed) {
    std::vector<std::uint8_t> bytes = SpoiltFile{}.Bytes();
    bytes[10] = 0x99;  // nonsense pixel offset
    DibImage image;
    ASSERT_EQ(image.ReadBmpBytes(bytes), 1);
    EXPECT_EQ(image.GetRawPixel(0, 0), 0x5A5A5Au);
}

// A 4 x 3 RLE8 bitmap with a 4-entry table; the rows are stored bottom first.
std::vector<std::uint8_t> Rle8File(const std::vector<std::uint8_t>& stream, int height = 3) {
    BitmapInfoHeader header = MakeHeader(4, height, 8, kCompressionRle8);
    header.clrUsed = 4;
    header.sizeImage = static_cast<std::uint32_t>(stream.size());
    std::vector<std::uint8_t> afterHeader;
    for (std::uint8_t level : std::initializer_list<std::uint8_t>{0, 10, 20, 30}) {
        afterHeader.insert(afterHeader.end(), {level, level, level, 0});
    }
    afterHeader.insert(afterHeader.end(), stream.begin(), stream.end());
    return BmpFileOf(PackBitmap(header, afterHeader), 56);
}

TEST(BmpReadTest, RleFilesAreExpandedToPlainRows) {
    DibImage image;
    ASSERT_EQ(image.ReadBmpBytes(Rle8File({4, 1, 0, 0, 0, 4, 2, 3, 2, 3, 0, 0, 2, 3, 0, 1})), 1);
    EXPECT_EQ(image.Header()->compression, kCompressionRgb);
    EXPECT_EQ(image.Header()->sizeImage, 12u);
    EXPECT_EQ(image.PackedSize(), 40u + 16 + 12);
    const std::uint32_t expected[3][4] = {{3, 3, 0, 0}, {2, 3, 2, 3}, {1, 1, 1, 1}};  // from the top
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(image.GetRawPixel(x, y), expected[y][x]) << x << "," << y;
        }
    }
    EXPECT_EQ(image.GetPixelColour(0, 0), 0x1E1E1Eu);

    BitmapInfoHeader header = MakeHeader(3, 1, 4, kCompressionRle4);
    header.clrUsed = 2;
    DibImage four;
    ASSERT_EQ(
        four.ReadBmpBytes(BmpFileOf(PackBitmap(header, {0, 0, 0, 0, 255, 255, 255, 0, 3, 0x01, 0, 1}), 48)),
        1);
    EXPECT_EQ(four.GetRawPixel(0, 0), 0u);
    EXPECT_EQ(four.GetRawPixel(1, 0), 1u);
    EXPECT_EQ(four.GetPixelColour(1, 0), 0xFFFFFFu);
}

TEST(BmpReadTest, DamagedRleStreamsKeepWhatTheyHold) {
    DibImage truncated;
    ASSERT_EQ(truncated.ReadBmpBytes(Rle8File({4, 1, 0, 0, 2})), 1);
    EXPECT_EQ(truncated.GetRawPixel(0, 2), 1u);
    EXPECT_EQ(truncated.GetRawPixel(0, 1), 0u);

    // The image size field claims more stream than the file holds.
    std::vector<std::uint8_t> bytes = Rle8File({4, 2});
    bytes[14 + 20] = 0xFF;
    DibImage image;
    ASSERT_EQ(image.ReadBmpBytes(bytes), 1);
    EXPECT_EQ(image.GetRawPixel(3, 2), 2u);
}

TEST(BmpReadTest, RleHeadersTheFormatDoesNotAllowAreRefused) {
    const std::vector<std::uint8_t> stream = {4, 1, 0, 1};
    DibImage image;
    EXPECT_EQ(image.ReadBmpBytes(Rle8File(stream, -3)), 0);  // RLE is bottom-up only
    std::vector<std::uint8_t> bytes = Rle8File(stream);
    bytes[14 + 14] = 4;  // RLE8 at 4 bits
    EXPECT_EQ(image.ReadBmpBytes(bytes), 0);
    bytes = Rle8File(stream);
    bytes[14 + 32] = 200;  // a colour table reaching past the file
    EXPECT_EQ(image.ReadBmpBytes(bytes), 0);
    EXPECT_FALSE(image.HasPixels());
}

TEST_F(BmpFileTest, AFailedSaveLeavesNoTemporaryFileBehind) {
    const std::string folderAsTarget = folder_.File("folder.bmp");
    std::filesystem::create_directory(folderAsTarget);
    DibImage image = PatternImage(4, 4, 32, false);
    EXPECT_EQ(image.SaveBmpFile(folderAsTarget.c_str()), 0);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"folder.bmp"});
    EXPECT_EQ(image.SaveBmpFile(folder_.File("no-such-folder/x.bmp").c_str()), 0);
}

TEST_F(BmpFileTest, ASaveReplacesTheOldFileWhole) {
    const std::string name = folder_.File("current.bmp");
    DibImage large = PatternImage(40, 30, 32, false);
    DibImage small = PatternImage(2, 2, 8, true);
    ASSERT_EQ(large.SaveBmpFile(name.c_str()), 1);
    ASSERT_EQ(small.SaveBmpFile(name.c_str()), 1);
    DibImage loaded;
    ASSERT_EQ(loaded.ReadBmpFile(name.c_str()), 1);
    EXPECT_EQ(loaded.Block(), small.Block());
    EXPECT_EQ(ReadBytes(name).size(), 14 + small.PackedSize());
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"current.bmp"});
}

// A reader on one thread while two writers on others keep replacing the file: every read sees one
// whole picture, never a mixture or a part. The reader pauses between reads, as every reader of
// the working files does; on Windows a file cannot be renamed over while it is open, and the
// writers wait for such a moment.
TEST_F(BmpFileTest, ReadersNeverSeeAHalfWrittenFile) {
    const std::string name = folder_.File("shared.bmp");
    DibImage first = PatternImage(64, 48, 32, false);
    DibImage second = PatternImage(48, 64, 24, true);
    ASSERT_EQ(first.SaveBmpFile(name.c_str()), 1);

    constexpr int kWrites = 150;
    std::atomic<int> failedWrites{0};
    std::atomic<unsigned long> failureError{0};
    auto writer = [&](const DibImage& image) {
        for (int i = 0; i < kWrites; ++i) {
            if (image.SaveBmpFile(name.c_str()) != 1) {
                ++failedWrites;
                if (const std::optional<WriteFailure> failure = TakeWriteFailure()) {
                    failureError = failure->Error;
                }
            }
        }
    };
    std::atomic<bool> writing{true};
    int reads = 0;
    int badReads = 0;
    std::thread reader([&] {
        while (writing) {
            DibImage loaded;
            ++reads;
            if (loaded.ReadBmpFile(name.c_str()) != 1 ||
                (loaded.Block() != first.Block() && loaded.Block() != second.Block())) {
                ++badReads;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    std::thread writeFirst(writer, std::cref(first));
    std::thread writeSecond(writer, std::cref(second));
    writeFirst.join();
    writeSecond.join();
    writing = false;
    reader.join();

    EXPECT_EQ(failedWrites, 0) << "the system's error: " << failureError;
    EXPECT_EQ(badReads, 0) << "of " << reads;
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"shared.bmp"});
}

}  // namespace

// The monthly maps of 5400 x 2700 pixels, natively: the addresses made from the stored patterns,
// SHA-256, the JPEG markers read before decoding, the checks a downloaded map must pass, its
// installation, and its preparation for the desktop, which reads it a band of rows at a time and
// must give the very pixels of scaling it whole. The maps are made here, by enlarging a delivered
// month, and encoded as a server would send them.
#include <turbojpeg.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "clouds/sha256.h"
#include "clouds/sharp_map_check.h"
#include "clouds/sharp_map_install.h"
#include "clouds/sharp_map_sources.h"
#include "image/file_io.h"
#include "image/image_decoder.h"
#include "image/image_resizer.h"
#include "image/jpeg_layout.h"
#include "image/processor_chain.h"
#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/default_sharp_map_sources.h"
#include "tests/render/frame_reference.h"
#include "tests/render/working_folder.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void WriteBytes(const char* name, std::span<const std::uint8_t> bytes) {
    ASSERT_TRUE(ReplaceFileContents(name, {bytes}));
}

// The picture as a baseline JPEG without chroma subsampling, in colour or in one grey channel.
std::vector<std::uint8_t> EncodeJpeg(const PixelBuffer& picture, int quality, bool grey = false) {
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(encoder, reinterpret_cast<const unsigned char*>(picture.pixels.data()),
                                   picture.width, picture.width * 4, picture.height, TJPF_BGRX, &jpeg, &size,
                                   grey ? TJSAMP_GRAY : TJSAMP_444, quality, TJFLAG_ACCURATEDCT);
    std::vector<std::uint8_t> bytes;
    if (result == 0) {
        bytes.assign(jpeg, jpeg + size);
    }
    tjFree(jpeg);
    tjDestroy(encoder);
    return bytes;
}

// A delivered month enlarged to 5400 x 2700, as a stand-in for NASA's map of that month.
const PixelBuffer& SharpPicture() {
    static const PixelBuffer picture = [] {
        const WorkingFolder folder;
        folder.CopyFromSource("data/03-2560.jpg", "march.jpg");
        std::optional<PixelBuffer> pixels = DecodeImageFile("march.jpg");
        CImageResizer resizer(double(kSharpMapWidth) / pixels->width);
        RunProcessorChain(*pixels, {&resizer}, 0);
        return *pixels;
    }();
    return picture;
}

PixelBuffer Mirrored(const PixelBuffer& picture) {
    PixelBuffer mirrored = picture;
    for (int y = 0; y < picture.height; ++y) {
        const auto row = mirrored.pixels.begin() + std::ptrdiff_t(y) * picture.width;
        std::reverse(row, row + picture.width);
    }
    return mirrored;
}

// Half a turn of the Earth: centred on the date line.
PixelBuffer Turned(const PixelBuffer& picture) {
    PixelBuffer turned = picture;
    for (int y = 0; y < picture.height; ++y) {
        const auto row = turned.pixels.begin() + std::ptrdiff_t(y) * picture.width;
        std::rotate(row, row + picture.width / 2, row + picture.width);
    }
    return turned;
}

PixelBuffer Cropped(const PixelBuffer& picture, int height) {
    PixelBuffer cropped{picture.width, height, {}};
    cropped.pixels.assign(picture.pixels.begin(), picture.pixels.begin() + std::ptrdiff_t(height) * picture.width);
    return cropped;
}

TEST(Sha256, GivesTheStandardsDigests) {
    EXPECT_EQ(HexOf(Sha256({})), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf(Sha256(Bytes("abc"))), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the block of the last bytes.
    EXPECT_EQ(HexOf(Sha256(Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"))),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HexOf(Sha256(std::vector<std::uint8_t>(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(SharpMapSources, FillTheMonthIntoEachPatternInOrder) {
    EXPECT_THAT(SharpMapAddresses(DefaultSharpMapSources(), 7),
                ElementsAre("https://assets.science.nasa.gov/content/dam/science/esd/eo/images/bmng/"
                            "bmng-topography-bathymetry/july/world.topo.bathy.200407.3x5400x2700.jpg",
                            "https://eoimages.gsfc.nasa.gov/images/imagerecords/73000/73751/"
                            "world.topo.bathy.200407.3x5400x2700.jpg"));
    EXPECT_EQ(SharpMapAddress("{record}/{month}/{MM}", 1), "73580/january/01");
    EXPECT_EQ(SharpMapAddress("{record}/{month}/{MM}", 12), "73909/december/12");
    EXPECT_EQ(SharpMapAddress("{record}", 11), "73884");
    // What is no placeholder stands as written; what a replacement brings is not read again.
    EXPECT_EQ(SharpMapAddress("http://h/{mm}{MM}{{MM}}{MM", 3), "http://h/{mm}03{03}{MM");
    EXPECT_EQ(SharpMapAddress("", 5), "");
    EXPECT_EQ(SharpMapAddress("{MM}", 13), "01");
}

TEST(JpegLayout, ReadsTheFrameAndTheEndBeforeAnyDecoding) {
    const PixelBuffer picture{40, 20, std::vector<std::uint32_t>(800, 0x336699)};
    const std::vector<std::uint8_t> colour = EncodeJpeg(picture, 90);
    EXPECT_EQ(ReadJpegLayout(colour), (JpegLayout{40, 20, 3, true}));
    EXPECT_EQ(ReadJpegLayout(EncodeJpeg(picture, 90, true)), (JpegLayout{40, 20, 1, true}));
    const std::vector<std::uint8_t> cut(colour.begin(), colour.end() - 10);
    EXPECT_EQ(ReadJpegLayout(cut), (JpegLayout{40, 20, 3, false}));
    // Cut before its scan, or no JPEG at all.
    EXPECT_FALSE(ReadJpegLayout(std::span(colour).first(20)));
    EXPECT_FALSE(ReadJpegLayout(Bytes("<html>Not found</html>")));
    EXPECT_FALSE(ReadJpegLayout(Bytes("\xFF\xD8\xFF\xDA\x00\x02\xFF\xD9")));  // a scan before any frame
}

// Every check a downloaded map must pass, each with a map that fails it and only it.
TEST(SharpMapCheck, TakesOnlyAWholeColourMapOfTheRightSizeWithLandAndSeaInPlace) {
    const WorkingFolder folder;
    const std::vector<std::uint8_t> good = EncodeJpeg(SharpPicture(), 95);
    ASSERT_GE(good.size(), kMinSharpMapBytes);
    ASSERT_LE(good.size(), kMaxSharpMapBytes);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int month;
        SharpMapVerdict verdict;
    };
    std::vector<std::uint8_t> padded = Bytes("<html><body>Down for maintenance</body></html>");
    padded.resize(good.size(), ' ');
    const std::vector<std::uint8_t> mirrored = EncodeJpeg(Mirrored(SharpPicture()), 95);
    const Case cases[] = {
        {"a map of the month", good, 3, SharpMapVerdict::Accepted},
        {"January's map is known to the byte", good, 1, SharpMapVerdict::WrongLength},
        {"a text page", Bytes("<html>Not found</html>"), 3, SharpMapVerdict::WrongLength},
        {"a text page of a map's length", padded, 3, SharpMapVerdict::NotAJpeg},
        {"a body cut off", {good.begin(), good.begin() + std::ptrdiff_t(good.size() * 9 / 10)}, 3,
         SharpMapVerdict::Cut},
        {"a map mirrored", mirrored, 3, SharpMapVerdict::WrongPlaces},
        {"a map centred on the date line", EncodeJpeg(Turned(SharpPicture()), 95), 3, SharpMapVerdict::WrongPlaces},
        {"a map a row short", EncodeJpeg(Cropped(SharpPicture(), kSharpMapHeight - 1), 95), 3,
         SharpMapVerdict::WrongSize},
        {"a grey map", EncodeJpeg(SharpPicture(), 100, true), 3, SharpMapVerdict::NotColour},
    };
    for (const Case& c : cases) {
        WriteBytes("map.jpg", c.bytes);
        EXPECT_EQ(SharpMapVerdictText(CheckSharpMap("map.jpg", c.month)), SharpMapVerdictText(c.verdict)) << c.what;
    }
    EXPECT_EQ(CheckSharpMap("missing.jpg", 3), SharpMapVerdict::Unreadable);
    // July's exact bytes: another map of July's length is refused by its digest.
    std::vector<std::uint8_t> julyLength = good;
    julyLength.resize(2'308'798, 0);
    WriteBytes("map.jpg", julyLength);
    EXPECT_EQ(CheckSharpMap("map.jpg", 7), SharpMapVerdict::WrongDigest);

    // Installed, the map and its small form take their places; refused, nothing does, and the
    // download is gone either way.
    WriteBytes(kDownloadedSharpMapFile, mirrored);
    EXPECT_EQ(InstallSharpMap(3), SharpMapVerdict::WrongPlaces);
    EXPECT_FALSE(PathExists(kDownloadedSharpMapFile));
    EXPECT_FALSE(PathExists(SharpMapFile(3).c_str()));
    EXPECT_EQ(DesktopDayMapFile(3, true), "03-2560.jpg");
    WriteBytes(kDownloadedSharpMapFile, good);
    EXPECT_EQ(InstallSharpMap(3, [] { return true; }), SharpMapVerdict::Unreadable) << "asked to stop";
    EXPECT_FALSE(PathExists(SharpMapFile(3).c_str()));
    WriteBytes(kDownloadedSharpMapFile, good);
    EXPECT_EQ(InstallSharpMap(3), SharpMapVerdict::Accepted);
    EXPECT_FALSE(PathExists(kDownloadedSharpMapFile));
    EXPECT_EQ(FileBytes(SharpMapFile(3).c_str()), good) << "the map as it came";
    EXPECT_EQ(DesktopDayMapFile(3, true), "03-5400.jpg");
    EXPECT_EQ(DesktopDayMapFile(3, false), "03-2560.jpg");
    EXPECT_EQ(DesktopDayMapFile(4, true), "04-2560.jpg");
    EXPECT_EQ(PreviewDayMapFile(3, true), "03-5400-512.bmp");
    DibImage small;
    ASSERT_TRUE(small.ReadBmpFile(SmallSharpMapFile(3).c_str()));
    EXPECT_GE(small.Width(), kSmallSharpMapWidth - 1);
    EXPECT_GE(small.Height(), kSmallSharpMapHeight - 1);
    for (const char* leftover : {kNewSmallSharpMapFile, kKeptSharpMapFile, kKeptSmallSharpMapFile}) {
        EXPECT_FALSE(PathExists(leftover)) << leftover;
    }

    // A start after an end in the middle of a run: an installation cut off between its renames
    // (March's small form not yet in place, the new files left), a temporary file of a process
    // gone, and May's map cut short by a power cut. The small form is made again from its map;
    // May goes with its small form, to be fetched again; the leftovers go.
    const std::vector<std::uint8_t> junk(600, 0x55);
    for (const char* leftover : {kDownloadedSharpMapFile, kNewSmallSharpMapFile, kKeptSmallSharpMapFile}) {
        WriteBytes(leftover, junk);
    }
    WriteBytes(TemporaryNameBeside(SharpMapFile(4).c_str(), 0xFFFFFFF0ul, 1).c_str(), junk);
    ASSERT_TRUE(RemoveFile(SmallSharpMapFile(3).c_str()));
    WriteBytes(SharpMapFile(5).c_str(), std::span(good).first(good.size() - 1000));
    WriteBytes(SmallSharpMapFile(5).c_str(), junk);
    EXPECT_EQ(MendSharpMaps(), std::vector<std::string>{SharpMapFile(5)});
    DibImage madeAgain;
    ASSERT_TRUE(madeAgain.ReadBmpFile(SmallSharpMapFile(3).c_str()));
    EXPECT_GE(madeAgain.Width(), kSmallSharpMapWidth - 1);
    EXPECT_EQ(FileBytes(SharpMapFile(3).c_str()), good);
    for (const std::string& gone : std::vector<std::string>{
             SharpMapFile(5), SmallSharpMapFile(5), kDownloadedSharpMapFile, kNewSmallSharpMapFile,
             kKeptSmallSharpMapFile, TemporaryNameBeside(SharpMapFile(4).c_str(), 0xFFFFFFF0ul, 1)}) {
        EXPECT_FALSE(PathExists(gone.c_str())) << gone;
    }
    EXPECT_TRUE(MendSharpMaps().empty()) << "nothing left to mend";
}

// The preparation reads the map a band of source rows at a time; every pixel is still the one
// that scaling the whole map gives, in reductions of every depth and in an enlargement.
TEST(SharpMapPreparation, GivesThePixelsOfTheWholeMapScaled) {
    const WorkingFolder folder;
    WriteBytes("map.jpg", EncodeJpeg(SharpPicture(), 95));
    struct Shape {
        int width, height;
        bool crop;
    };
    for (const Shape shape : {Shape{1280, 1024, true}, Shape{512, 256, false}, Shape{3840, 2160, false},
                              Shape{6000, 700, false}}) {
        SCOPED_TRACE(std::to_string(shape.width) + " x " + std::to_string(shape.height));
        ASSERT_TRUE(PrepareSourceFile("map.jpg", "prepared.bmp", {shape.width, shape.height, shape.crop}));
        ASSERT_TRUE(ScaleImageFile("map.jpg", nullptr, shape.width, shape.height, "whole.bmp", shape.crop));
        const std::vector<std::uint8_t> whole = FileBytes("whole.bmp");
        const std::vector<std::uint8_t> prepared = FileBytes("prepared.bmp");
        ASSERT_EQ(prepared.size(), whole.size());
        std::size_t differing = 0;
        for (std::size_t at = 0; at < whole.size(); ++at) {
            // The fourth byte of a pixel carries nothing and need not match.
            differing += (at < 66 || (at - 66) % 4 != 3) && prepared[at] != whole[at] ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u);
    }
}

}  // namespace

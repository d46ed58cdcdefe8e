#include "render/prepared_source.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "frame_reference.h"
#include "image/bmp_row_file.h"
#include "image/file_io.h"
#include "image/pixel_buffer.h"
#include "render/compositor.h"
#include "render/file_frame.h"
#include "render/source_cut.h"
#include "test_images.h"
#include "working_folder.h"

namespace {

OutputShape Cropped(int width, int height, double centre, ImageSize frameMap = {}) {
    return {width, height, true, centre, frameMap};
}

std::uint32_t PixelAt(const std::vector<std::uint8_t>& row, int column) {
    std::uint32_t pixel;
    std::memcpy(&pixel, row.data() + 4 * column, sizeof pixel);
    return pixel & 0xFFFFFFu;
}

}  // namespace

TEST(SourceCut, KeepsTheRowsAndColumnsTheFramesOfAShapeShow) {
    struct Case {
        const char* what;
        ImageSize map;
        OutputShape shape;
        MapPart part;
    };
    const Case cases[] = {
        {"three 4K monitors: 2,160 of 5,760 rows",
         {11520, 5760},
         Cropped(11520, 2160, 0.0),
         {0, 1800, 11520, 2160}},
        {"two 4K monitors", {7680, 3840}, Cropped(7680, 2160, 14.0), {0, 840, 7680, 2160}},
        {"1280 x 1024: 1,280 of 2,048 columns", {2048, 1024}, Cropped(1280, 1024, 0.0), {384, 0, 1280, 1024}},
        {"a centre that moves keeps every column",
         {2048, 1024},
         Cropped(1280, 1024, kMovingCentre),
         {0, 0, 2048, 1024}},
        {"columns wrapping past the right edge",
         {4320, 2160},
         Cropped(3840, 2160, 170.0),
         {2280, 0, 3840, 2160}},
        {"no crop keeps the whole map", {2560, 1280}, {3840, 2160, false, 0.0, {}}, {0, 0, 2560, 1280}},
        {"a cloud map lower than the rows shown keeps one row",
         {100, 50},
         Cropped(100, 50, 0.0, {100, 200}),
         {0, 49, 100, 1}},
        {"a cloud map of another width keeps every column",
         {90, 200},
         Cropped(50, 40, 0.0, {100, 200}),
         {0, 80, 90, 40}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const MapPart part = KeptPart(test.map, test.shape);
        EXPECT_EQ(part, test.part);
        // Every frame of the shape finds what it shows in the part; for a moving centre, at any
        // shift the day brings.
        const ImageSize frameMap = test.shape.frameMap.width > 0 ? test.shape.frameMap : test.map;
        for (const int shift : {-frameMap.width / 2, -1, 0, 7, frameMap.width / 2}) {
            const int frameShift = std::isnan(test.shape.fixedCentre)
                                       ? shift
                                       : ColumnShift(frameMap.width, test.shape.fixedCentre);
            const FrameShows shows =
                WhatFrameShows(frameMap, test.shape.width, test.shape.height, test.shape.crop, frameShift);
            EXPECT_TRUE(PartHolds(test.map, part, frameMap, shows)) << shift;
        }
    }

    // A part one column or row short, or a frame turned further, is not enough.
    const ImageSize map{2048, 1024};
    const FrameShows shows = WhatFrameShows(map, 1280, 1024, true, 0);
    EXPECT_TRUE(PartHolds(map, {384, 0, 1280, 1024}, map, shows));
    EXPECT_FALSE(PartHolds(map, {384, 0, 1279, 1024}, map, shows));
    EXPECT_FALSE(PartHolds(map, {385, 0, 1280, 1024}, map, shows));
    EXPECT_FALSE(PartHolds(map, {384, 1, 1280, 1023}, map, shows));
    EXPECT_FALSE(PartHolds(map, {384, 0, 1280, 1024}, map, WhatFrameShows(map, 1280, 1024, true, 5)));
    EXPECT_TRUE(PartHolds(map, {1800, 0, 1280, 1024}, map, WhatFrameShows(map, 1280, 1024, true, 1416)));
    EXPECT_TRUE(SameCentre(kMovingCentre, kMovingCentre));
    EXPECT_FALSE(SameCentre(kMovingCentre, 0.0));
}

TEST(PreparedSource, HoldsThePartAndWhereItLiesAndRefusesRecordsOfNoPartInAMap) {
    const WorkingFolder folder;
    // An 8 x 4 map that the square output keeps at its size (factor 1): with the centre at 180
    // the frame shows map columns 6, 7, 0 and 1.
    ASSERT_EQ(MakeImage(8, 4, DayPattern).SaveBmpFile("map.bmp"), 1);
    PreparedCut cut;
    ASSERT_TRUE(PrepareSourceFile("map.bmp", "prepared.bmp", Cropped(4, 4, 180.0), &cut));
    EXPECT_EQ(cut.map, (ImageSize{8, 4}));
    EXPECT_EQ(cut.part, (MapPart{6, 0, 4, 4}));

    PreparedSource source;
    ASSERT_EQ(source.Open("prepared.bmp"), PreparedSourceState::Opened);
    EXPECT_EQ(source.Cut().map, cut.map);
    EXPECT_EQ(source.Cut().part, cut.part);
    // A frame two columns wider than the map: white beyond its edge, the part's columns in
    // their places, the others untouched.
    std::vector<std::uint8_t> row(4 * 10, 0x55);
    ASSERT_TRUE(source.ReadMapRow(2, row));
    for (const int column : {6, 7, 0, 1}) {
        EXPECT_EQ(PixelAt(row, column), PixelOfColour(DayPattern(column, 2))) << column;
    }
    EXPECT_EQ(PixelAt(row, 8), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(row, 9), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(row, 4), 0x555555u);
    EXPECT_FALSE(source.ReadMapRow(4, row));

    // The record ends the file, and is read strictly: a record that puts the part outside the map,
    // one cut short, one with another tag and stray bytes after it all make the file damaged, never
    // a whole map. Without anything after its rows, a bitmap of the prepared form is a whole map.
    const std::vector<std::uint8_t> bytes = FileBytes("prepared.bmp");
    const std::size_t record = bytes.size() - 24;
    const auto withField = [&](std::size_t field, std::int32_t value) {
        std::vector<std::uint8_t> changed = bytes;
        std::memcpy(changed.data() + record + 8 + 4 * field, &value, sizeof value);
        return changed;
    };
    const auto cutBy = [&](std::size_t count) {
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(count));
    };
    std::vector<std::uint8_t> otherTag = bytes;
    otherTag[record] = 'm';
    std::vector<std::uint8_t> strayByte = bytes;
    strayByte.push_back(0);
    const struct {
        std::vector<std::uint8_t> bytes;
        PreparedSourceState state;
    } variants[] = {
        {withField(2, 8), PreparedSourceState::Damaged},        // left of the part at the map's width
        {withField(0, 3), PreparedSourceState::Damaged},        // a map narrower than the part
        {withField(1, 3), PreparedSourceState::Damaged},        // a map lower than the part
        {withField(3, -1), PreparedSourceState::Damaged},       // a part above the map
        {withField(1, 1 << 28), PreparedSourceState::Damaged},  // a map larger than any picture may be
        {cutBy(1), PreparedSourceState::Damaged},               // 23 bytes of a record
        {cutBy(23), PreparedSourceState::Damaged},              // one byte of it
        {otherTag, PreparedSourceState::Damaged},
        {strayByte, PreparedSourceState::Damaged},
        {cutBy(24), PreparedSourceState::Opened},                                   // a whole 4 x 4 map
        {cutBy(25), PreparedSourceState::OtherForm},                                // a row cut short
        {std::vector<std::uint8_t>(bytes.size()), PreparedSourceState::OtherForm},  // zeros
    };
    for (const auto& variant : variants) {
        SCOPED_TRACE(&variant - variants);
        ASSERT_TRUE(ReplaceFileContents("variant.bmp", {variant.bytes}));
        PreparedSource read;
        ASSERT_EQ(read.Open("variant.bmp"), variant.state);
        if (variant.state == PreparedSourceState::Opened) {
            EXPECT_EQ(read.Cut().map, (ImageSize{4, 4}));
            EXPECT_EQ(read.Cut().part, (MapPart{0, 0, 4, 4}));
        }
    }
}

TEST(PreparedSource, ADesktopWiderThanAnyPictureIsCoveredFromTheRowsItShows) {
    const WorkingFolder folder;
    ASSERT_EQ(MakeImage(8, 4, DayPattern).SaveBmpFile("map.bmp"), 1);
    // Covering 24,000 x 2 takes a map of 24,000 x 12,000, more than any picture may hold; the
    // desktop shows two of its rows, whose every column comes to light as the day goes round.
    PreparedCut cut;
    ASSERT_TRUE(PrepareSourceFile("map.bmp", "day.bmp", Cropped(24000, 2, kMovingCentre), &cut));
    EXPECT_EQ(cut.map, (ImageSize{24000, 12000}));
    EXPECT_FALSE(CheckedPixelCount(cut.map.width, cut.map.height));
    EXPECT_EQ(cut.part, (MapPart{0, 5999, 24000, 2}));
    PreparedSource source;
    ASSERT_EQ(source.Open("day.bmp"), PreparedSourceState::Opened);
    EXPECT_EQ(source.Cut().map, cut.map);

    FileFrameJob job{};
    job.dayFile = "day.bmp";
    job.utc = UtcFields(2024, 6, 21, 12, 0, 0);
    job.darkenedDay = true;
    job.fit = true;
    job.outputWidth = 24000;
    job.outputHeight = 2;
    job.newFrameHeader = true;
    job.outputFile = "frame.bmp";
    ASSERT_EQ(RenderFileFrame(job, 2), FileFrameResult::Written);
    BmpRowFile frame;
    ASSERT_TRUE(frame.Open("frame.bmp"));
    EXPECT_EQ(frame.Width(), 24000);
    EXPECT_EQ(frame.Height(), 2);
}

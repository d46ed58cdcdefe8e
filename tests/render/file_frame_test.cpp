#include "render/file_frame.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame_reference.h"
#include "image/dib_factory.h"
#include "image/file_io.h"
#include "output/virtual_screen_wrap.h"
#include "render/compositor.h"
#include "render/render_frame.h"
#include "render/utc_clock.h"
#include "test_images.h"
#include "working_folder.h"

namespace {

constexpr char kDay[] = "current-day.bmp";
constexpr char kNight[] = "current-night.bmp";
constexpr char kClouds[] = "current-clouds.bmp";

const std::int64_t kMoment = UtcSecondsFromFields(UtcFields(2024, 3, 20, 15, 37, 12));

// A picture in the form the program prepares its sources: 32 bits with masks, bottom-up.
DibImage PreparedImage(int width, int height, const PixelPattern& pattern) {
    DibImage image;
    EXPECT_EQ(CreateDib(image, width, height, 32, false, true), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixelColour(x, y, pattern(x, y));
        }
    }
    return image;
}

void Save(const DibImage& image, const char* name) {
    ASSERT_EQ(image.SaveBmpFile(name), 1);
}

std::vector<std::uint8_t> RenderedInMemory(const char* nightFile, const char* cloudsFile,
                                           const FrameOptions& options, WrapOrigin wrap) {
    return FrameRenderedInMemory(kMoment, kDay, nightFile, cloudsFile, options, wrap, "expected.bmp");
}

FrameOptions Options(int centreCode, int width, int height, bool blackBars, bool crop, bool darkenedDay,
                     int cloudFactor) {
    FrameOptions options;
    options.centreCode = centreCode;
    options.outputWidth = width;
    options.outputHeight = height;
    options.blackBars = blackBars;
    options.crop = crop;
    options.darkenedDay = darkenedDay;
    options.cloudFactor = cloudFactor;
    return options;
}

}  // namespace

TEST(RenderFileFrame, WritesTheFileThatRenderingInMemoryFittingWrappingAndSavingWrite) {
    const WorkingFolder folder;
    struct Scene {
        int dayWidth, dayHeight;
        bool topDownDay;  // plain RGB rows stored top first, instead of the prepared form
        const char* night;
        const char* clouds;
        FrameOptions options;
        WrapOrigin wrap;
    };
    const Scene scenes[] = {
        // Cropped: the frame covers the output and loses columns on both sides.
        {96, 48, false, kNight, kClouds, Options(1005, 64, 40, false, true, false, 10), {}},
        {96, 48, false, kNight, kClouds, Options(90, 64, 40, false, true, false, 10), {-17, -5}},
        // Black bars above and below, an odd size, the darkened day, a larger cloud map.
        {65, 33, false, nullptr, kClouds, Options(-180, 65, 51, true, false, true, 55), {-1000, -3000}},
        // Neither bars nor crop: the frame keeps its size and the day image's own header.
        {64, 32, true, kNight, nullptr, Options(1001, 100, 70, false, false, false, 0), {-64, -7}},
        {64, 32, false, nullptr, nullptr, Options(1001, 100, 70, false, false, false, 0), {-30, 0}},
        // Already the output's size: nothing to fit.
        {64, 32, false, kNight, kClouds, Options(37, 64, 32, true, true, false, -40), {-3, -31}},
        // A frame larger than the output both ways, and one narrower but higher.
        {120, 60, false, kNight, kClouds, Options(179, 50, 21, true, false, false, 100), {-49, -20}},
        {40, 20, false, kNight, kClouds, Options(0, 32, 30, false, true, false, 10), {}},
        // Two and three 4K monitors side by side, at a tenth of their size: the 2:1 map covers
        // them and loses most of its rows.
        {768, 384, false, kNight, kClouds, Options(1006, 768, 216, false, true, false, 10), {-384, 0}},
        {1152, 576, false, kNight, kClouds, Options(1001, 1152, 216, true, true, false, 10), {-768, -11}},
    };
    int index = 0;
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(index++);
        Save(scene.topDownDay ? MakeImage(scene.dayWidth, scene.dayHeight, DayPattern, true)
                              : PreparedImage(scene.dayWidth, scene.dayHeight, DayPattern),
             kDay);
        // A night map lower and narrower than the day map; a cloud map wider and higher.
        Save(PreparedImage(scene.dayWidth - 3, scene.dayHeight - 2, NightPattern), kNight);
        Save(PreparedImage(scene.dayWidth + 5, scene.dayHeight + 1, CloudPattern), kClouds);

        const std::vector<std::uint8_t> expected =
            RenderedInMemory(scene.night, scene.clouds, scene.options, scene.wrap);
        ASSERT_EQ(RenderFileFrameAt(kMoment, kDay, scene.night, scene.clouds, scene.options, scene.wrap,
                                    "current.bmp"),
                  FileFrameResult::Written);
        ASSERT_FALSE(expected.empty());
        ASSERT_TRUE(FileBytes("current.bmp") == expected);
    }
}

TEST(RenderFileFrame, WritesANewFrameOnOneThreadOrTwoAndLeavesOtherFilesToTheWholeImageWay) {
    const WorkingFolder folder;
    const DibImage day = PreparedImage(71, 36, DayPattern);
    const DibImage night = PreparedImage(71, 36, NightPattern);
    const DibImage clouds = PreparedImage(71, 36, CloudPattern);
    Save(day, kDay);
    Save(night, kNight);
    Save(clouds, kClouds);

    // Under a new 32-bit header, as orbiscape-render writes a frame from bitmap files.
    DibImage expected;
    ASSERT_EQ(CreateDib(expected, 71, 36, 32, false), 1);
    const std::tm utc = BreakDownUtc(kMoment);
    ASSERT_EQ(ComposeDayNight(utc, day, night, expected, clouds, 0, 10, -95.0), 1);
    Save(expected, "expected.bmp");
    FileFrameJob job{kDay, kNight, kClouds, utc, -95.0, false, 10, false, 0, 0, true, 0, 0, "frame.bmp"};
    for (const int threads : {1, 2}) {
        ASSERT_EQ(RenderFileFrame(job, threads), FileFrameResult::Written);
        EXPECT_TRUE(FileBytes("frame.bmp") == FileBytes("expected.bmp")) << threads;
    }

    // A 24-bit day map, a missing night map or a cut-off cloud map are not read row by row, and
    // nothing is written.
    DibImage deep;
    ASSERT_EQ(CreateDib(deep, 8, 4, 24, false), 1);
    Save(deep, "deep.bmp");
    std::vector<std::uint8_t> cut = FileBytes(kClouds);
    cut.resize(cut.size() - 1);
    ASSERT_TRUE(ReplaceFileContents("cut.bmp", {cut}));
    const auto refused = [&](const char* dayFile, const char* nightFile, const char* cloudsFile) {
        FileFrameJob refusedJob = job;
        refusedJob.dayFile = dayFile;
        refusedJob.nightFile = nightFile;
        refusedJob.cloudsFile = cloudsFile;
        refusedJob.outputFile = "refused.bmp";
        return RenderFileFrame(refusedJob, 2) == FileFrameResult::NotStreamable && !FileExists("refused.bmp");
    };
    EXPECT_TRUE(refused("deep.bmp", kNight, kClouds));
    EXPECT_TRUE(refused(kDay, "missing.bmp", kClouds));
    EXPECT_TRUE(refused(kDay, kNight, "cut.bmp"));
    // A night map with stray bytes after its rows is damaged: no frame is made from it, neither
    // row by row nor by reading it whole.
    std::vector<std::uint8_t> stray = FileBytes(kNight);
    stray.insert(stray.end(), 7, 0);
    ASSERT_TRUE(ReplaceFileContents("stray.bmp", {stray}));
    FileFrameJob damagedJob = job;
    damagedJob.nightFile = "stray.bmp";
    damagedJob.outputFile = "refused.bmp";
    EXPECT_EQ(RenderFileFrame(damagedJob, 2), FileFrameResult::Failed);
    EXPECT_FALSE(FileExists("refused.bmp"));

    // An output that cannot be written fails and leaves nothing behind.
    job.outputFile = "no-such-folder/frame.bmp";
    EXPECT_EQ(RenderFileFrame(job, 2), FileFrameResult::Failed);
    EXPECT_FALSE(FileExists("no-such-folder"));
}

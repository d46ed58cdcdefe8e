// The frame from the prepared sources, which hold only the part of each scaled map that frames
// show, against the frame from the whole scaled maps, as the program drew it before it cut them:
// the same bytes, on desktops of every shape (a tenth of their size each way), cropped, with
// black bars or neither, wrapped for the wallpaper or not (Active Desktop).
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame_reference.h"
#include "image/dib_factory.h"
#include "render/prepare_sources.h"
#include "render/prepared_source.h"
#include "render/render_frame.h"
#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "test_images.h"
#include "working_folder.h"

namespace {

const std::int64_t kMoment = UtcSecondsFromFields(UtcFields(2024, 3, 20, 15, 37, 12));
constexpr int kDayImage = 6;
constexpr int kNightImage = 13;

void WriteCloudMap(int width, int height) {
    DibImage clouds = MakeImage(width, height, CloudPattern);
    ASSERT_EQ(clouds.SaveBmpFile(kDesktopCloudsFile), 1);
}

}  // namespace

TEST(PreparedFrame, IsByteForByteTheFrameOfTheWholeScaledMaps) {
    const WorkingFolder folder;
    folder.CopyFromSource("tests/image/fixtures/day-200x100.jpg", DesktopImageFile(kDayImage));
    folder.CopyFromSource("tests/image/fixtures/night-200x100.jpg", DesktopImageFile(kNightImage));
    struct Scene {
        const char* desktop;
        int width, height;
        bool blackBars, crop;
        int centreCode;
        int night;        // the NighttimeImage setting
        int cloudWidth;   // of the 100 rows high cloud map; 0: no clouds
        WrapOrigin wrap;  // none in Active Desktop mode
    };
    const Scene scenes[] = {
        {"1280 x 1024, the time zone", 128, 102, false, true, 1000, kNightImage, 200, {-17, -5}},
        {"3840 x 2160, a region, Active Desktop", 384, 216, true, true, 1006, kNightImage, 200, {}},
        {"7680 x 2160, centred where it is noon", 768, 216, false, true, 1001, kNightImage, 200, {-384, 0}},
        {"11520 x 2160 near the date line, wider clouds", 1152, 216, false, true, -170, -1, 230, {-384, -7}},
        {"11520 x 2160 with black bars", 1152, 216, true, false, 1000, kNightImage, 200, {-20, -3}},
        {"7680 x 2160, neither bars nor crop", 768, 216, false, false, 37, kNightImage, 200, {-100, -9}},
        {"a reduction, narrower clouds", 90, 60, false, true, 179, kNightImage, 170, {}},
        {"a portrait monitor, no night image", 54, 96, true, true, 90, 0, 200, {-5, 0}},
        {"11520 x 2160 without clouds", 1152, 216, false, true, 0, kNightImage, 0, {}},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.desktop);
        if (scene.cloudWidth > 0) {
            WriteCloudMap(scene.cloudWidth, 100);
        }
        FrameOptions options;
        options.centreCode = scene.centreCode;
        options.outputWidth = scene.width;
        options.outputHeight = scene.height;
        options.blackBars = scene.blackBars;
        options.crop = scene.crop;
        options.darkenedDay = scene.night == -1;
        options.cloudFactor = 10;
        const bool night = scene.night >= 1;
        const bool clouds = scene.cloudWidth > 0;

        // The whole maps, scaled as the program scaled them, and the frame from them.
        ASSERT_TRUE(ScaleImageFile(DesktopImageFile(kDayImage).c_str(), nullptr, scene.width, scene.height,
                                   "whole-day.bmp", scene.crop));
        ASSERT_TRUE(ScaleImageFile(DesktopImageFile(kNightImage).c_str(), nullptr, scene.width, scene.height,
                                   "whole-night.bmp", scene.crop));
        ASSERT_TRUE(!clouds || ScaleImageFile(kDesktopCloudsFile, nullptr, scene.width, scene.height,
                                              "whole-clouds.bmp", scene.crop));
        const std::vector<std::uint8_t> expected =
            FrameRenderedInMemory(kMoment, "whole-day.bmp", night ? "whole-night.bmp" : nullptr,
                                  clouds ? "whole-clouds.bmp" : nullptr, options, scene.wrap, "expected.bmp");
        ASSERT_FALSE(expected.empty());

        // The prepared sources and the redraw's frame from them.
        RenderState state;
        state.SetOutputShape(scene.width, scene.height, scene.crop ? 1 : 0);
        state.CenterOn = scene.centreCode;
        state.BlackBars = scene.blackBars ? 1 : 0;
        state.DaytimeImage = kDayImage;
        state.NighttimeImage = scene.night;
        state.Clouds = clouds ? 1 : 0;
        ASSERT_TRUE(PrepareSourcesAt(kMoment, state, true));
        ASSERT_EQ(
            RenderFileFrameAt(kMoment, kCurrentDayFile, night ? kCurrentNightFile : nullptr,
                              clouds ? kCurrentCloudsFile : nullptr, options, scene.wrap, kCurrentFrameFile),
            FileFrameResult::Written);
        EXPECT_TRUE(FileBytes(kCurrentFrameFile) == expected);

        // What the day source keeps: with crop, no more rows than the output has, nor (unless
        // the centre moves) more columns; without, the whole map, in the very file the whole
        // map's scaling wrote.
        PreparedSource day;
        ASSERT_EQ(day.Open(kCurrentDayFile), PreparedSourceState::Opened);
        const MapPart part = day.Cut().part;
        if (scene.crop) {
            EXPECT_LE(part.height, scene.height);
            EXPECT_LE(part.width, scene.centreCode == 1001 ? day.Cut().map.width : scene.width);
        } else {
            const std::vector<std::uint8_t> whole = FileBytes("whole-day.bmp");
            const std::vector<std::uint8_t> prepared = FileBytes(kCurrentDayFile);
            ASSERT_EQ(prepared.size(), whole.size());
            for (std::size_t at = 0; at < whole.size(); ++at) {
                // The fourth byte of a pixel carries nothing and need not match.
                if (at < 66 || (at - 66) % 4 != 3) {
                    ASSERT_EQ(prepared[at], whole[at]) << at;
                }
            }
        }
    }

    // Sources cut for one fixed centre hold too little for another: no frame is made from them,
    // and the earlier one stays.
    RenderState state;
    state.SetOutputShape(384, 216, 1);
    state.CenterOn = 1006;
    state.DaytimeImage = kDayImage;
    ASSERT_TRUE(PrepareSourcesAt(kMoment, state, true));
    FrameOptions options;
    options.centreCode = 1006;
    options.outputWidth = 384;
    options.outputHeight = 216;
    options.crop = true;
    ASSERT_EQ(RenderFileFrameAt(kMoment, kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile, options, {},
                                kCurrentFrameFile),
              FileFrameResult::Written);
    const std::vector<std::uint8_t> earlier = FileBytes(kCurrentFrameFile);
    options.centreCode = 90;
    EXPECT_EQ(RenderFileFrameAt(kMoment, kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile, options, {},
                                kCurrentFrameFile),
              FileFrameResult::MissingPart);
    EXPECT_TRUE(FileBytes(kCurrentFrameFile) == earlier);
}

// The settings preview drawn from the small sources in a scratch folder, as the dialog draws it
// from its controls: which files it reads, how it fits the control, and what a failure keeps.
#include "ui/settings_preview.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "image/dib_image.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "tests/render/working_folder.h"

namespace {

// The picture control's size in pixels at 96 dots per inch.
constexpr int kControlWidth = 186;
constexpr int kControlHeight = 120;

std::int64_t MarchNoon() {
    std::tm fields = {};
    fields.tm_year = 2024 - 1900;
    fields.tm_mon = 2;
    fields.tm_mday = 20;
    fields.tm_hour = 12;
    return UtcSecondsFromFields(fields);
}

SettingsChoices DayOnly(int dayImage) {
    SettingsChoices choices;
    choices.centreOn = 0;  // longitude 0 in the middle: at noon UTC the sun is over it
    choices.daytimeImage = dayImage;
    choices.nighttimeImage = 0;
    return choices;
}

DibImage ReadPreview() {
    DibImage preview;
    EXPECT_TRUE(preview.ReadBmpFile(kPreviewFrameFile));
    return preview;
}

int Brightness(ColourValue colour) {
    return static_cast<int>((colour & 0xFF) + (colour >> 8 & 0xFF) + (colour >> 16 & 0xFF));
}

class SettingsPreviewTest : public ::testing::Test {
  protected:
    WorkingFolder folder_;
};

TEST_F(SettingsPreviewTest, AutoSelectTakesTheMonthsImageAndTheNightChoiceDecidesTheDarkSide) {
    folder_.CopyFromSource("data/03-512.jpg", "03-512.jpg");  // the only day image there

    SettingsChoices choices = DayOnly(-1);
    ASSERT_TRUE(WritePreviewFile(choices, kControlWidth, kControlHeight, MarchNoon()));
    DibImage noNight = ReadPreview();
    // Neither bars nor crop: the map keeps its 2:1 shape, lower than the control, shown centred.
    ASSERT_EQ(noNight.Width(), kControlWidth);
    ASSERT_EQ(noNight.Height(), kControlWidth / 2);
    const int middle = kControlWidth / 2, equator = noNight.Height() / 2;
    const int antipode = 2;  // longitude -176: midnight

    choices.nighttimeImage = -1;  // "Simple Shadows": the day image darkened, no night file read
    ASSERT_TRUE(WritePreviewFile(choices, kControlWidth, kControlHeight, MarchNoon()));
    const DibImage shadows = ReadPreview();
    EXPECT_EQ(shadows.GetPixelColour(middle, equator), noNight.GetPixelColour(middle, equator))
        << "day under the sun";
    EXPECT_LT(Brightness(shadows.GetPixelColour(antipode, equator)),
              Brightness(noNight.GetPixelColour(antipode, equator)))
        << "without a night image the dark side is the day image, darkened only with shadows";

    choices.nighttimeImage = 13;  // a night file that is not there: the layer is left out
    EXPECT_TRUE(WritePreviewFile(choices, kControlWidth, kControlHeight, MarchNoon()));
}

TEST_F(SettingsPreviewTest, BlackBarsOrCropFitTheControlExactly) {
    folder_.CopyFromSource("data/00-512.jpg", "00-512.jpg");
    SettingsChoices choices = DayOnly(0);
    choices.clouds = true;  // no "clouds-512.bmp" here: no clouds, no failure
    choices.blackBars = true;
    choices.cropTicked = true;  // greyed out by the bars: the layers fit inside, framed by bars
    ASSERT_TRUE(WritePreviewFile(choices, kControlWidth, kControlHeight, MarchNoon()));
    DibImage barred = ReadPreview();
    ASSERT_EQ(barred.Width(), kControlWidth);
    ASSERT_EQ(barred.Height(), kControlHeight);
    EXPECT_EQ(barred.GetPixelColour(kControlWidth / 2, 0), 0u) << "a black bar at the top";

    choices.blackBars = false;  // cropping: the layers cover the control, then are cut to it
    ASSERT_TRUE(WritePreviewFile(choices, kControlWidth, kControlHeight, MarchNoon()));
    const DibImage cropped = ReadPreview();
    EXPECT_EQ(cropped.Width(), kControlWidth);
    EXPECT_EQ(cropped.Height(), kControlHeight);
    EXPECT_NE(cropped.GetPixelColour(kControlWidth / 2, 0), 0u) << "no bar";
}

TEST_F(SettingsPreviewTest, AFailedPassKeepsThePreviousPreview) {
    folder_.CopyFromSource("data/00-512.jpg", "00-512.jpg");
    ASSERT_TRUE(WritePreviewFile(DayOnly(0), kControlWidth, kControlHeight, MarchNoon()));
    const auto written = std::filesystem::last_write_time(kPreviewFrameFile);
    const auto size = std::filesystem::file_size(kPreviewFrameFile);

    EXPECT_FALSE(WritePreviewFile(DayOnly(5), kControlWidth, kControlHeight, MarchNoon())) << "no 05-512.jpg";
    EXPECT_FALSE(WritePreviewFile(DayOnly(0), 0, kControlHeight, MarchNoon())) << "a control of no width";
    EXPECT_EQ(std::filesystem::last_write_time(kPreviewFrameFile), written);
    EXPECT_EQ(std::filesystem::file_size(kPreviewFrameFile), size);
}

}  // namespace

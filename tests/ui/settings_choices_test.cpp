// The size list built from the monitors, and how the dialog's choices map to the settings.
#include "ui/settings_choices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/settings/memory_settings_store.h"
#include "ui/size_list.h"

namespace {

using ::testing::ElementsAre;

TEST(SizeList, OneMonitorIsTheWholeList) {
    const SizeList list = BuildSizeList({{1280, 1024, "\\\\.\\DISPLAY1"}}, 1280, 1024, 1024, 768);
    ASSERT_EQ(list.choices.size(), 1u);
    EXPECT_EQ(list.choices[0].text, "1280x1024 - \\\\.\\DISPLAY1");
    EXPECT_EQ(list.choices[0].code, 1024u << 16 | 1280u);
    EXPECT_TRUE(list.separators.empty());
    EXPECT_EQ(list.selection, 0) << "the stored 1024x768 is no monitor's: the first monitor";
}

TEST(SizeList, SeveralMonitorsAddTheCombinedDesktopBelowASeparator) {
    const std::vector<MonitorArea> monitors = {{1280, 1024, "\\\\.\\DISPLAY1"},
                                               {1280, 1024, "\\\\.\\DISPLAY2"}};
    const SizeList list = BuildSizeList(monitors, 2560, 1024, 2560, 1024);
    ASSERT_EQ(list.choices.size(), 3u);
    EXPECT_THAT(list.separators, ElementsAre(1));
    EXPECT_EQ(list.choices[2].text, "2560x1024 - Combined Desktop");
    EXPECT_EQ(list.choices[2].code, 1024u << 16 | 2560u);
    EXPECT_EQ(list.selection, 2);

    EXPECT_EQ(BuildSizeList(monitors, 0, 0, 1280, 1024).choices.size(), 2u) << "no virtual screen size";
    EXPECT_EQ(BuildSizeList(monitors, 65536, 65536, 0, 0).choices.size(), 2u) << "a size that packs to 0";
}

TEST(SizeList, WithoutReadableMonitorsTheStoredSizeIsTheOnlyEntry) {
    const SizeList list = BuildSizeList({}, 1280, 1024, 800, 600);
    ASSERT_EQ(list.choices.size(), 1u);
    EXPECT_EQ(list.choices[0].text, "800x600");
    EXPECT_EQ(list.choices[0].code, 600u << 16 | 800u);
    EXPECT_EQ(list.selection, 0);
}

TEST(SizeList, CodesKeepSixteenBitsOfEachSide) {
    EXPECT_EQ(PackSize(70000, 1), 1u << 16 | (70000u & 0xFFFFu));
    EXPECT_EQ(PackedWidth(0xFFFFFFFFu), 65535);
    EXPECT_EQ(PackedHeight(0xFFFFFFFFu), 65535) << "shifted without sign";
}

TEST(SettingsChoices, StoringOverwritesTheDialogsFieldsAndKeepsTheCloudDownloadsOnes) {
    MemorySettingsStore store;
    CSettings settings(store);
    settings.AutoUpdateClouds = 1;
    settings.CloudUpdateFreq = 12;
    settings.CloudsLastUpdated = 133'000'000'000'000'000ull;
    settings.URLs = {"http://a/", "http://b/"};

    SettingsChoices choices;
    choices.centreOn = 15;
    choices.updateFreq = 3600000;
    choices.size = PackSize(2560, 1024);
    choices.daytimeImage = -1;  // also what a list without a selection gives
    choices.nighttimeImage = 17;
    choices.blackBars = true;
    choices.cropTicked = true;  // greyed out by the black bars: stores 0
    choices.activeDesktop = true;
    choices.clouds = false;
    choices.cloudFactor = 73;
    StoreChoices(choices, settings);

    EXPECT_EQ(settings.CenterOn, 15);
    EXPECT_EQ(settings.UpdateFreq, 3600000u);
    EXPECT_EQ(settings.HorizontalRes, 2560);
    EXPECT_EQ(settings.VerticalRes, 1024);
    EXPECT_EQ(settings.BlackBars, 1);
    EXPECT_EQ(settings.Crop, 0);
    EXPECT_EQ(settings.ActiveDesktop, 1);
    EXPECT_EQ(settings.Clouds, 0);
    EXPECT_EQ(settings.CloudFactor, 73) << "kept while the bar is disabled";
    EXPECT_EQ(settings.DaytimeImage, -1);
    EXPECT_EQ(settings.NighttimeImage, 17);
    EXPECT_EQ(settings.AutoUpdateClouds, 1);
    EXPECT_EQ(settings.CloudUpdateFreq, 12u);
    EXPECT_EQ(settings.CloudsLastUpdated, 133'000'000'000'000'000ull);
    EXPECT_THAT(settings.URLs, ElementsAre("http://a/", "http://b/"));

    choices.blackBars = false;
    StoreChoices(choices, settings);
    EXPECT_EQ(settings.Crop, 1) << "enabled and ticked";
}

TEST(SettingsChoices, EnablingFollowsTheBoxesAndWow64NeverOffersTheActiveDesktop) {
    SettingsChoices choices;
    choices.blackBars = true;
    choices.clouds = false;
    choices.activeDesktop = true;
    EnabledControls enabled = EnabledFor(choices, false);
    EXPECT_FALSE(enabled.cropBox);
    EXPECT_FALSE(enabled.thicknessBar);
    EXPECT_TRUE(enabled.sizeList);
    EXPECT_TRUE(enabled.activeDesktopButton);

    choices = {};
    choices.clouds = true;
    enabled = EnabledFor(choices, true);
    EXPECT_TRUE(enabled.cropBox);
    EXPECT_TRUE(enabled.thicknessBar);
    EXPECT_FALSE(enabled.sizeList);
    EXPECT_FALSE(enabled.activeDesktopButton);

    MemorySettingsStore store;
    CSettings settings(store);
    settings.ActiveDesktop = 1;
    EXPECT_TRUE(OpensWithActiveDesktop(settings, false));
    EXPECT_FALSE(OpensWithActiveDesktop(settings, true)) << "64-bit Windows: the wallpaper";
    settings.ActiveDesktop = 0;
    EXPECT_FALSE(OpensWithActiveDesktop(settings, false));
}

}  // namespace

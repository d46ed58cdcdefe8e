#include "tools/render_cli/render_cli_options.h"

#include <gtest/gtest.h>

#include "settings/no_key_store.h"
#include "settings/settings.h"

namespace {

RenderCliParse Parse(std::vector<std::string> arguments) {
    NoKeySettingsStore store;
    const CSettings defaults(store);
    return ParseRenderCliOptions(arguments, defaults);
}

TEST(RenderCliOptions, FromTheImageryEveryChoiceDefaultsToTheSettings) {
    const auto parse = Parse({"-o", "out.bmp"});
    ASSERT_TRUE(parse.options) << parse.error;
    const RenderCliOptions& options = *parse.options;
    EXPECT_FALSE(options.fromFiles);
    EXPECT_EQ(options.dataFolder, "data");
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
    EXPECT_FALSE(options.at);
    EXPECT_EQ(options.centreCode, kCenterOnTimeZone);
    EXPECT_EQ(options.dayImage, -1);
    EXPECT_EQ(options.nightImage, 13);
    EXPECT_EQ(options.clouds, 1);
    EXPECT_EQ(options.cloudFactor, 10);
    EXPECT_EQ(options.crop, 1);
    EXPECT_EQ(options.blackBars, 0);
}

TEST(RenderCliOptions, FromTheImageryTakesEveryChoice) {
    const auto parse = Parse({"--data", "maps", "--size=1024x768", "--at", "2024-06-21T12:00:00Z", "--center",
                              "sunset", "--day", "0", "--night=-1", "--no-clouds", "--cloud-factor", "40",
                              "--black-bars", "-o", "out.bmp"});
    ASSERT_TRUE(parse.options) << parse.error;
    const RenderCliOptions& options = *parse.options;
    EXPECT_EQ(options.dataFolder, "maps");
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
    EXPECT_EQ(options.at, 1718971200);
    EXPECT_EQ(options.centreCode, kCenterOnSunset);
    EXPECT_EQ(options.dayImage, 0);
    EXPECT_EQ(options.nightImage, -1);
    EXPECT_EQ(options.clouds, 0);
    EXPECT_EQ(options.cloudFactor, 40);
    EXPECT_EQ(options.blackBars, 1);
    EXPECT_EQ(options.crop, 0);
}

TEST(RenderCliOptions, CentreTakesLongitudesCodesAndWords) {
    const std::vector<std::pair<std::string, int>> centres = {
        {"-180", -180},     {"180", 180},       {"0", 0},         {"1000", 1000},    {"timezone", 1000},
        {"noon", 1001},     {"midnight", 1002}, {"sunset", 1003}, {"sunrise", 1004}, {"europe-africa", 1006},
        {"americas", 1007}, {"asia", 1008},     {"1005", 1005},
    };
    for (const auto& [text, code] : centres) {
        const auto parse = Parse({"--center", text, "-o", "o.bmp"});
        ASSERT_TRUE(parse.options) << text;
        EXPECT_EQ(parse.options->centreCode, code) << text;
    }
}

TEST(RenderCliOptions, FittingChoicesExcludeEachOther) {
    const auto noFit = Parse({"--no-fit", "-o", "o.bmp"});
    ASSERT_TRUE(noFit.options);
    EXPECT_EQ(noFit.options->crop, 0);
    EXPECT_EQ(noFit.options->blackBars, 0);
    EXPECT_TRUE(Parse({"--crop", "--crop", "-o", "o.bmp"}).options);
    EXPECT_FALSE(Parse({"--crop", "--black-bars", "-o", "o.bmp"}).options);
    EXPECT_FALSE(Parse({"--no-fit", "--crop", "-o", "o.bmp"}).options);
}

TEST(RenderCliOptions, FromFilesTakesValuesAsNextArgumentOrAfterEquals) {
    const auto parse =
        Parse({"--day-file", "day.bmp", "--night-file=night.bmp", "--clouds-file", "c.bmp",
               "--cloud-factor=40", "--at", "2024-06-21T12:00:00Z", "--center-lon=-95.5", "-o", "out.bmp"});
    ASSERT_TRUE(parse.options) << parse.error;
    const RenderCliOptions& options = *parse.options;
    EXPECT_TRUE(options.fromFiles);
    EXPECT_EQ(options.dayFile, "day.bmp");
    EXPECT_EQ(options.nightFile, "night.bmp");
    EXPECT_EQ(options.cloudsFile, "c.bmp");
    EXPECT_EQ(options.cloudFactor, 40);
    EXPECT_EQ(options.at, 1718971200);
    EXPECT_FALSE(options.centreCode);
    EXPECT_DOUBLE_EQ(options.centreLongitude, -95.5);
    EXPECT_EQ(options.outputFile, "out.bmp");
    EXPECT_FALSE(options.darkenedDay);
}

TEST(RenderCliOptions, FromFilesCentresOnLongitudeZeroUnlessTold) {
    const auto parse = Parse({"--day-file", "d.bmp", "-o", "o.bmp"});
    ASSERT_TRUE(parse.options);
    EXPECT_FALSE(parse.options->centreCode);
    EXPECT_EQ(parse.options->centreLongitude, 0);
    const auto noon = Parse({"--day-file", "d.bmp", "--center", "noon", "-o", "o.bmp"});
    ASSERT_TRUE(noon.options);
    EXPECT_EQ(noon.options->centreCode, kCenterOnNoon);
}

TEST(RenderCliOptions, RefusesWhatCannotBeRendered) {
    const std::vector<std::vector<std::string>> refused = {
        {"--size", "1024x768"},             // no output
        {"-o"},                             // value missing
        {"-o", ""},                         // empty value
        {"-o", "o.bmp", "--bogus"},         // unknown option
        {"-o", "o.bmp", "--size", "1024"},  // not WxH
        {"-o", "o.bmp", "--size", "0x768"},
        {"-o", "o.bmp", "--size", "40000x20000"},
        {"-o", "o.bmp", "--day", "-2"},
        {"-o", "o.bmp", "--night", "one"},
        {"-o", "o.bmp", "--center", "181"},
        {"-o", "o.bmp", "--center", "1009"},
        {"-o", "o.bmp", "--center", "dawn"},
        {"-o", "o.bmp", "--no-clouds=yes"},
        {"-o", "o.bmp", "--cloud-factor", "101"},
        {"-o", "o.bmp", "--cloud-factor", "-1"},
        {"-o", "o.bmp", "--cloud-factor", "5x"},
        {"-o", "o.bmp", "--at", "yesterday"},
        {"-o", "o.bmp", "--darken"},  // a file option alone
        {"-o", "o.bmp", "--center-lon", "10"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--size", "1024x768"},  // imagery with files
        {"--day-file", "d.bmp", "-o", "o.bmp", "--crop"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--darken", "--night-file", "n.bmp"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--center-lon", "180.5"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--center-lon", "nan"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--center-lon", "0", "--center", "noon"},
    };
    for (const auto& arguments : refused) {
        const auto parse = Parse(arguments);
        EXPECT_FALSE(parse.options) << testing::PrintToString(arguments);
        EXPECT_FALSE(parse.error.empty()) << testing::PrintToString(arguments);
    }
}

TEST(RenderCliOptions, HelpNeedsNothingElse) {
    const auto parse = Parse({"--help"});
    ASSERT_TRUE(parse.options);
    EXPECT_TRUE(parse.options->showHelp);
}

}  // namespace

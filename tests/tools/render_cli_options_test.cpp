#include "tools/render_cli/render_cli_options.h"

#include <gtest/gtest.h>

namespace {

RenderCliParse Parse(std::vector<std::string> arguments) { return ParseRenderCliOptions(arguments); }

TEST(RenderCliOptions, TakesValuesAsNextArgumentOrAfterEquals) {
    const auto parse = Parse({"--day-file", "day.bmp", "--night-file=night.bmp", "--clouds-file", "c.bmp",
                              "--cloud-factor=40", "--at", "2024-06-21T12:00:00Z", "--center-lon=-95.5", "-o",
                              "out.bmp"});
    ASSERT_TRUE(parse.options) << parse.error;
    const RenderCliOptions& options = *parse.options;
    EXPECT_EQ(options.dayFile, "day.bmp");
    EXPECT_EQ(options.nightFile, "night.bmp");
    EXPECT_EQ(options.cloudsFile, "c.bmp");
    EXPECT_EQ(options.cloudFactor, 40);
    EXPECT_EQ(options.at, 1718971200);
    EXPECT_DOUBLE_EQ(options.centreLongitude, -95.5);
    EXPECT_EQ(options.outputFile, "out.bmp");
    EXPECT_FALSE(options.darkenedDay);
}

TEST(RenderCliOptions, DefaultsAreNowCentreZeroAndTheSettingsCloudFactor) {
    const auto parse = Parse({"--day-file", "d.bmp", "-o", "o.bmp"});
    ASSERT_TRUE(parse.options);
    EXPECT_FALSE(parse.options->at);
    EXPECT_EQ(parse.options->centreLongitude, 0);
    EXPECT_EQ(parse.options->cloudFactor, 10);
    EXPECT_TRUE(parse.options->nightFile.empty());
}

TEST(RenderCliOptions, RefusesWhatCannotBeRendered) {
    const std::vector<std::vector<std::string>> refused = {
        {"-o", "o.bmp"},                                                  // no day image
        {"--day-file", "d.bmp"},                                          // no output
        {"--day-file", "d.bmp", "-o"},                                    // value missing
        {"--day-file", "d.bmp", "-o", ""},                                // empty value
        {"--day-file", "d.bmp", "-o", "o.bmp", "--bogus"},                // unknown option
        {"--day-file", "d.bmp", "-o", "o.bmp", "--darken", "--night-file", "n.bmp"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--darken=yes"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--cloud-factor", "101"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--cloud-factor", "-1"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--cloud-factor", "5x"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--center-lon", "180.5"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--center-lon", "nan"},
        {"--day-file", "d.bmp", "-o", "o.bmp", "--at", "yesterday"},
    };
    for (const auto& arguments : refused) {
        const auto parse = Parse(arguments);
        EXPECT_FALSE(parse.options) << arguments.back();
        EXPECT_FALSE(parse.error.empty()) << arguments.back();
    }
}

TEST(RenderCliOptions, HelpNeedsNothingElse) {
    const auto parse = Parse({"--help"});
    ASSERT_TRUE(parse.options);
    EXPECT_TRUE(parse.options->showHelp);
}

}  // namespace

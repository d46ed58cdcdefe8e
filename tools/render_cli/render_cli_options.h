// The command line of orbiscape-render, which composes one frame of the Earth and writes it as
// a bitmap file. It works in one of two ways:
//  - from the program's imagery (the default): the day, night and cloud maps are picked by the
//    settings' image numbers, scaled to the output size and fitted as the program does;
//  - from bitmap files named on the command line (--day-file): composed at the day map's size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CSettings;

struct RenderCliOptions {
    bool fromFiles = false;  // --day-file given
    bool showHelp = false;

    // Both ways.
    std::string outputFile;
    std::optional<std::int64_t> at;  // seconds since 1970 UTC; none: now
    int cloudFactor = 0;             // 0..100
    std::optional<int> centreCode;   // a CenterOn code; none: see centreLongitude

    // From the imagery.
    std::string dataFolder = "data";
    int width = 1920;
    int height = 1080;
    int dayImage = 0;    // -1: the month's image
    int nightImage = 0;  // 13, 16, 17...: a night map; -1 the darkened day map; 0 none
    int clouds = 0;
    int blackBars = 0;
    int crop = 0;

    // From bitmap files.
    std::string dayFile;
    std::string nightFile;   // empty: no night map
    std::string cloudsFile;  // empty: no clouds
    bool darkenedDay = false;
    double centreLongitude = 0;  // used when no centre code is given
};

// Either options or the reason the command line was refused.
struct RenderCliParse {
    std::optional<RenderCliOptions> options;
    std::string error;
};

// Reads the arguments after the program name; what they leave open comes from defaults (the
// settings record's CenterOn, Crop, BlackBars, Clouds, NighttimeImage, DaytimeImage and
// CloudFactor). Values follow their option as the next argument or after "=".
RenderCliParse ParseRenderCliOptions(const std::vector<std::string>& arguments, const CSettings& defaults);

// The text --help prints.
const char* RenderCliUsage();

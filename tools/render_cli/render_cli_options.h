// The command line of orbiscape-render, which composes one frame of the Earth and writes it as
// a bitmap file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderCliOptions {
    std::string dayFile;
    std::string nightFile;   // empty: no night image
    std::string cloudsFile;  // empty: no clouds
    std::string outputFile;
    bool darkenedDay = false;          // night side from the day image at a quarter brightness
    int cloudFactor = 10;              // 0..100, as the settings' cloud thickness
    std::optional<std::int64_t> at;    // seconds since 1970 UTC; none: now
    double centreLongitude = 0;        // -180..180
    bool showHelp = false;
};

// Either options or the reason the command line was refused.
struct RenderCliParse {
    std::optional<RenderCliOptions> options;
    std::string error;
};

// Reads the arguments after the program name. Values follow their option as the next argument
// or after "=" ("--at=2024-06-21T12:00:00Z").
RenderCliParse ParseRenderCliOptions(const std::vector<std::string>& arguments);

// The text --help prints.
const char* RenderCliUsage();

// orbiscape-render: composes one frame of the Earth from bitmap files and writes it as a
// bitmap file. Every failure is reported on stderr with a non-zero status, and no output file
// is left behind (the writer puts the file in place only once it is complete).
#include <cstdio>
#include <string>
#include <vector>

#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "render/compositor.h"
#include "render/utc_clock.h"
#include "tools/render_cli/render_cli_options.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "orbiscape-render: %s\n", message.c_str());
    return kExitFailure;
}

// Reads an optional layer; an empty name leaves the image empty.
bool ReadLayer(const std::string& name, const char* what, DibImage& image) {
    if (name.empty() || image.ReadBmpFile(name.c_str())) {
        return true;
    }
    Fail(std::string("cannot read the ") + what + " '" + name + "': not a readable bitmap file");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const RenderCliParse parse = ParseRenderCliOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parse.options) {
        std::fprintf(stderr, "orbiscape-render: %s\nTry 'orbiscape-render --help'.\n", parse.error.c_str());
        return kExitUsage;
    }
    const RenderCliOptions& options = *parse.options;
    if (options.showHelp) {
        std::fputs(RenderCliUsage(), stdout);
        return 0;
    }

    DibImage day, night, clouds;
    if (!ReadLayer(options.dayFile, "day image", day) || !ReadLayer(options.nightFile, "night image", night) ||
        !ReadLayer(options.cloudsFile, "cloud map", clouds)) {
        return kExitFailure;
    }

    // The frame is always 32 bits per pixel, whatever depth the day image has: composing into a
    // palette image would round every blended pixel to the nearest palette colour.
    DibImage frame;
    if (!CreateDib(frame, day.Width(), day.Height(), 32, false)) {
        return Fail("cannot make a frame of " + std::to_string(day.Width()) + " x " +
                    std::to_string(day.Height()) + " pixels");
    }
    const std::tm moment = BreakDownUtc(options.at.value_or(CurrentUtcSeconds()));
    ComposeDayNight(moment, day, night, frame, clouds, options.darkenedDay ? 1 : 0, options.cloudFactor,
                    options.centreLongitude);

    if (!frame.SaveBmpFile(options.outputFile.c_str())) {
        return Fail("cannot write '" + options.outputFile + "'");
    }
    return 0;
}

// orbiscape-render: composes one frame of the Earth and writes it as a bitmap file, either from
// the program's imagery exactly as the program draws its wallpaper (scaling the maps with
// ScaleImageFile, composing and fitting with RenderFrame), or from bitmap files as they are.
// Every failure is reported on stderr with a non-zero status, and no output file is left
// behind: the writer puts the file in place only once it is complete.
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "framework/path_text.h"
#include "framework/program_arguments.h"
#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "render/centre_longitude.h"
#include "render/compositor.h"
#include "render/file_frame.h"
#include "render/processor_count.h"
#include "render/render_frame.h"
#include "render/scale_image_file.h"
#include "render/time_zone.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "settings/no_key_store.h"
#include "settings/settings.h"
#include "tools/render_cli/render_cli_options.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "orbiscape-render: %s\n", message.c_str());
    return kExitFailure;
}

// A file in the system's temporary folder that is removed again when this goes out of scope.
class TemporaryFile {
  public:
    explicit TemporaryFile(const char* suffix) {
        std::error_code error;
        const auto folder = std::filesystem::temp_directory_path(error);
        std::random_device entropy;
        path_ = folder / ("orbiscape-render-" + std::to_string(entropy()) + suffix);
    }
    ~TemporaryFile() {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

bool ScaleMap(const std::filesystem::path& file, const char* what, const RenderCliOptions& options,
              DibImage& map) {
    if (ScaleImageFile(PathText(file).c_str(), &map, options.width, options.height, nullptr,
                       options.crop != 0)) {
        return true;
    }
    Fail(std::string("cannot read the ") + what + " '" + PathText(file) + "'");
    return false;
}

// The cloud map as the program uses it: "clouds-2560.bmp" when the folder has one (the program's
// latest download), else made from "clouds.jpg" the way start-up makes it.
bool ScaleClouds(const RenderCliOptions& options, DibImage& clouds) {
    const std::filesystem::path folder = PathOf(options.dataFolder);
    std::error_code error;
    if (std::filesystem::exists(folder / kDesktopCloudsFile, error)) {
        return ScaleMap(folder / kDesktopCloudsFile, "cloud map", options, clouds);
    }
    const std::filesystem::path seed = folder / kSeedCloudsFile;
    const TemporaryFile desktopClouds(".bmp");
    if (!ScaleImageFile(PathText(seed).c_str(), nullptr, kDesktopCloudsWidth, kDesktopCloudsHeight,
                        PathText(desktopClouds.Path()).c_str(), false)) {
        Fail("cannot read the cloud map '" + PathText(seed) + "'");
        return false;
    }
    return ScaleMap(desktopClouds.Path(), "cloud map", options, clouds);
}

int RenderFromImagery(const RenderCliOptions& options, std::int64_t at) {
    const std::filesystem::path folder = PathOf(options.dataFolder);
    const int dayNumber = options.dayImage == -1 ? BreakDownUtc(at).tm_mon + 1 : options.dayImage;
    DibImage day, night, clouds;
    if (!ScaleMap(folder / DesktopImageFile(dayNumber), "day map", options, day) ||
        (options.nightImage >= 1 &&
         !ScaleMap(folder / DesktopImageFile(options.nightImage), "night map", options, night)) ||
        (options.clouds != 0 && !ScaleClouds(options, clouds))) {
        return kExitFailure;
    }
    FrameOptions frameOptions;
    frameOptions.centreCode = *options.centreCode;
    frameOptions.outputWidth = options.width;
    frameOptions.outputHeight = options.height;
    frameOptions.blackBars = options.blackBars != 0;
    frameOptions.crop = options.crop != 0;
    frameOptions.darkenedDay = options.nightImage == -1;
    frameOptions.cloudFactor = options.cloudFactor;
    DibImage frame;
    if (!frame.Copy(day) || !RenderFrameAt(at, frame, day, night, clouds, frameOptions)) {
        return Fail("cannot make a frame of " + std::to_string(options.width) + " x " +
                    std::to_string(options.height) + " pixels");
    }
    return frame.SaveBmpFile(options.outputFile.c_str()) ? 0
                                                         : Fail("cannot write '" + options.outputFile + "'");
}

bool ReadBitmap(const std::string& name, const char* what, DibImage& image) {
    if (name.empty() || image.ReadBmpFile(name.c_str())) {
        return true;
    }
    Fail(std::string("cannot read the ") + what + " '" + name + "': not a readable bitmap file");
    return false;
}

const char* NameOrNull(const std::string& name) {
    return name.empty() ? nullptr : name.c_str();
}

// Composes the frame from the files read whole. Slower and larger than streaming them, but it
// reads every kind of bitmap file and says which one failed.
int ComposeFromImages(const RenderCliOptions& options, const std::tm& moment, double centre) {
    DibImage day, night, clouds;
    if (!ReadBitmap(options.dayFile, "day map", day) || !ReadBitmap(options.nightFile, "night map", night) ||
        !ReadBitmap(options.cloudsFile, "cloud map", clouds)) {
        return kExitFailure;
    }
    // The frame is always 32 bits per pixel, whatever depth the day map has: composing into a
    // palette image would round every blended pixel to the nearest palette colour.
    DibImage frame;
    if (!CreateDib(frame, day.Width(), day.Height(), 32, false) ||
        !ComposeDayNight(moment, day, night, frame, clouds, options.darkenedDay ? 1 : 0, options.cloudFactor,
                         centre)) {
        return Fail("cannot make a frame of " + std::to_string(day.Width()) + " x " +
                    std::to_string(day.Height()) + " pixels");
    }
    return frame.SaveBmpFile(options.outputFile.c_str()) ? 0
                                                         : Fail("cannot write '" + options.outputFile + "'");
}

int RenderFromFiles(const RenderCliOptions& options, std::int64_t at) {
    const std::tm moment = BreakDownUtc(at);
    const double centre = options.centreCode
                              ? CentreLongitude(*options.centreCode, moment, StandardTimeOffsetSeconds())
                              : options.centreLongitude;
    // Prepared files, as the program makes them, are composed row by row from file to file, the
    // way the program's timed redraw does it.
    FileFrameJob job{};
    job.dayFile = options.dayFile.c_str();
    job.nightFile = NameOrNull(options.nightFile);
    job.cloudsFile = NameOrNull(options.cloudsFile);
    job.utc = moment;
    job.centreLongitude = centre;
    job.darkenedDay = options.darkenedDay;
    job.cloudFactor = options.cloudFactor;
    job.newFrameHeader = true;
    job.outputFile = options.outputFile.c_str();
    const FileFrameResult result = RenderFileFrame(job, ProcessorCount() > 1 ? 2 : 1);
    if (result == FileFrameResult::Written) {
        return 0;
    }
    if (result == FileFrameResult::MissingPart) {
        return Fail(
            "the files hold only the part of their maps that the program's frames show, not whole maps");
    }
    // Any other file, or a failure, goes the whole-image way, which tells what went wrong.
    return ComposeFromImages(options, moment, centre);
}

}  // namespace

int main(int argc, char** argv) {
    // The command line's defaults are the settings' defaults, never what a user has stored.
    NoKeySettingsStore noStoredSettings;
    const CSettings defaults(noStoredSettings);
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const RenderCliParse parse =
        ParseRenderCliOptions(std::vector<std::string>(arguments.begin() + 1, arguments.end()), defaults);
    if (!parse.options) {
        std::fprintf(stderr, "orbiscape-render: %s\nTry 'orbiscape-render --help'.\n", parse.error.c_str());
        return kExitUsage;
    }
    const RenderCliOptions& options = *parse.options;
    if (options.showHelp) {
        std::fputs(RenderCliUsage(), stdout);
        return 0;
    }
    const std::int64_t at = options.at.value_or(CurrentUtcSeconds());
    return options.fromFiles ? RenderFromFiles(options, at) : RenderFromImagery(options, at);
}

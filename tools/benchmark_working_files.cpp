#include "tools/benchmark_working_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "framework/path_text.h"
#include "render/prepare_sources.h"
#include "render/render_frame.h"
#include "render/render_state.h"
#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "settings/no_key_store.h"
#include "settings/settings.h"
#include "tools/benchmark_moment.h"
#include "tools/child_process.h"

namespace {

namespace fs = std::filesystem;

struct Desktop {
    int width;
    int height;
};
constexpr Desktop kDesktops[] = {{1280, 1024}, {3840, 2160}, {7680, 2160}, {11520, 2160}};

// June's map: the day image is fixed, so that the moment's month does not matter.
constexpr int kDayImage = 6;
// A timed redraw is measured a few times; the first reads the files into the system's cache, as
// the preparation leaves them.
constexpr int kRedrawRuns = 3;
constexpr double kBytesPerMegabyte = 1e6;
constexpr double kMillisecondsPerDay = 86400.0 * 1000.0;
// The cloud download's shortest period.
constexpr double kCloudUpdatesPerDay = 24.0 / kMinCloudUpdateFreq;

std::int64_t Moment() {
    return UtcSecondsFromFields(BenchmarkMoment());
}

// The settings a new user has, for a desktop of the given size.
void SetDefaults(Desktop desktop, RenderState& state) {
    NoKeySettingsStore noStoredSettings;
    const CSettings defaults(noStoredSettings);
    state.SetOutputShape(desktop.width, desktop.height, defaults.Crop);
    state.CenterOn = defaults.CenterOn;
    state.BlackBars = defaults.BlackBars;
    state.Clouds = defaults.Clouds;
    state.NighttimeImage = defaults.NighttimeImage;
    state.DaytimeImage = kDayImage;
    state.CloudFactor = defaults.CloudFactor;
}

std::uint32_t DefaultRedrawPeriodMs() {
    NoKeySettingsStore noStoredSettings;
    return CSettings(noStoredSettings).UpdateFreq;
}

// The sources as the program prepared them before they were cut: each map scaled whole.
bool PrepareWholeMaps(const RenderState& state) {
    const int width = state.Width;
    const int height = state.Height;
    const bool crop = state.Crop != 0;
    return ScaleImageFile(DesktopImageFile(state.DaytimeImage).c_str(), nullptr, width, height,
                          kCurrentDayFile, crop) &&
           ScaleImageFile(DesktopImageFile(state.NighttimeImage).c_str(), nullptr, width, height,
                          kCurrentNightFile, crop) &&
           ScaleImageFile(kDesktopCloudsFile, nullptr, width, height, kCurrentCloudsFile, crop);
}

bool ParseDesktop(const char* text, Desktop& desktop) {
    return std::sscanf(text, "%dx%d", &desktop.width, &desktop.height) == 2;
}

std::uint64_t FileSize(const fs::path& file) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    return error ? 0 : size;
}

double Megabytes(std::uint64_t bytes) {
    return static_cast<double>(bytes) / kBytesPerMegabyte;
}

struct Measured {
    ChildMeasure preparation;
    ChildMeasure redraw;  // the fastest run, with the largest peak of all
    std::uint64_t day, night, clouds, frame, cloudMaps;
};

bool MeasureWay(const std::string& self, const fs::path& folder, Desktop desktop, const char* way,
                Measured& out) {
    for (const char* name : {kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile, kCurrentFrameFile}) {
        std::error_code error;
        fs::remove(folder / name, error);
    }
    const std::string size = std::to_string(desktop.width) + "x" + std::to_string(desktop.height);
    out.preparation = RunAndMeasure({self, "--prepare-sources", PathText(folder), size, way});
    if (!out.preparation.started || out.preparation.exitCode != 0) {
        return false;
    }
    double peak = 0;
    for (int run = 0; run < kRedrawRuns; ++run) {
        const ChildMeasure redraw = RunAndMeasure({self, "--redraw", PathText(folder), size});
        if (!redraw.started || redraw.exitCode != 0) {
            return false;
        }
        if (run == 1 || (run > 1 && redraw.wallMs < out.redraw.wallMs)) {
            out.redraw = redraw;
        }
        peak = std::max(peak, redraw.peakMemoryMiB);
    }
    out.redraw.peakMemoryMiB = peak;
    out.day = FileSize(folder / kCurrentDayFile);
    out.night = FileSize(folder / kCurrentNightFile);
    out.clouds = FileSize(folder / kCurrentCloudsFile);
    out.frame = FileSize(folder / kCurrentFrameFile);
    out.cloudMaps = FileSize(folder / kDesktopCloudsFile) + FileSize(folder / kSmallCloudsFile);
    return true;
}

void PrintRow(Desktop desktop, const char* way, const Measured& measured, double redrawsPerDay) {
    const std::uint64_t all =
        measured.day + measured.night + measured.clouds + measured.frame + measured.cloudMaps;
    // A cloud installation rewrites both cloud maps and the cloud source.
    const double cloudBytes = static_cast<double>(measured.cloudMaps + measured.clouds);
    const double redrawBytes = redrawsPerDay * static_cast<double>(measured.frame);
    std::printf(
        "%5d x %4d  %-5s  %7.0f %7.0f %6.1f   %6.0f %6.0f %6.1f   %6.1f %6.1f %6.1f %6.1f %5.1f  %6.1f %6.1f "
        "  %7.0f "
        "%7.0f\n",
        desktop.width, desktop.height, way, measured.preparation.wallMs, measured.preparation.cpuMs,
        measured.preparation.peakMemoryMiB, measured.redraw.wallMs, measured.redraw.cpuMs,
        measured.redraw.peakMemoryMiB, Megabytes(measured.day), Megabytes(measured.night),
        Megabytes(measured.clouds), Megabytes(measured.frame), Megabytes(measured.cloudMaps), Megabytes(all),
        Megabytes(all - measured.clouds), Megabytes(static_cast<std::uint64_t>(redrawBytes)),
        Megabytes(static_cast<std::uint64_t>(redrawBytes + kCloudUpdatesPerDay * cloudBytes)));
}

}  // namespace

bool BenchmarkWorkingFiles(const std::string& self, const std::string& dataFolder, const std::string& sharpMap) {
    std::error_code error;
    const fs::path folder =
        fs::temp_directory_path(error) / ("orbiscape-working-files-" + std::to_string(std::time(nullptr)));
    fs::create_directories(folder, error);
    const fs::path data = PathOf(dataFolder);
    bool ready = !error;
    for (const int image : {kDayImage, 13}) {
        const std::string name = DesktopImageFile(image);
        ready =
            ready && fs::copy_file(data / name, folder / name, fs::copy_options::overwrite_existing, error);
    }
    // The monthly map stands where a download of the day map's month would.
    ready = ready && (sharpMap.empty() || fs::copy_file(PathOf(sharpMap), folder / SharpMapFile(kDayImage),
                                                        fs::copy_options::overwrite_existing, error));
    // The cloud maps as start-up makes them from the delivered one, each in a process of its own
    // so that this one stays small (a child's peak memory counts the peak of the process that
    // starts it).
    const std::string seedClouds = PathText(data / kSeedCloudsFile);
    for (const auto& [size, name] :
         {std::pair{"2560x1280", kDesktopCloudsFile}, {"512x256", kSmallCloudsFile}}) {
        const ChildMeasure made =
            RunAndMeasure({self, "--prepare", seedClouds, size, PathText(folder / name)});
        ready = ready && made.started && made.exitCode == 0;
    }
    if (!ready) {
        std::fprintf(stderr, "could not lay out the maps of %s in %s\n", dataFolder.c_str(),
                     PathText(folder).c_str());
        fs::remove_all(folder, error);
        return false;
    }

    const double redrawsPerDay = kMillisecondsPerDay / DefaultRedrawPeriodMs();
    std::printf(
        "Working files with the default settings (crop, centred on the time zone, night image, clouds) from "
        "the delivered maps:\n"
        "the sources scaled whole, as before, or cut to what the frames show (and 'sharp': cut, with the day "
        "map of 5400 x 2700). Times in ms, memory in MiB "
        "(peak resident),\nfiles in MB; 'maps' are clouds-2560.bmp and clouds-512.bmp; written per day: a "
        "redraw every %.0f s,\nthen with cloud updates every %u hours too.\n",
        DefaultRedrawPeriodMs() / 1000.0, kMinCloudUpdateFreq);
    std::printf(
        "                    preparation              timed redraw          working files                    "
        " "
        "     all    no clouds  written per day\n"
        "desktop      maps      wall     cpu   peak     wall    cpu   peak     day  night clouds  frame  "
        "maps   "
        "                 redraws +clouds\n");
    bool allRan = true;
    for (const Desktop desktop : kDesktops) {
        for (const char* way : {"whole", "cut", "sharp"}) {
            if (std::string(way) == "sharp" && sharpMap.empty()) {
                continue;
            }
            Measured measured{};
            if (!MeasureWay(self, folder, desktop, way, measured)) {
                std::fprintf(stderr, "could not measure %d x %d (%s)\n", desktop.width, desktop.height, way);
                allRan = false;
                continue;
            }
            PrintRow(desktop, way, measured, redrawsPerDay);
        }
    }
    fs::remove_all(folder, error);
    return allRan;
}

int RunWorkingFilesStep(const std::vector<std::string>& arguments) {
    Desktop desktop{};
    const bool prepare = arguments.size() == 5 && arguments[1] == "--prepare-sources";
    const bool redraw = arguments.size() == 4 && arguments[1] == "--redraw";
    if ((!prepare && !redraw) || !ParseDesktop(arguments[3].c_str(), desktop)) {
        return -1;
    }
    std::error_code error;
    fs::current_path(PathOf(arguments[2]), error);
    if (error) {
        return 1;
    }
    RenderState state;
    SetDefaults(desktop, state);
    state.SharpMaps = arguments.size() == 5 && arguments[4] == "sharp" ? 1 : 0;
    if (prepare) {
        const bool whole = arguments[4] == "whole";
        return (whole ? PrepareWholeMaps(state) : PrepareSourcesAt(Moment(), state, true)) ? 0 : 1;
    }
    const FileFrameResult result =
        RenderFileFrameAt(Moment(), kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile,
                          FrameOptionsOf(state), {}, kCurrentFrameFile);
    return result == FileFrameResult::Written ? 0 : 1;
}

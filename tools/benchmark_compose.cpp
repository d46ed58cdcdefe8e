// Times the day/night compositor on full frames, 1920 x 1080 and 3840 x 2160, with a day, a night
// and a cloud image, on one thread and on two: the reference algorithm (column by column, as it
// is written) and the program's compositor, against a plain pass over the same four buffers
// (three read, one written) that shows what the memory allows. Then it times one whole timed
// redraw from prepared bitmap files at 3840 x 2160, as orbiscape-render runs it from the
// files, as a process of its own: wall time, processor time and peak memory.
//
// Last, the working files at desktops from 1280 x 1024 to 11520 x 2160 (benchmark_working_files.h).
//
//   orbiscape-benchmark [repetitions]            (default 5)
//   orbiscape-benchmark --working-files [DATA_FOLDER [SHARP_MAP]]
//        only the working files, from the delivered maps in DATA_FOLDER (default: the tree's data/),
//        and with SHARP_MAP (a monthly map of 5400 x 2700 pixels) as a downloaded day map too
//   orbiscape-benchmark --prepare SOURCE WxH OUT.bmp
//        scales a picture to cover WxH and writes the whole scaled map as a bitmap file
//
// The images are synthetic: the compositor's cost does not depend on what the pixels show, only
// on the path each pixel takes, and a moment near an equinox gives day, night and twilight in
// the usual proportions.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "framework/path_text.h"
#include "framework/program_arguments.h"
#include "image/bmp_row_file.h"
#include "image/dib_factory.h"
#include "image/file_io.h"
#include "image/pixel_buffer.h"
#include "render/compositor.h"
#include "render/scale_image_file.h"
#include "tests/render/reference_compositor.h"
#include "tools/benchmark_moment.h"
#include "tools/benchmark_working_files.h"
#include "tools/child_process.h"

namespace {

constexpr int kDefaultRepetitions = 5;
constexpr double kCentreLongitude = 14.0;
constexpr int kCloudFactor = 10;

struct FrameSize {
    int width;
    int height;
};

ColourValue Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

// A cheap, well-mixed hash of a position, for noise that has no pattern a cache could exploit.
std::uint32_t Noise(int x, int y) {
    std::uint32_t value =
        static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
    value ^= value >> 15;
    value *= 0x2C1B3C6Du;
    value ^= value >> 12;
    return value;
}

// The three sources in the form the program prepares them (32 bits, bottom-up, bit fields).
struct Sources {
    DibImage day;
    DibImage night;
    DibImage clouds;
};

struct DayPattern {
    FrameSize size;
    ColourValue operator()(int x, int y) const {
        return Rgb(static_cast<std::uint32_t>(x * 255 / size.width),
                   static_cast<std::uint32_t>(y * 255 / size.height), 160);
    }
};

ColourValue NightPattern(int x, int y) {
    return Noise(x, y) % 16 == 0 ? Rgb(255, 220, 150) : Rgb(4, 4, 12);
}

ColourValue CloudPattern(int x, int y) {
    return Rgb(Noise(x, y) >> 24, 0, 0);
}

template <typename Pattern>
bool MakeImage(DibImage& image, FrameSize size, Pattern pattern) {
    if (CreateDib(image, size.width, size.height, 32, false, true) != 1) {
        return false;
    }
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            image.SetPixelColour(x, y, pattern(x, y));
        }
    }
    return true;
}

bool MakeSources(Sources& sources, FrameSize size) {
    return MakeImage(sources.day, size, DayPattern{size}) && MakeImage(sources.night, size, NightPattern) &&
           MakeImage(sources.clouds, size, CloudPattern);
}

struct Timing {
    double fastestMs;
    double meanMs;
};

// One untimed run first, so that page faults of the output and a cold cache do not count.
Timing TimeRuns(int repetitions, const std::function<void()>& run) {
    run();
    double fastest = 0.0;
    double total = 0.0;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        fastest = repetition == 0 ? elapsed.count() : std::min(fastest, elapsed.count());
        total += elapsed.count();
    }
    return {fastest, total / repetitions};
}

// What the memory allows: every 32-bit word of the three sources read, one written, the rows
// split over the threads as the compositor splits them.
void PlainPass(const Sources& sources, DibImage& output, int threadCount) {
    const int height = output.Height();
    const std::size_t words = static_cast<std::size_t>(output.Width());
    const auto rows = [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const std::uint8_t* day = sources.day.Row(y);
            const std::uint8_t* night = sources.night.Row(y);
            const std::uint8_t* clouds = sources.clouds.Row(y);
            std::uint8_t* out = output.Row(y);
            for (std::size_t i = 0; i < 4 * words; i += 4) {
                std::uint32_t a, b, c;
                std::memcpy(&a, day + i, 4);
                std::memcpy(&b, night + i, 4);
                std::memcpy(&c, clouds + i, 4);
                const std::uint32_t mixed = a ^ b ^ c;
                std::memcpy(out + i, &mixed, 4);
            }
        }
    };
    if (threadCount == 1) {
        rows(0, height);
        return;
    }
    std::thread helper(rows, height / 2, height);
    rows(0, height / 2);
    helper.join();
}

void PrintTiming(FrameSize size, const char* what, int threadCount, Timing timing) {
    std::printf("%4d x %4d  %-38s %d thread%s  fastest %8.1f ms  mean %8.1f ms\n", size.width, size.height,
                what, threadCount, threadCount == 1 ? " " : "s", timing.fastestMs, timing.meanMs);
}

bool BenchmarkSize(FrameSize size, int repetitions) {
    Sources sources;
    DibImage output;
    if (!MakeSources(sources, size) || output.Copy(sources.day) != 1) {
        std::fprintf(stderr, "could not make %d x %d images\n", size.width, size.height);
        return false;
    }
    const std::tm moment = BenchmarkMoment();
    Timing reference[3], fast[3], plain[3];
    for (const int threads : {1, 2}) {
        reference[threads] = TimeRuns(repetitions, [&] {
            ReferenceComposeDayNight(moment, sources.day, sources.night, output, sources.clouds, 0,
                                     kCloudFactor, kCentreLongitude, threads);
        });
        PrintTiming(size, "reference (column by column)", threads, reference[threads]);
    }
    for (const int threads : {1, 2}) {
        fast[threads] = TimeRuns(repetitions, [&] {
            ComposeDayNightOnThreads(moment, sources.day, sources.night, output, sources.clouds, 0,
                                     kCloudFactor, kCentreLongitude, threads);
        });
        PrintTiming(size, "compositor", threads, fast[threads]);
    }
    for (const int threads : {1, 2}) {
        plain[threads] = TimeRuns(repetitions, [&] { PlainPass(sources, output, threads); });
        PrintTiming(size, "plain pass (3 buffers read, 1 written)", threads, plain[threads]);
    }
    for (const int threads : {1, 2}) {
        std::printf(
            "%4d x %4d  %d thread%s: compositor %.1f times faster than the reference, %.2f times the plain "
            "pass\n",
            size.width, size.height, threads, threads == 1 ? " " : "s",
            reference[threads].fastestMs / fast[threads].fastestMs,
            fast[threads].fastestMs / plain[threads].fastestMs);
    }
    return true;
}

// orbiscape-render, built beside this program.
std::filesystem::path RenderProgram(const std::string& self) {
    const std::filesystem::path program = PathOf(self);
    return program.parent_path() / "render_cli" / ("orbiscape-render" + PathText(program.extension()));
}

// Writes a source file in the prepared form row by row, so that making it adds nothing to this
// process's peak memory, which a child started later would inherit in its own figure.
template <typename Pattern>
bool WriteSourceFile(const std::string& name, FrameSize size, Pattern pattern) {
    const DibBlock header = NewDibHeader(size.width, size.height, 32, false, true);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(size.width);
    FileReplacement file(name.c_str());
    bool written = !header.empty() &&
                   file.Write(BmpFileHeader(header.size() + rowBytes * static_cast<std::size_t>(size.height),
                                            header.size())) &&
                   file.Write(header);
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = size.height - 1; written && y >= 0; --y) {  // bottom row first
        for (int x = 0; x < size.width; ++x) {
            const std::uint32_t pixel = PixelOfColour(pattern(x, y));
            std::memcpy(row.data() + 4 * static_cast<std::size_t>(x), &pixel, sizeof pixel);
        }
        written = file.Write(row);
    }
    return written && file.Commit();
}

bool BenchmarkRedraw(const std::string& self, FrameSize size, int repetitions) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error) /
                                         ("orbiscape-benchmark-" + std::to_string(std::time(nullptr)));
    std::filesystem::create_directories(folder, error);
    const std::string day = PathText(folder / "current-day.bmp");
    const std::string night = PathText(folder / "current-night.bmp");
    const std::string clouds = PathText(folder / "current-clouds.bmp");
    const bool written = WriteSourceFile(day, size, DayPattern{size}) &&
                         WriteSourceFile(night, size, NightPattern) &&
                         WriteSourceFile(clouds, size, CloudPattern);
    const std::vector<std::string> command = {
        PathText(RenderProgram(self)),
        "--day-file",
        day,
        "--night-file",
        night,
        "--clouds-file",
        clouds,
        "--cloud-factor",
        std::to_string(kCloudFactor),
        "--center-lon",
        std::to_string(static_cast<int>(kCentreLongitude)),
        "--at",
        kBenchmarkMomentText,
        "-o",
        PathText(folder / "current.bmp"),
    };
    ChildMeasure fastest;
    double peakMemory = 0;
    bool ran = written;
    for (int repetition = 0; ran && repetition <= repetitions; ++repetition) {
        const ChildMeasure measure = RunAndMeasure(command);
        ran = measure.started && measure.exitCode == 0;
        // The first run reads the files into the system's cache, as the preparation leaves them.
        if (repetition > 0 && (repetition == 1 || measure.wallMs < fastest.wallMs)) {
            fastest = measure;
        }
        peakMemory = std::max(peakMemory, measure.peakMemoryMiB);
    }
    std::filesystem::remove_all(folder, error);
    if (!ran) {
        std::fprintf(stderr, "could not run %s on prepared files\n", command[0].c_str());
        return false;
    }
    std::printf(
        "%4d x %4d  whole timed redraw from prepared files (orbiscape-render --day-file ...): "
        "wall %.1f ms, processor %.1f ms, peak memory %.1f MiB\n",
        size.width, size.height, fastest.wallMs, fastest.cpuMs, peakMemory);
    return true;
}

int Prepare(const std::string& source, const std::string& size, const std::string& output) {
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 ||
        !ScaleImageFile(source.c_str(), nullptr, width, height, output.c_str(), true)) {
        std::fprintf(stderr, "could not prepare %s at %s as %s\n", source.c_str(), size.c_str(),
                     output.c_str());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const std::string& self = arguments[0];
    if (arguments.size() == 5 && arguments[1] == "--prepare") {
        return Prepare(arguments[2], arguments[3], arguments[4]);
    }
    if (const int step = RunWorkingFilesStep(arguments); step >= 0) {
        return step;
    }
    if (arguments.size() >= 2 && arguments[1] == "--working-files") {
        return BenchmarkWorkingFiles(self, arguments.size() > 2 ? arguments[2] : ORBISCAPE_DATA_FOLDER,
                                     arguments.size() > 3 ? arguments[3] : std::string())
                   ? EXIT_SUCCESS
                   : EXIT_FAILURE;
    }
    const int repetitions =
        arguments.size() > 1 ? std::max(1, std::atoi(arguments[1].c_str())) : kDefaultRepetitions;
    std::printf("day/night composition with night and cloud images, %d repetitions\n", repetitions);
    // The whole redraws first, while this process is small: a child's peak memory can count the
    // memory of the process that starts it.
    bool allRan = BenchmarkRedraw(self, FrameSize{3840, 2160}, repetitions);
    allRan = BenchmarkWorkingFiles(self, ORBISCAPE_DATA_FOLDER) && allRan;
    for (const FrameSize size : {FrameSize{1920, 1080}, FrameSize{3840, 2160}}) {
        allRan = BenchmarkSize(size, repetitions) && allRan;
    }
    return allRan ? EXIT_SUCCESS : EXIT_FAILURE;
}

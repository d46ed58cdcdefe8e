// Times the day/night compositor on full frames: 1920 x 1080 and 3840 x 2160, with a day, a
// night and a cloud image, on one thread and on two, and prints milliseconds per frame.
//
//   orbiscape-benchmark [repetitions]   (default 5)
//
// The images are synthetic: the compositor's cost does not depend on what the pixels show, only
// on the path each pixel takes, and a moment near an equinox gives day, night and twilight in
// the usual proportions.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "image/dib_factory.h"
#include "render/compositor.h"

namespace {

constexpr int kDefaultRepetitions = 5;

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

template <typename Pattern>
bool MakeImage(DibImage& image, FrameSize size, Pattern pattern) {
    if (CreateDib(image, size.width, size.height, 32, false) != 1) {
        return false;
    }
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            image.SetPixelColour(x, y, pattern(x, y));
        }
    }
    return true;
}

struct Timing {
    double fastestMs;
    double meanMs;
};

Timing TimeComposition(const DibImage& day, const DibImage& night, const DibImage& clouds, DibImage& output,
                       int threadCount, int repetitions) {
    std::tm moment{};
    moment.tm_year = 2024 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 20;
    moment.tm_hour = 15;
    moment.tm_min = 37;
    moment.tm_sec = 12;
    // One untimed run first, so that page faults of the output and a cold cache do not count.
    ComposeDayNightOnThreads(moment, day, night, output, clouds, 0, 10, 14.0, threadCount);
    double fastest = 0.0;
    double total = 0.0;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        const auto start = std::chrono::steady_clock::now();
        ComposeDayNightOnThreads(moment, day, night, output, clouds, 0, 10, 14.0, threadCount);
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        fastest = repetition == 0 ? elapsed.count() : std::min(fastest, elapsed.count());
        total += elapsed.count();
    }
    return {fastest, total / repetitions};
}

bool BenchmarkSize(FrameSize size, int repetitions) {
    DibImage day;
    DibImage night;
    DibImage clouds;
    DibImage output;
    const bool made =
        MakeImage(day, size,
                  [size](int x, int y) {
                      return Rgb(static_cast<std::uint32_t>(x * 255 / size.width),
                                 static_cast<std::uint32_t>(y * 255 / size.height), 160);
                  }) &&
        MakeImage(night, size,
                  [](int x, int y) { return Noise(x, y) % 16 == 0 ? Rgb(255, 220, 150) : Rgb(4, 4, 12); }) &&
        MakeImage(clouds, size, [](int x, int y) { return Rgb(Noise(x, y) >> 24, 0, 0); }) &&
        output.Copy(day) == 1;
    if (!made) {
        std::fprintf(stderr, "could not make %d x %d images\n", size.width, size.height);
        return false;
    }
    for (const int threadCount : {1, 2}) {
        const Timing timing = TimeComposition(day, night, clouds, output, threadCount, repetitions);
        std::printf("%4d x %4d  %d thread%s  fastest %8.1f ms  mean %8.1f ms per frame\n", size.width,
                    size.height, threadCount, threadCount == 1 ? " " : "s", timing.fastestMs, timing.meanMs);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRepetitions;
    std::printf("day/night composition with night and cloud images, %d repetitions\n", repetitions);
    bool allMade = true;
    for (const FrameSize size : {FrameSize{1920, 1080}, FrameSize{3840, 2160}}) {
        allMade = BenchmarkSize(size, repetitions) && allMade;
    }
    return allMade ? EXIT_SUCCESS : EXIT_FAILURE;
}

// orbiscape-make-icon: draws the program's globe icon from a day map and writes it as an icon
// file with the four sizes the program shows (16, 24 and 32 pixels in the tray, title bars and
// dialogs, 48 where the shell shows large icons). tools/make-icon.sh runs it to regenerate
// resources/orbiscape.ico; the look below is the icon's, so that the same map always gives the
// same file.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "image/file_io.h"
#include "image/image_decoder.h"
#include "tools/globe_icon/globe_painter.h"
#include "tools/globe_icon/ico_file.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kIconSizes[] = {16, 24, 32, 48};

// Africa and Europe in the middle, the north pole's ice at the top edge: land fills most of the
// disc, which is what makes a globe read as the Earth at 16 pixels. The light comes from the
// upper left, a little from the viewer's side, so the lower right falls off gently; the day
// maps' navy oceans are brightened and the colours strengthened so that land and sea stay
// apart at icon sizes; and a thin haze along the edge sets the disc off from dark taskbars.
GlobeLook IconLook() {
    GlobeLook look;
    look.centreLatitude = 20.0;
    look.centreLongitude = 10.0;
    look.samplesPerSide = 8;
    look.exposure = 1.5;
    look.saturation = 1.35;
    look.lightX = -0.5;
    look.lightY = 0.6;
    look.lightZ = 0.65;
    look.ambient = 0.25;
    look.rimStrength = 0.5;
    look.rimPower = 3.0;
    return look;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: orbiscape-make-icon DAY_MAP OUTPUT.ico\n"
                     "DAY_MAP is an equirectangular day map (JPEG or bitmap file).\n");
        return kExitUsage;
    }
    const char* mapName = argv[1];
    const char* iconName = argv[2];
    const std::optional<PixelBuffer> dayMap = DecodeImageFile(mapName);
    if (!dayMap) {
        std::fprintf(stderr, "orbiscape-make-icon: cannot read the day map '%s'\n", mapName);
        return kExitFailure;
    }
    std::vector<IconImage> images;
    for (const int size : kIconSizes) {
        std::optional<IconImage> image = PaintGlobe(*dayMap, size, IconLook());
        if (!image) {
            std::fprintf(stderr, "orbiscape-make-icon: cannot paint the %d-pixel globe\n", size);
            return kExitFailure;
        }
        images.push_back(std::move(*image));
    }
    const std::optional<std::vector<std::uint8_t>> file = EncodeIconFile(images);
    if (!file || !ReplaceFileContents(iconName, {*file})) {
        std::fprintf(stderr, "orbiscape-make-icon: cannot write '%s'\n", iconName);
        return kExitFailure;
    }
    return 0;
}

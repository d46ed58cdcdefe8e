// orbiscape-make-component-picture: draws the picture of the component-shown dialog, the
// program's Active Desktop item as it looks on the desktop: an Earth frame with black bars above
// and below, under the item's title bar, and the mouse pointer on the title-bar button that
// enlarges the item. tools/make-component-picture.sh runs it to regenerate
// resources/component_shown.bmp (299 x 220 pixels, 24 bits); the same imagery always gives the
// same file.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/dib_factory.h"
#include "image/dib_image.h"
#include "render/render_frame.h"
#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr int kWidth = 299;
constexpr int kHeight = 220;

// The item on the desktop: its frame, its title bar and the picture below it.
constexpr int kItemLeft = 10;
constexpr int kItemTop = 10;
constexpr int kItemWidth = 279;
constexpr int kItemHeight = 200;
constexpr int kTitleHeight = 16;
constexpr int kButtonSize = 13;

// An afternoon at the March equinox: the Americas, Europe and Africa in daylight, the city
// lights of Asia on the night side, the terminator running from pole to pole.
constexpr int kYear = 2024, kMonth = 3, kDay = 20, kHour = 15;

ColourValue Rgb(int red, int green, int blue) {
    return static_cast<ColourValue>(red | green << 8 | blue << 16);
}

const ColourValue kDesktop = Rgb(58, 110, 165);
const ColourValue kFrame = Rgb(128, 128, 128);
const ColourValue kButtonFace = Rgb(212, 208, 200);
const ColourValue kButtonShadow = Rgb(64, 64, 64);
const ColourValue kBlack = Rgb(0, 0, 0);
const ColourValue kWhite = Rgb(255, 255, 255);

void FillRect(DibImage& image, int left, int top, int width, int height, ColourValue colour) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            image.SetPixelColour(x, y, colour);
        }
    }
}

void FrameRect(DibImage& image, int left, int top, int width, int height, ColourValue colour) {
    FillRect(image, left, top, width, 1, colour);
    FillRect(image, left, top + height - 1, width, 1, colour);
    FillRect(image, left, top, 1, height, colour);
    FillRect(image, left + width - 1, top, 1, height, colour);
}

// The title bar: the caption gradient from dark to light blue, and its three buttons at the right
// (enlarge, which covers the desktop, then split, then close). Returns the enlarge button's
// centre.
struct Point {
    int x = 0;
    int y = 0;
};

Point DrawTitleBar(DibImage& image) {
    Point enlarge;
    for (int x = 0; x < kItemWidth; ++x) {
        const int share = 255 * x / (kItemWidth - 1);
        const ColourValue colour = Rgb(10 + (166 - 10) * share / 255, 36 + (202 - 36) * share / 255,
                                       106 + (240 - 106) * share / 255);
        FillRect(image, kItemLeft + x, kItemTop, 1, kTitleHeight, colour);
    }
    const int top = kItemTop + (kTitleHeight - kButtonSize) / 2;
    for (int button = 0; button < 3; ++button) {
        const int left = kItemLeft + kItemWidth - 3 - (3 - button) * (kButtonSize + 2);
        FillRect(image, left, top, kButtonSize, kButtonSize, kButtonFace);
        FrameRect(image, left, top, kButtonSize, kButtonSize, kButtonShadow);
        switch (button) {
            case 0:  // enlarge: a window filling the button
                FrameRect(image, left + 3, top + 3, kButtonSize - 6, kButtonSize - 6, kBlack);
                FillRect(image, left + 3, top + 4, kButtonSize - 6, 1, kBlack);
                enlarge = {left + kButtonSize / 2, top + kButtonSize / 2};
                break;
            case 1:  // split: two panes side by side
                FrameRect(image, left + 3, top + 3, kButtonSize - 6, kButtonSize - 6, kBlack);
                FillRect(image, left + kButtonSize / 2, top + 3, 1, kButtonSize - 6, kBlack);
                break;
            default:  // close: a cross
                for (int step = 0; step < kButtonSize - 6; ++step) {
                    image.SetPixelColour(left + 3 + step, top + 3 + step, kBlack);
                    image.SetPixelColour(left + kButtonSize - 4 - step, top + 3 + step, kBlack);
                }
                break;
        }
    }
    return enlarge;
}

// The standard arrow pointer, its tip at (x, y): a black outline filled with white.
void DrawPointer(DibImage& image, int x, int y) {
    static const char* const kArrow[] = {
        "X",        "XX",       "X.X",       "X..X",       "X...X",       "X....X",
        "X.....X",  "X......X", "X.......X", "X........X", "X.....XXXXX", "X..X..X",
        "X.X X..X", "XX  X..X", "X    X..X", "     X..X",  "      X..X",  "      XX",
    };
    for (int row = 0; row < static_cast<int>(std::size(kArrow)); ++row) {
        const std::string line = kArrow[row];
        for (int column = 0; column < static_cast<int>(line.size()); ++column) {
            if (line[static_cast<std::size_t>(column)] != ' ') {
                image.SetPixelColour(x + column, y + row,
                                     line[static_cast<std::size_t>(column)] == 'X' ? kBlack : kWhite);
            }
        }
    }
}

// The Earth at the moment, fitted with black bars to the item's picture area.
bool RenderEarth(const std::string& dataFolder, int width, int height, DibImage& frame) {
    const std::string day = dataFolder + "/" + PreviewImageFile(0);
    const std::string night = dataFolder + "/" + PreviewImageFile(17);
    const std::string clouds = dataFolder + "/" + kSeedCloudsFile;
    DibImage dayImage, nightImage, cloudImage;
    if (!ScaleImageFile(day.c_str(), &dayImage, width, height, nullptr, false) ||
        !ScaleImageFile(night.c_str(), &nightImage, width, height, nullptr, false) ||
        !ScaleImageFile(clouds.c_str(), &cloudImage, width, height, nullptr, false) ||
        !frame.Copy(dayImage)) {
        return false;
    }
    FrameOptions options;
    options.centreCode = 0;
    options.outputWidth = width;
    options.outputHeight = height;
    options.blackBars = true;
    options.cloudFactor = 40;
    std::tm fields = {};
    fields.tm_year = kYear - 1900;
    fields.tm_mon = kMonth - 1;
    fields.tm_mday = kDay;
    fields.tm_hour = kHour;
    const std::int64_t moment = UtcSecondsFromFields(fields);
    return RenderFrameAt(moment, frame, dayImage, nightImage, cloudImage, options) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: orbiscape-make-component-picture DATA_DIR OUTPUT.bmp\n"
                     "DATA_DIR holds the program's pictures (00-512.jpg, 13-512.jpg, clouds.jpg).\n");
        return kExitUsage;
    }
    const int pictureWidth = kItemWidth - 2;
    const int pictureHeight = kItemHeight - kTitleHeight - 1;
    DibImage earth;
    if (!RenderEarth(argv[1], pictureWidth, pictureHeight, earth)) {
        std::fprintf(stderr, "orbiscape-make-component-picture: cannot draw the Earth from '%s'\n", argv[1]);
        return kExitFailure;
    }

    DibImage picture;
    if (!CreateDib(picture, kWidth, kHeight, 24, false)) {
        return kExitFailure;
    }
    FillRect(picture, 0, 0, kWidth, kHeight, kDesktop);
    FrameRect(picture, kItemLeft - 1, kItemTop - 1, kItemWidth + 2, kItemHeight + 2, kFrame);
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x) {
            picture.SetPixelColour(kItemLeft + 1 + x, kItemTop + kTitleHeight + y,
                                   earth.GetPixelColour(x, y));
        }
    }
    FrameRect(picture, kItemLeft, kItemTop + kTitleHeight - 1, kItemWidth, kItemHeight - kTitleHeight + 1,
              kBlack);
    const Point enlarge = DrawTitleBar(picture);
    DrawPointer(picture, enlarge.x - 2, enlarge.y - 1);

    if (!picture.SaveBmpFile(argv[2])) {
        std::fprintf(stderr, "orbiscape-make-component-picture: cannot write '%s'\n", argv[2]);
        return kExitFailure;
    }
    return 0;
}

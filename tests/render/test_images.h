// Small 32-bit pictures for the compositor tests, filled pixel by pixel from a function of the
// position.
#pragma once

#include <ctime>
#include <functional>

#include "image/dib_image.h"

using PixelPattern = std::function<ColourValue(int x, int y)>;

// A 32-bit image of the given size filled from the pattern; bottom-up unless topDown is set.
DibImage MakeImage(int width, int height, const PixelPattern& pattern, bool topDown = false);

// A copy of an image, as the caller of the compositor makes the output from the day image.
DibImage CopyOf(const DibImage& source);

constexpr ColourValue kWhite = 0xFFFFFFu;

ColourValue Rgb(int red, int green, int blue);
ColourValue Grey(int level);

// Day, night and cloud pictures with every pixel different enough that a wrong source column,
// row or path shows.
ColourValue DayPattern(int x, int y);
ColourValue NightPattern(int x, int y);
ColourValue CloudPattern(int x, int y);

// The UTC calendar fields of a moment, as the compositor takes them.
std::tm UtcFields(int year, int month, int day, int hour, int minute, int second);

#include "test_images.h"

#include <gtest/gtest.h>

#include "image/dib_factory.h"

DibImage MakeImage(int width, int height, const PixelPattern& pattern, bool topDown) {
    DibImage image;
    EXPECT_EQ(CreateDib(image, width, height, 32, topDown), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixelColour(x, y, pattern(x, y));
        }
    }
    return image;
}

DibImage CopyOf(const DibImage& source) {
    DibImage copy;
    EXPECT_EQ(copy.Copy(source), 1);
    return copy;
}

ColourValue Rgb(int red, int green, int blue) {
    return static_cast<ColourValue>(red) | (static_cast<ColourValue>(green) << 8) |
           (static_cast<ColourValue>(blue) << 16);
}

ColourValue Grey(int level) {
    return Rgb(level, level, level);
}

ColourValue DayPattern(int x, int y) {
    return Rgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255);
}
ColourValue NightPattern(int x, int y) {
    return Rgb((x * 3) & 255, 20, (y * 11) & 255);
}
ColourValue CloudPattern(int x, int y) {
    return Rgb((x * y + x) & 255, 0, 0);
}

std::tm UtcFields(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return fields;
}

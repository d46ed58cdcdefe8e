// The committed one-channel JPEG, "grey-ramp-64x32.jpg" (see make_fixtures.py), as both picture
// decoders must give it: the live cloud-map service sends its map in this form.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "image/pixel_buffer.h"

inline constexpr char kGreyRampFixture[] = "grey-ramp-64x32.jpg";

// 64 x 32, every pixel grey (blue, green and red equal), black at the top, white at the bottom
// and lighter row by row in between, whatever the fourth bytes hold.
inline ::testing::AssertionResult IsGreyRamp(const PixelBuffer& picture) {
    if (picture.width != 64 || picture.height != 32 || picture.pixels.size() != 64u * 32u) {
        return ::testing::AssertionFailure() << picture.width << " x " << picture.height;
    }
    int previousRow = -1;
    for (int y = 0; y < 32; ++y) {
        int rowSum = 0;
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y) * 64 + x];
            const int blue = pixel & 0xFF, green = (pixel >> 8) & 0xFF, red = (pixel >> 16) & 0xFF;
            if (blue != green || green != red) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << ", " << y << " is not grey: " << std::hex << pixel;
            }
            rowSum += blue;
        }
        if (rowSum <= previousRow) {
            return ::testing::AssertionFailure() << "row " << y << " is not lighter than the one above";
        }
        previousRow = rowSum;
    }
    const int top = picture.pixels.front() & 0xFF;
    const int bottom = picture.pixels.back() & 0xFF;
    if (top > 8 || bottom < 247) {
        return ::testing::AssertionFailure() << "from " << top << " to " << bottom;
    }
    return ::testing::AssertionSuccess();
}

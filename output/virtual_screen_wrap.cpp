#include "output/virtual_screen_wrap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <numeric>
#include <vector>

namespace {

// Depths of whole bytes per pixel (8 to 32 bits). Each row is moved with two copies, and the
// rows travel along the cycles of the permutation y -> (y + shiftY) mod height, so one scratch
// row is all the extra memory a frame of any size needs. Row padding is left alone.
void ShiftWholeBytePixels(DibImage& frame, int shiftX, int shiftY) {
    const int height = frame.Height();
    const std::size_t pixelBytes = frame.BitsPerPixel() / 8u;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.Width()) * pixelBytes;
    const std::size_t leadingBytes = static_cast<std::size_t>(shiftX) * pixelBytes;
    std::vector<std::uint8_t> scratch;
    try {
        scratch.resize(rowBytes);
    } catch (const std::bad_alloc&) {
        return;  // nothing has moved yet
    }
    const auto copyShifted = [&](const std::uint8_t* source, std::uint8_t* target) {
        std::memcpy(target, source + leadingBytes, rowBytes - leadingBytes);
        std::memcpy(target + rowBytes - leadingBytes, source, leadingBytes);
    };
    // gcd(height, 0) is height: without a vertical shift every row is a cycle of its own.
    const int cycles = std::gcd(height, shiftY);
    for (int start = 0; start < cycles; ++start) {
        copyShifted(frame.Row(start), scratch.data());
        int target = start;
        for (int source = (start + shiftY) % height; source != start; source = (source + shiftY) % height) {
            copyShifted(frame.Row(source), frame.Row(target));
            target = source;
        }
        std::memcpy(frame.Row(target), scratch.data(), rowBytes);
    }
}

// Depths of 1, 2 and 4 bits, where pixels share bytes: every pixel value is read out first (one
// byte each, at most eight times the frame's own pixels) and written back at its new place.
void ShiftPackedPixels(DibImage& frame, int shiftX, int shiftY) {
    const int width = frame.Width();
    const int height = frame.Height();
    std::vector<std::uint8_t> values;
    try {
        values.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return;
    }
    const auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            values[at(x, y)] = static_cast<std::uint8_t>(frame.GetRawPixel(x, y));
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame.SetRawPixel(x, y, values[at((x + shiftX) % width, (y + shiftY) % height)]);
        }
    }
}

}  // namespace

int WrapShift(int origin, int size) {
    if (size <= 0) {
        return 0;
    }
    const std::int64_t shift = -static_cast<std::int64_t>(origin) % size;
    return static_cast<int>(shift < 0 ? shift + size : shift);
}

void WrapFrameForVirtualScreen(DibImage& frame, int originX, int originY) {
    if (!frame.HasPixels() || frame.Width() <= 0 || frame.Height() <= 0) {
        return;
    }
    const int shiftX = WrapShift(originX, frame.Width());
    const int shiftY = WrapShift(originY, frame.Height());
    if (shiftX == 0 && shiftY == 0) {
        return;
    }
    if (frame.BitsPerPixel() % 8u == 0) {
        ShiftWholeBytePixels(frame, shiftX, shiftY);
    } else {
        ShiftPackedPixels(frame, shiftX, shiftY);
    }
}

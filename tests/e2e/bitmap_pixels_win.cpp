#include "tests/e2e/bitmap_pixels_win.h"

#include <windows.h>

#include <algorithm>

bool BitmapFilePixels::Load(const char* path) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        return false;
    }
    BITMAP description{};
    bool loaded = false;
    if (GetObjectA(bitmap, sizeof(description), &description) == sizeof(description) &&
        description.bmWidth > 0 && description.bmHeight > 0) {
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof(request.bmiHeader);
        request.bmiHeader.biWidth = description.bmWidth;
        request.bmiHeader.biHeight = -description.bmHeight;  // top row first
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(description.bmWidth) *
                                          static_cast<std::size_t>(description.bmHeight));
        HDC screen = GetDC(nullptr);
        const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight), pixels.data(),
                                   &request, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (rows == description.bmHeight) {
            width_ = description.bmWidth;
            height_ = description.bmHeight;
            pixels_ = std::move(pixels);
            loaded = true;
        }
    }
    DeleteObject(bitmap);
    return loaded;
}

bool BitmapFilePixels::Mean(int left, int top, int width, int height, MeanColour& mean) const {
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, width_);
    const int y1 = std::min(top + height, height_);
    if (x0 >= x1 || y0 >= y1) {
        return false;
    }
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    for (int y = y0; y < y1; ++y) {
        const std::uint32_t* row =
            pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        for (int x = x0; x < x1; ++x) {
            red += (row[x] >> 16) & 0xFF;
            green += (row[x] >> 8) & 0xFF;
            blue += row[x] & 0xFF;
        }
    }
    const double count = static_cast<double>(x1 - x0) * static_cast<double>(y1 - y0);
    mean = {red / count, green / count, blue / count};
    return true;
}

long BitmapFilePixels::DifferingPixels(int left, int top, const BitmapFilePixels& other, int otherLeft,
                                       int otherTop, int width, int height, int threshold,
                                       long& total) const {
    long differing = 0;
    total = 0;
    for (int dy = 0; dy < height; ++dy) {
        for (int dx = 0; dx < width; ++dx) {
            const std::uint32_t* a = PixelAt(left + dx, top + dy);
            const std::uint32_t* b = other.PixelAt(otherLeft + dx, otherTop + dy);
            if (a == nullptr || b == nullptr) {
                continue;
            }
            bool differs = false;
            for (int shift = 0; shift < 24; shift += 8) {
                const int difference =
                    static_cast<int>((*a >> shift) & 0xFF) - static_cast<int>((*b >> shift) & 0xFF);
                differs = differs || difference > threshold || -difference > threshold;
            }
            differing += differs ? 1 : 0;
            ++total;
        }
    }
    return differing;
}

const std::uint32_t* BitmapFilePixels::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return nullptr;
    }
    return &pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    static_cast<std::size_t>(x)];
}

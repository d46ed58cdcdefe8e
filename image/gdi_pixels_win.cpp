#include "image/gdi_pixels_win.h"

#include <new>
#include <utility>

#include "image/last_error.h"

namespace {

// Uncompressed 32 bits per pixel with a negative height: the top row comes first.
BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

int ReadBitmapPixels(HBITMAP bitmap, PixelBuffer& pixels) {
    BITMAP description{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof description, &description) != sizeof description) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    const int width = description.bmWidth;
    const int height = description.bmHeight;
    const std::optional<std::size_t> count = CheckedPixelCount(width, height);
    if (width < 1 || height < 1 || !count) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    const OwnedWindowDc screen;
    if (!screen) {
        return 0;
    }
    try {
        PixelBuffer read{width, height, std::vector<std::uint32_t>(*count)};
        BITMAPINFO info = TopDownInfo(width, height);
        if (GetDIBits(screen.Get(), bitmap, 0, UINT(height), read.pixels.data(), &info, DIB_RGB_COLORS) !=
            height) {
            SetImageLastError(LastError::BadDriverLevel);
            return 0;
        }
        pixels = std::move(read);
        return 1;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
}

OwnedBitmap MakeScreenBitmap(const PixelBuffer& pixels) {
    if (!IsConsistent(pixels) || pixels.width < 1 || pixels.height < 1) {
        SetImageLastError(LastError::InvalidParameter);
        return OwnedBitmap();
    }
    const OwnedWindowDc screen;
    if (!screen) {
        return OwnedBitmap();
    }
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), pixels.width, pixels.height));
    if (!bitmap) {
        SetImageLastError(LastError::OutOfMemory);
        return OwnedBitmap();
    }
    const BITMAPINFO info = TopDownInfo(pixels.width, pixels.height);
    if (SetDIBits(screen.Get(), bitmap.Get(), 0, UINT(pixels.height), pixels.pixels.data(), &info,
                  DIB_RGB_COLORS) != pixels.height) {
        SetImageLastError(LastError::BadDriverLevel);
        return OwnedBitmap();
    }
    return bitmap;
}

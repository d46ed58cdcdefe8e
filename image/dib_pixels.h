// Moving pictures between DibImage and the 32-bit pixel buffers that processors work on.
#pragma once

#include "image/dib_image.h"
#include "image/pixel_buffer.h"

// Fills an empty image with the pixels in the form a screen-compatible 32-bit GDI bitmap
// converts to: 32 bits per pixel, bottom row stored first, bit fields with the masks
// 0xFF0000, 0xFF00 and 0xFF. Every byte of each pixel is kept. Result 1, or 0 with the
// last-error code set (the image stays empty).
int DibFromPixels(DibImage& image, const PixelBuffer& pixels);

// The image's pixels as a 32-bit buffer, read through the image's colour rules, so any depth
// and any row order gives the same colours; the fourth bytes are 0. Fails (and leaves pixels
// as they were) for an empty image, a pixel whose colour cannot be read, such as a palette index
// beyond the colour table, or a buffer that cannot be allocated.
int PixelsFromDib(const DibImage& image, PixelBuffer& pixels);

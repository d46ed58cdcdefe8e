// The platform half of ScaleImageFile: decoding a picture file whole, and resizing it (the
// preparation of the sources reads its pictures a band at a time instead, see picture_rows.h). On Windows the system picture loader decodes into a GDI bitmap
// (CEnBitmap); the native build decodes into a pixel buffer. Both resize through the same pixel
// arithmetic, so they give the same pixels for the same decoded picture.
#pragma once

#include "image/dib_image.h"

// The background that fresh resizer buffers start with, which the rows a reduction leaves
// unfilled show: white, as CEnBitmap paints them on Windows.
inline constexpr ColourValue kResizeBackground = 0xFFFFFF;

// Fills the empty image scaled with the picture in sourceFile, scaled by ScaleFactorFor for the
// target size (positive) and crop flag, as a 32-bit bottom-up image with the default masks.
// Returns 1, or 0 with scaled left empty.
int LoadScaledPicture(const char* sourceFile, int targetWidth, int targetHeight, bool crop, DibImage& scaled);


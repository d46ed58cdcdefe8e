// The platform half of ScaleImageFile: decoding a picture file and resizing it. On Windows the
// system picture loader decodes into a GDI bitmap (CEnBitmap); the native build decodes into a
// pixel buffer. Both resize through the same pixel chain, so they give the same pixels for the
// same decoded picture.
#pragma once

#include "image/dib_image.h"

// Fills the empty image scaled with the picture in sourceFile, scaled by ScaleFactorFor for the
// target size (positive) and crop flag, as a 32-bit bottom-up image with the default masks.
// Returns 1, or 0 with scaled left empty.
int LoadScaledPicture(const char* sourceFile, int targetWidth, int targetHeight, int crop, DibImage& scaled);

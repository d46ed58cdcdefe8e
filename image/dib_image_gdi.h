// The GDI side of DibImage (Windows only): converting from and to GDI bitmaps, and loading a
// bitmap file as a DIB section. Results follow the toolkit's convention (1/0, or a bitmap or
// none), with the reason in the thread's last-error code.
#pragma once

#include <windows.h>

#include "image/dib_image.h"

// Fills an empty image from a GDI bitmap. A DIB section lends its own header, masks and colour
// table; a device-dependent bitmap gets a bottom-up header of its own size and depth (bit fields
// at 16 and 32 bits, with the masks the system reports). The pixels come from GetDIBits.
int FromGdiBitmap(DibImage& image, HBITMAP bitmap);

// A DIB section with the image's header and pixels, which the caller owns and must delete. A
// 2-bit image is widened to 4 bits first (GDI has no 2-bit sections) and, once the section
// exists, the image itself is replaced by the widened one.
HBITMAP ToGdiBitmap(DibImage& image);

// Reads a bitmap file into an empty image (DibImage::ReadBmpFile) and returns a DIB section of
// the same pixels, which the caller owns and must delete. On failure the image stays empty.
HBITMAP LoadBmpFile(DibImage& image, const char* name);

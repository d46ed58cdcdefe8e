// Moving 32-bit pixel buffers out of and into GDI bitmaps, through the screen's device context:
// the bridge between bitmaps that GDI holds and the pixel processors.
#pragma once

#include <windows.h>

#include "framework/gdi_owners_win.h"
#include "image/pixel_buffer.h"

// The bitmap's pixels at 32 bits, top row first, as GDI converts them (GetDIBits). Fails, with
// pixels left as they were, for a missing or unreadable bitmap, one larger than a pixel buffer
// may be, or a conversion that delivers fewer rows than the bitmap has. The bitmap must not be
// selected into a device context.
int ReadBitmapPixels(HBITMAP bitmap, PixelBuffer& pixels);

// A bitmap compatible with the screen that holds the pixels (SetDIBits), or an empty owner when
// the pixels are not consistent or GDI cannot make or fill the bitmap.
OwnedBitmap MakeScreenBitmap(const PixelBuffer& pixels);

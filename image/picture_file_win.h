// Decoding a picture file into a GDI bitmap, with the decoder chosen by the file name
// (ImageTypeOf): bitmap files through LoadImage, JPEG, GIF and icon files through the system
// picture loader (OleLoadPicturePath), drawn over the background colour so that transparent
// areas show it.
#pragma once

#include <windows.h>

#include "framework/gdi_owners_win.h"
#include "image/dib_image.h"

// The decoded picture at its own pixel size, or an empty owner when the name has no decoder or
// the file cannot be decoded. background is a colour value (red in the low byte), or kNoPixel
// to leave the bitmap unpainted under the picture.
OwnedBitmap DecodePictureFile(const char* name, ColourValue background);

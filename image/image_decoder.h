// Decoding picture files into 32-bit pixels where the system picture loader is not available
// (the native build). The decoder is chosen by the file name, as on Windows (ImageTypeOf):
// bitmap files through DibImage's reader, JPEG files through the JPEG decoder. Icon and GIF
// files have no decoder here and fail, like unsupported names.
#pragma once

#include <optional>

#include "image/pixel_buffer.h"

// The picture at its own pixel size, top row first, fourth bytes 0; nothing when the file
// cannot be read or decoded.
std::optional<PixelBuffer> DecodeImageFile(const char* name);

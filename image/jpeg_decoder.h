// Decoding JPEG data into 32-bit pixels, for builds without the system picture loader.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "image/pixel_buffer.h"

// The picture at its own pixel size, top row first, or nothing when the data is not a JPEG
// picture that decodes cleanly. Anything the decoder would only warn about (data that ends
// early, corrupt segments) fails too: a cut-off download must not load as a picture whose lower
// part is grey. So do pictures larger than a pixel buffer may be, refused before any allocation,
// and colour spaces that have no RGB form here (CMYK). The fourth byte of each pixel is 0.
std::optional<PixelBuffer> DecodeJpeg(std::span<const std::uint8_t> data);

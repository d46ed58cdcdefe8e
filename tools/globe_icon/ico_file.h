// Icon files: the multi-size container that LoadIcon and LoadImage read, and that the resource
// compiler copies into an ICON resource.
//
// The file is an icon directory (6 bytes: reserved 0, type 1, image count) followed by one
// 16-byte entry per image (width, height, colour count, reserved, planes, bits per pixel, byte
// count, offset), then the images themselves. Each image is a 40-byte bitmap information header
// whose height is twice the image's (the colour picture and the mask are stacked), the 32-bit
// colour picture bottom row first, and a 1-bit AND mask, also bottom row first with rows padded
// to 32 bits. Systems that draw with the alpha channel ignore the mask; the mask is there for
// those that do not, so it marks as transparent every pixel that is less than half opaque.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// One picture of an icon, top row first. Each pixel holds alpha in bits 24-31, red in 16-23,
// green in 8-15 and blue in 0-7, with straight (not premultiplied) colour, as icons store them.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The largest side an icon entry can describe (its one-byte size field writes 256 as 0).
constexpr int kMaxIconSide = 256;

// The icon file holding the images in the order given, or nothing when there is no image, more
// than a directory can count, or an image whose sides are not 1 to kMaxIconSide or whose pixel
// count does not match its size.
std::optional<std::vector<std::uint8_t>> EncodeIconFile(std::span<const IconImage> images);

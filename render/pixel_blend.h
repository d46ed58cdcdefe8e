// The per-pixel arithmetic of the day/night compositor: how much daylight a place gets from the
// sun's elevation, how the cloud map thins with the cloud-factor setting, and how day pixel,
// night pixel and cloud value combine. Channels are 8-bit integers and every division truncates
// toward zero; a faster compositor must match these results to the bit.
//
// Colour values have red in bits 0-7, green in 8-15 and blue in 16-23. A value read from outside
// an image has every bit set and therefore counts as 255 in every channel.
#pragma once

#include <cstdint>

#include "image/dib_image.h"

// Brightness of clouds on the night side: dark grey.
constexpr int kNightCloudBrightness = 16;
// Brightness of clouds in full daylight: white.
constexpr int kDayCloudBrightness = 255;

// Daylight weight for a sun elevation in degrees: 0 at 5 degrees below the horizon or lower, 1 at
// 5 degrees above or higher, linear in between. An elevation that is not a number gives 0.
double DayWeight(double elevation);

// A cloud value 0..255 thinned by the cloud factor g: f - (255 - f) * g / 100, clamped to
// 0..255. Positive factors darken thin cloud more than thick cloud; full cloud stays 255.
int ApplyCloudFactor(int cloudValue, int cloudFactor);

// The cloud value of a cloud-map pixel: its red channel.
int CloudValueOf(ColourValue cloudPixel);

// The night side without a night image: the day pixel at a quarter of its brightness.
ColourValue DarkenedDayPixel(ColourValue dayPixel);

// A pixel with cloud f laid over it in the given cloud brightness (16 at night, 255 by day).
ColourValue CloudOver(ColourValue pixel, int cloud, int cloudBrightness);

// A pixel of the twilight band (0 < dayWeight < 1): day and night pixel each under their cloud,
// mixed in proportion to the daylight weight.
ColourValue TwilightPixel(double dayWeight, int cloud, ColourValue dayPixel, ColourValue nightPixel);

// The day and night paths on stored 32-bit pixels (blue in bits 0-7, green 8-15, red 16-23; the
// fourth byte is ignored and comes out 0), with exactly the results of CloudOver and
// DarkenedDayPixel, for the compositor's inner loop: the three channels travel in 16-bit lanes
// of one 64-bit word, where no product of a channel and a weight (at most 255 x 255) can reach
// the next lane, and each lane is divided by 255 exactly.
std::uint32_t StoredCloudOver(std::uint32_t pixel, int cloud, int cloudBrightness);
std::uint32_t StoredDarkenedDay(std::uint32_t pixel);

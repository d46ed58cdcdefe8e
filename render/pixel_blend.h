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

// What a twilight pixel's blend takes from its day weight (0 < dayWeight < 1): the brightness of
// the clouds over the day pixel, from night grey to nearly white across the band, and the day
// pixel's share of 255.
struct TwilightShares {
    int cloudBrightness;  // trunc(239 w + 16), 16..254
    int dayShare;         // trunc(255 w), 0..254
};
TwilightShares TwilightSharesOf(double dayWeight);

// A pixel of the twilight band (0 < dayWeight < 1): day and night pixel each under their cloud,
// mixed in proportion to the daylight weight.
ColourValue TwilightPixel(double dayWeight, int cloud, ColourValue dayPixel, ColourValue nightPixel);

// Paints the program's globe icon: the Earth from the day map, seen from far above one place,
// with soft shading towards the edge so that even 16 pixels read as a sphere, and transparent
// around the disc.
//
// Each pixel is the average of a square grid of samples, so the disc's edge is antialiased
// (its alpha is the share of samples inside the disc) and no detail of the map flickers into
// the small sizes. Averaging and shading happen in linear light, which keeps the edge and the
// coastlines from going dark as they would if the encoded values were averaged. The map is
// first reduced to about the resolution the samples reach, so each sample stands for the map's
// area around it rather than one map pixel.
#pragma once

#include <optional>

#include "image/pixel_buffer.h"
#include "tools/globe_icon/ico_file.h"

struct GlobeLook {
    // The place in the middle of the disc, in degrees.
    double centreLatitude = 20.0;
    double centreLongitude = 10.0;
    // Samples per pixel along each side (1 to kMaxSamplesPerSide).
    int samplesPerSide = 8;
    // Gap between the disc and the icon's edge, in pixels (0 up to half the icon's side).
    double marginPixels = 0.25;
    // Brightening of the map in linear light: the day maps' oceans are too dark to tell from the
    // night sky at icon sizes.
    double exposure = 1.0;
    // Colourfulness: 1 keeps the map's colours, more moves each colour away from the grey of the
    // same luminance, which keeps land and sea apart when a pixel covers hundreds of kilometres.
    double saturation = 1.0;
    // Where the light comes from, in view coordinates (x right, y up, z towards the viewer); it
    // need not be of unit length. Light from the viewer's side keeps the whole disc lit, with a
    // gentle fall-off away from the light.
    double lightX = 0.0, lightY = 0.0, lightZ = 1.0;
    // The share of the light that reaches every point whatever its angle to the light.
    double ambient = 0.3;
    // A haze of this colour (red, green, blue, 0 to 1 in linear light) thickening towards the
    // edge like an atmosphere seen edge-on: its weight is rimStrength x (1 - cos view angle) to
    // the power rimPower.
    double rimRed = 0.3, rimGreen = 0.5, rimBlue = 1.0;
    double rimStrength = 0.0;
    double rimPower = 3.0;
};

constexpr int kMaxSamplesPerSide = 16;

// The globe on a size x size icon, or nothing when the map is empty or not consistent, the
// size is not 1 to kMaxIconSide, or the look is out of range: a number that is not finite, a
// centre latitude beyond the poles, a margin that leaves no disc, a sample count out of range.
std::optional<IconImage> PaintGlobe(const PixelBuffer& dayMap, int size, const GlobeLook& look);

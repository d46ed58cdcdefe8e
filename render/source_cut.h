// Which part of a scaled map the frames of an output shape show. With crop, the sources are
// scaled to cover the output and each frame is cropped to it: on a desktop wider than 2:1 most
// rows of the scaled map never show (at 11520 x 2160, 3,600 of its 5,760), and with a centre
// that stays put (a fixed longitude, a region, the time zone) the columns beyond the output's
// width never show either. The prepared sources keep only that part; the frame, whose longitudes
// and latitudes come from the whole map, still knows the whole map's size.
//
// Columns are counted on the map, not on the frame: the frame shows the map turned so that the
// centre longitude lies in its middle, so the columns a frame shows form one run that may wrap
// from the map's right edge to its left.
#pragma once

#include <limits>

#include "image/pixel_buffer.h"

// A centre that moves with the time of day: every column of the map shows at some hour.
inline constexpr double kMovingCentre = std::numeric_limits<double>::quiet_NaN();

// The frames that prepared sources serve.
struct OutputShape {
    int width = 0;  // the output, in pixels
    int height = 0;
    bool crop = false;  // scaled to cover the output and cropped, rather than scaled to fit
    // The longitude (degrees) in the frame's middle when it is the same for every frame, else
    // kMovingCentre.
    double fixedCentre = kMovingCentre;
    // The size of the frame's own map, the scaled day map; 0 x 0 when not known, and a map is then
    // cut as though it were the frame's. Night and cloud maps may differ from it in size.
    ImageSize frameMap{};
};

// Rows top .. top + height - 1 of a map, and the run of width columns from column left on,
// wrapping past the map's right edge to its left.
struct MapPart {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const MapPart&) const = default;
};

// What one frame shows of its map (frameMap, the day map's size): rows firstRow ..
// endRow - 1, and columnCount columns from map column firstColumn on, wrapping. fitted says
// whether the frame is centred on an output of outputWidth x outputHeight (cropped, or framed
// by bars); columnShift is the compositor's (ColumnShift), or kAnyColumnShift for every shift the
// day can bring.
inline constexpr int kAnyColumnShift = std::numeric_limits<int>::min();
struct FrameShows {
    int firstRow = 0;
    int endRow = 0;
    int firstColumn = 0;
    int columnCount = 0;
};
FrameShows WhatFrameShows(ImageSize frameMap, int outputWidth, int outputHeight, bool fitted,
                          int columnShift);

// The part of a map of mapSize that the frames of shape show: what WhatFrameShows gives for the
// frame's map, as far as this map reaches (beyond its edges it is not read). The columns are
// cut only for a map of the frame's width; at least one row is kept. The whole map when nothing
// is cut, which includes every shape without crop.
MapPart KeptPart(ImageSize mapSize, const OutputShape& shape);

// Whether a part of a map of mapSize holds every pixel of it that a frame (of frameMap's size)
// showing `shows` reads.
bool PartHolds(ImageSize mapSize, const MapPart& part, ImageSize frameMap, const FrameShows& shows);

// Whether two fixed centres are the same; kMovingCentre is the same as itself only.
bool SameCentre(double first, double second);

// Whether sources prepared for one shape serve the other: every field the same, the centres as
// SameCentre has it.
bool SameShape(const OutputShape& first, const OutputShape& second);

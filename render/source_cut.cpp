#include "render/source_cut.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/compositor.h"
#include "render/frame_fitting.h"

namespace {

// The range first .. end - 1 of a frame's length that fitting to an output of outputSize keeps.
void KeptRange(int frameSize, int outputSize, int& first, int& end) {
    const std::int64_t offset = FrameOffset(outputSize, frameSize);
    first = static_cast<int>(std::max<std::int64_t>(0, -offset));
    end = static_cast<int>(std::clamp<std::int64_t>(outputSize - offset, first, frameSize));
}

int Wrapped(std::int64_t column, int width) {
    const std::int64_t remainder = column % width;
    return static_cast<int>(remainder < 0 ? remainder + width : remainder);
}

}  // namespace

FrameShows WhatFrameShows(ImageSize frameMap, int outputWidth, int outputHeight, bool fitted,
                          int columnShift) {
    FrameShows shows{0, frameMap.height, 0, frameMap.width};
    if (frameMap.width <= 0 || frameMap.height <= 0) {
        return shows;
    }
    if (fitted) {
        KeptRange(frameMap.height, outputHeight, shows.firstRow, shows.endRow);
    }
    if (fitted && columnShift != kAnyColumnShift) {
        int firstShown = 0, endShown = 0;
        KeptRange(frameMap.width, outputWidth, firstShown, endShown);
        // Column a of the composed frame shows map column (a + shift) modulo the width.
        shows.firstColumn = Wrapped(std::int64_t{firstShown} + columnShift, frameMap.width);
        shows.columnCount = endShown - firstShown;
    }
    return shows;
}

MapPart KeptPart(ImageSize mapSize, const OutputShape& shape) {
    const MapPart whole{0, 0, mapSize.width, mapSize.height};
    if (!shape.crop || mapSize.width <= 0 || mapSize.height <= 0) {
        return whole;
    }
    const ImageSize frameMap =
        shape.frameMap.width > 0 && shape.frameMap.height > 0 ? shape.frameMap : mapSize;
    const int shift =
        std::isnan(shape.fixedCentre) ? kAnyColumnShift : ColumnShift(frameMap.width, shape.fixedCentre);
    const FrameShows shows = WhatFrameShows(frameMap, shape.width, shape.height, true, shift);
    MapPart part = whole;
    // A map lower than the rows the frame shows still keeps a row, so that the part is a picture.
    part.top = std::min(shows.firstRow, mapSize.height - 1);
    part.height = std::max(std::min(shows.endRow, mapSize.height) - part.top, 1);
    if (mapSize.width == frameMap.width && shows.columnCount > 0 && shows.columnCount < mapSize.width) {
        part.left = shows.firstColumn;
        part.width = shows.columnCount;
    }
    return part;
}

bool PartHolds(ImageSize mapSize, const MapPart& part, ImageSize frameMap, const FrameShows& shows) {
    const int endRow = std::min(shows.endRow, mapSize.height);
    if (shows.firstRow < endRow && (shows.firstRow < part.top || endRow > part.top + part.height)) {
        return false;
    }
    if (part.left == 0 && part.width == mapSize.width) {
        return true;
    }
    // A map of another width than the frame's is only ever kept whole across.
    if (mapSize.width != frameMap.width) {
        return false;
    }
    const int offset = Wrapped(std::int64_t{shows.firstColumn} - part.left, mapSize.width);
    return std::int64_t{offset} + shows.columnCount <= part.width;
}

bool SameCentre(double first, double second) {
    return first == second || (std::isnan(first) && std::isnan(second));
}

bool SameShape(const OutputShape& first, const OutputShape& second) {
    return first.width == second.width && first.height == second.height && first.crop == second.crop &&
           SameCentre(first.fixedCentre, second.fixedCentre) && first.frameMap == second.frameMap;
}

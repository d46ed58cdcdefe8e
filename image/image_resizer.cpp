#include "image/image_resizer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

// One destination coordinate of an enlargement: the source pixel at or before it, the next one
// (the same at the last pixel), and how far past the first it lies.
struct SamplePoint {
    int index;
    int next;
    double fraction;
};

// Positions 0, step, 2 x step, ... by repeated addition. A destination longer than the source
// times the factor would run past the last pixel; the index is held at the last pixel there so
// that no read leaves the source.
std::vector<SamplePoint> EnlargePoints(int count, double step, int sourceLength) {
    std::vector<SamplePoint> points(count);
    double position = 0.0;
    for (SamplePoint& point : points) {
        const double whole = std::min(std::trunc(position), double(sourceLength - 1));
        const int index = int(whole);
        point = {index, std::min(index + 1, sourceLength - 1), position - whole};
        position += step;
    }
    return points;
}

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

// The mean of the horizontal interpolation between a and its right neighbour b and the vertical
// one between a and its lower neighbour c; the diagonal neighbour does not take part.
std::uint32_t Interpolate(std::uint32_t a, std::uint32_t b, std::uint32_t c, double fx, double fy) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = Channel(a, shift);
        const double cb = Channel(b, shift);
        const double cc = Channel(c, shift);
        const double value = 0.5 * (fx * cb + (1.0 - fx) * ca + (1.0 - fy) * ca + fy * cc);
        result |= (std::uint32_t(int(value)) & 0xFFu) << shift;
    }
    return result;
}

void Enlarge(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
             std::span<std::uint32_t> dest, int destWidth, int destHeight, double step) {
    // Every destination column restarts its row coordinate at 0, so the row positions are the
    // same for all columns and can be computed once.
    const std::vector<SamplePoint> columns = EnlargePoints(destWidth, step, sourceWidth);
    const std::vector<SamplePoint> rows = EnlargePoints(destHeight, step, sourceHeight);
    for (int r = 0; r < destHeight; ++r) {
        const SamplePoint& row = rows[r];
        const std::uint32_t* line = source.data() + std::size_t(row.index) * sourceWidth;
        const std::uint32_t* lineBelow = source.data() + std::size_t(row.next) * sourceWidth;
        std::uint32_t* out = dest.data() + std::size_t(r) * destWidth;
        for (int c = 0; c < destWidth; ++c) {
            const SamplePoint& column = columns[c];
            out[c] = Interpolate(line[column.index], line[column.next], lineBelow[column.index],
                                 column.fraction, row.fraction);
        }
    }
}

// The source range first..last (inclusive) under one destination pixel; empty when first > last.
struct SourceRange {
    int first;
    int last;
};

// Ranges of a box reduction. Each range ends at trunc(centre) + 1, clamped to the last source
// pixel, where the centres -0.5 x step + step, + 2 x step, ... come by repeated addition.
// Columns start where the previous range ended, so neighbours share that source column; rows
// start one past it. A clamped end repeated at the far edge leaves a row range empty.
std::vector<SourceRange> ReduceRanges(int count, double step, int sourceLength, bool shareBoundary) {
    std::vector<SourceRange> ranges(count);
    double centre = -0.5 * step;
    int previousEnd = shareBoundary ? 0 : -1;
    for (SourceRange& range : ranges) {
        centre += step;
        const int first = shareBoundary ? previousEnd : previousEnd + 1;
        const int last = int(std::min(std::trunc(centre) + 1.0, double(sourceLength - 1)));
        range = {first, last};
        previousEnd = last;
    }
    return ranges;
}

void Reduce(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
            std::span<std::uint32_t> dest, int destWidth, int destHeight, double step) {
    const std::vector<SourceRange> columns = ReduceRanges(destWidth, step, sourceWidth, true);
    const std::vector<SourceRange> rows = ReduceRanges(destHeight, step, sourceHeight, false);
    // Per destination row, each source column's channel sums over the row's range first; the
    // boxes then add up columns. The sums are the same integers as a box walked pixel by pixel.
    std::vector<std::uint64_t> columnSums(std::size_t(sourceWidth) * 3);
    for (int r = 0; r < destHeight; ++r) {
        const SourceRange& rowRange = rows[r];
        if (rowRange.first > rowRange.last) {
            continue;  // keeps the background fill
        }
        std::fill(columnSums.begin(), columnSums.end(), 0);
        for (int y = rowRange.first; y <= rowRange.last; ++y) {
            const std::uint32_t* line = source.data() + std::size_t(y) * sourceWidth;
            for (int x = 0; x < sourceWidth; ++x) {
                columnSums[std::size_t(x) * 3] += Channel(line[x], 0);
                columnSums[std::size_t(x) * 3 + 1] += Channel(line[x], 8);
                columnSums[std::size_t(x) * 3 + 2] += Channel(line[x], 16);
            }
        }
        const std::uint64_t rowCount = std::uint64_t(rowRange.last - rowRange.first + 1);
        std::uint32_t* out = dest.data() + std::size_t(r) * destWidth;
        for (int c = 0; c < destWidth; ++c) {
            const SourceRange& columnRange = columns[c];
            std::uint64_t blue = 0, green = 0, red = 0;
            for (int x = columnRange.first; x <= columnRange.last; ++x) {
                blue += columnSums[std::size_t(x) * 3];
                green += columnSums[std::size_t(x) * 3 + 1];
                red += columnSums[std::size_t(x) * 3 + 2];
            }
            const std::uint64_t count = rowCount * std::uint64_t(columnRange.last - columnRange.first + 1);
            // The fourth byte stays as the destination was filled.
            out[c] = (out[c] & 0xFF000000u) | std::uint32_t(blue / count) |
                     std::uint32_t(green / count) << 8 | std::uint32_t(red / count) << 16;
        }
    }
}

int TruncatedProduct(int length, double factor) {
    const double product = std::trunc(double(length) * factor);
    if (!(product >= double(INT_MIN) && product <= double(INT_MAX))) {
        return 0;
    }
    return int(product);
}

}  // namespace

ImageSize CImageResizer::CalcDestSize(int width, int height) const {
    return {TruncatedProduct(width, factor_), TruncatedProduct(height, factor_)};
}

int CImageResizer::ProcessPixels(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                                 std::span<std::uint32_t> dest, int destWidth, int destHeight) const {
    if (!(factor_ > 0.0) || !std::isfinite(factor_)) {
        return 0;
    }
    if (factor_ == 1.0) {
        return C32BitImageProcessor::ProcessPixels(source, sourceWidth, sourceHeight, dest, destWidth,
                                                   destHeight);
    }
    if (!BuffersHold(source, sourceWidth, sourceHeight, dest, destWidth, destHeight)) {
        return 0;
    }
    if (destWidth == 0 || destHeight == 0) {
        return 1;
    }
    if (sourceWidth == 0 || sourceHeight == 0) {
        return 0;  // no pixel to sample
    }
    const double step = 1.0 / factor_;
    if (!std::isfinite(step)) {
        return 0;  // a factor so small that its step overflows
    }
    if (factor_ > 1.0) {
        Enlarge(source, sourceWidth, sourceHeight, dest, destWidth, destHeight, step);
    } else {
        Reduce(source, sourceWidth, sourceHeight, dest, destWidth, destHeight, step);
    }
    return 1;
}

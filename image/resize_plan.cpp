#include "image/resize_plan.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

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

}  // namespace

std::optional<ResizePlan> ResizePlan::Make(double factor, ImageSize sourceSize, ImageSize destSize) {
    if (!(factor > 0.0) || !std::isfinite(factor) ||
        !CheckedPixelCount(sourceSize.width, sourceSize.height) || !IsRowWisePictureSize(destSize)) {
        return std::nullopt;
    }
    ResizePlan plan;
    plan.source_ = sourceSize;
    plan.dest_ = destSize;
    if (destSize.width == 0 || destSize.height == 0) {
        return plan;  // nothing to make
    }
    if (sourceSize.width == 0 || sourceSize.height == 0) {
        return std::nullopt;  // no pixel to sample
    }
    const double step = 1.0 / factor;
    if (!std::isfinite(step)) {
        return std::nullopt;
    }
    if (factor == 1.0) {
        // Pixel i of the destination is pixel i of the source, row breaks aside.
        if (std::uint64_t(destSize.width) * std::uint64_t(destSize.height) >
            std::uint64_t(sourceSize.width) * std::uint64_t(sourceSize.height)) {
            return std::nullopt;
        }
        plan.kind_ = Kind::Copy;
        return plan;
    }
    if (factor > 1.0) {
        // Positions 0, step, 2 x step, ... by repeated addition; every destination column restarts
        // its row position at 0, so the row positions are the same for all columns. A destination
        // longer than the source times the factor would run past the last pixel; the index is held
        // at the last pixel there so that no read leaves the source.
        const auto points = [step](int count, int sourceLength) {
            std::vector<SamplePoint> result(static_cast<std::size_t>(count));
            double position = 0.0;
            for (SamplePoint& point : result) {
                const double whole = std::min(std::trunc(position), double(sourceLength - 1));
                const int index = int(whole);
                point = {index, std::min(index + 1, sourceLength - 1), position - whole};
                position += step;
            }
            return result;
        };
        plan.kind_ = Kind::Enlarge;
        plan.enlargeColumns_ = points(destSize.width, sourceSize.width);
        plan.enlargeRows_ = points(destSize.height, sourceSize.height);
        return plan;
    }
    // Each range ends at trunc(centre) + 1, clamped to the last source pixel, where the centres
    // -0.5 x step + step, + 2 x step, ... come by repeated addition. Columns start where the
    // previous range ended, so neighbours share that source column; rows start one past it. A
    // clamped end repeated at the far edge leaves a row range empty.
    const auto ranges = [step](int count, int sourceLength, bool shareBoundary) {
        std::vector<SourceRange> result(static_cast<std::size_t>(count));
        double centre = -0.5 * step;
        int previousEnd = shareBoundary ? 0 : -1;
        for (SourceRange& range : result) {
            centre += step;
            const int first = shareBoundary ? previousEnd : previousEnd + 1;
            const int last = int(std::min(std::trunc(centre) + 1.0, double(sourceLength - 1)));
            range = {first, last};
            previousEnd = last;
        }
        return result;
    };
    plan.kind_ = Kind::Reduce;
    plan.reduceColumns_ = ranges(destSize.width, sourceSize.width, true);
    plan.reduceRows_ = ranges(destSize.height, sourceSize.height, false);
    plan.columnSums_.resize(std::size_t(sourceSize.width) * 3);
    return plan;
}

ResizePlan::RowSpan ResizePlan::SourceRowsOf(int row) const {
    switch (kind_) {
        case Kind::Copy: {
            // Pixel i of the destination is pixel i of the source.
            const std::uint64_t begin = std::uint64_t(row) * std::uint64_t(dest_.width);
            const std::uint64_t end = begin + std::uint64_t(dest_.width);
            const auto width = std::uint64_t(source_.width);
            return {int(begin / width), int((end - 1) / width)};
        }
        case Kind::Enlarge: {
            const SamplePoint& point = enlargeRows_[std::size_t(row)];
            return {point.index, point.next};
        }
        case Kind::Reduce: {
            const SourceRange& range = reduceRows_[std::size_t(row)];
            return {range.first, range.last};
        }
    }
    return {0, -1};
}

void ResizePlan::MakeRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                         std::uint32_t* out) {
    switch (kind_) {
        case Kind::Copy: {
            const std::size_t start = std::size_t(row) * std::size_t(dest_.width) + std::size_t(column) -
                                      std::size_t(firstRow) * std::size_t(source_.width);
            std::copy_n(rows.begin() + std::ptrdiff_t(start), count, out);
            break;
        }
        case Kind::Enlarge:
            EnlargeRow(rows, firstRow, row, column, count, out);
            break;
        case Kind::Reduce:
            ReduceRow(rows, firstRow, row, column, count, out);
            break;
    }
}

const std::uint32_t* ResizePlan::SourceLine(std::span<const std::uint32_t> rows, int firstRow, int y) const {
    return rows.data() + std::size_t(y - firstRow) * std::size_t(source_.width);
}

void ResizePlan::EnlargeRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                            std::uint32_t* out) const {
    const SamplePoint& rowPoint = enlargeRows_[std::size_t(row)];
    const std::uint32_t* line = SourceLine(rows, firstRow, rowPoint.index);
    const std::uint32_t* lineBelow = SourceLine(rows, firstRow, rowPoint.next);
    for (int index = 0; index < count; ++index) {
        const SamplePoint& point = enlargeColumns_[std::size_t(column + index)];
        out[index] = Interpolate(line[point.index], line[point.next], lineBelow[point.index], point.fraction,
                                 rowPoint.fraction);
    }
}

void ResizePlan::ReduceRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                           std::uint32_t* out) {
    const SourceRange& rowRange = reduceRows_[std::size_t(row)];
    if (rowRange.first > rowRange.last || count <= 0) {
        return;  // keeps the background fill
    }
    // Each source column's channel sums over the row's range first; the boxes then add up
    // columns. The sums are the same integers as a box walked pixel by pixel. Only the source
    // columns under the wanted destination columns are summed.
    const int firstSource = reduceColumns_[std::size_t(column)].first;
    const int lastSource = reduceColumns_[std::size_t(column + count - 1)].last;
    std::uint64_t* sums = columnSums_.data();
    std::fill(sums + std::size_t(firstSource) * 3, sums + std::size_t(lastSource + 1) * 3, 0);
    for (int y = rowRange.first; y <= rowRange.last; ++y) {
        const std::uint32_t* line = SourceLine(rows, firstRow, y);
        for (int x = firstSource; x <= lastSource; ++x) {
            sums[std::size_t(x) * 3] += Channel(line[x], 0);
            sums[std::size_t(x) * 3 + 1] += Channel(line[x], 8);
            sums[std::size_t(x) * 3 + 2] += Channel(line[x], 16);
        }
    }
    const std::uint64_t rowCount = std::uint64_t(rowRange.last - rowRange.first + 1);
    for (int index = 0; index < count; ++index) {
        const SourceRange& columnRange = reduceColumns_[std::size_t(column + index)];
        std::uint64_t blue = 0, green = 0, red = 0;
        for (int x = columnRange.first; x <= columnRange.last; ++x) {
            blue += sums[std::size_t(x) * 3];
            green += sums[std::size_t(x) * 3 + 1];
            red += sums[std::size_t(x) * 3 + 2];
        }
        const std::uint64_t pixels = rowCount * std::uint64_t(columnRange.last - columnRange.first + 1);
        // The fourth byte stays as the destination was filled.
        out[index] = (out[index] & 0xFF000000u) | std::uint32_t(blue / pixels) |
                     std::uint32_t(green / pixels) << 8 | std::uint32_t(red / pixels) << 16;
    }
}

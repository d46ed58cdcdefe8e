// The resizer's work laid out once, so that destination pixels can be made a row at a time, in
// any order and for only some of the columns, from only the source rows they need: the renderer
// prepares its sources by making just the part of a large scaled map that frames show, a band of
// rows at a time, without ever holding the whole scaled map or the whole source picture. Each pixel is made by the same arithmetic as CImageResizer's
// (which makes every row through a plan), so it is bit for bit the pixel the resizer puts there.
//
// Enlarging interpolates between each pixel and its right and lower neighbours; reducing
// averages the box of source pixels under each destination pixel. The arithmetic is fixed to
// the last bit (coordinates by repeated addition of the step, doubles truncated toward zero,
// integer box sums) because the pictures it makes are compared pixel for pixel with those made
// before; do not "improve" it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/pixel_buffer.h"

class ResizePlan {
  public:
    // The plan for scaling a source of sourceSize by factor into destSize (what
    // CImageResizer::CalcDestSize gives, or any other size: positions past the source's end are
    // held at its last pixel). The destination is made a row at a time, so it may be larger than
    // any picture held whole (IsRowWisePictureSize); whoever holds it whole checks its size.
    // Nothing for a factor that is 0, negative or not finite, for one so small that its step
    // overflows, or when a size is empty while the other is not.
    static std::optional<ResizePlan> Make(double factor, ImageSize sourceSize, ImageSize destSize);

    ImageSize DestSize() const { return dest_; }

    // The source rows that destination row `row` reads, first..last; none (first > last) for a
    // row that no source row falls into. They grow with the row, so a band of destination rows
    // reads from its first row's first source row to its last row's last.
    struct RowSpan {
        int first;
        int last;
    };
    RowSpan SourceRowsOf(int row) const;

    // Writes destination pixels (column .. column + count - 1, row) into out. out must come
    // filled with the background, as the resizer's buffers do: a reduction keeps each pixel's
    // fourth byte as it finds it, and leaves a row that no source row falls into as it is.
    // rows holds whole source rows (top row first) from source row firstRow on, at least those
    // that SourceRowsOf(row) names; with firstRow 0 it may be the whole picture. Not for several
    // threads at once: a reduction sums into the plan's own row of column sums.
    void MakeRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                 std::uint32_t* out);

  private:
    enum class Kind { Copy, Enlarge, Reduce };

    // One destination coordinate of an enlargement: the source pixel at or before it, the next
    // one (the same at the last pixel), and how far past the first it lies.
    struct SamplePoint {
        int index;
        int next;
        double fraction;
    };
    // The source range first..last (inclusive) under one destination pixel of a reduction;
    // empty when first > last.
    struct SourceRange {
        int first;
        int last;
    };

    ResizePlan() = default;
    // Row y of the source, within rows that start at source row firstRow.
    const std::uint32_t* SourceLine(std::span<const std::uint32_t> rows, int firstRow, int y) const;
    void EnlargeRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                    std::uint32_t* out) const;
    void ReduceRow(std::span<const std::uint32_t> rows, int firstRow, int row, int column, int count,
                   std::uint32_t* out);

    Kind kind_ = Kind::Copy;
    ImageSize source_;
    ImageSize dest_;
    std::vector<SamplePoint> enlargeColumns_, enlargeRows_;
    std::vector<SourceRange> reduceColumns_, reduceRows_;
    std::vector<std::uint64_t> columnSums_;  // three channels per source column
};

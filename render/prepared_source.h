// The prepared sources ("current-day.bmp", "current-night.bmp", "current-clouds.bmp"): a day,
// night or cloud map scaled for the output shape and cut to the part of it that frames show
// (source_cut.h), so that neither the preparation nor a redraw ever holds more than a few rows
// of a map of the desktop's size, and the files take no more room than the frames need.
//
// A prepared source is an ordinary bitmap file of that part, 32 bits per pixel, bottom row first,
// with the masks that a screen-compatible bitmap converts to, so that a map kept whole is the very
// file that scaling the whole map and saving it writes. A part that is not the whole map is
// followed by a record of where it lies in the whole scaled map, whose size gives each pixel its
// longitude and latitude. A file without that record is a whole map; any 32-bit bitmap file of
// that form reads as one.
#pragma once

#include <cstdint>
#include <span>

#include "image/bmp_row_file.h"
#include "image/pixel_buffer.h"
#include "render/source_cut.h"

// What a prepared source holds: the whole scaled map's size and the part of it kept.
struct PreparedCut {
    ImageSize map;
    MapPart part;
};

// Scales the picture in sourceFile for the output shape (to cover the output with crop, to fit
// inside it without, as ScaleImageFile does) and writes the part of the scaled map that the
// shape's frames show into preparedFile, a band of rows at a time, each from the source rows it
// reads (picture_rows.h): besides what the decoder keeps, the memory it takes follows the width
// of a row, not the size of the picture or of the scaled map. Every pixel is the one
// ScaleImageFile would put there. The file is replaced in one step: a reader sees the old
// file or the new one.
//
// Returns true with *cut (when given) filled. On failure (an unreadable source, a shape that is
// not positive or a map larger than a picture may be, a failed write) returns false with the
// thread's last-error code holding the reason, and an earlier file stays as it was.
bool PrepareSourceFile(const char* sourceFile, const char* preparedFile, const OutputShape& shape,
                       PreparedCut* cut = nullptr);

// What opening a prepared source found.
enum class PreparedSourceState {
    Opened,
    // Missing, unreadable, or no 32-bit bitmap of the prepared form (BmpRowFile): perhaps a bitmap
    // of another form, which can be read whole.
    OtherForm,
    // Of the prepared form, but followed by something other than nothing or a record of a part
    // inside a map: not to be read in any way.
    Damaged,
};

// A prepared source read one map row at a time; several threads may read one at once.
class PreparedSource {
  public:
    PreparedSourceState Open(const char* name);

    const PreparedCut& Cut() const { return cut_; }
    // The packed bitmap's bytes before its pixels: header and masks.
    std::span<const std::uint8_t> HeaderBytes() const { return file_.HeaderBytes(); }

    // Reads row y of the whole map, which must lie within the part's rows, into one 4-byte
    // pixel per frame column (into.size() / 4 of them): the part's columns go to their places,
    // columns from the map's right edge on are white, as pixel reads beyond an image give, and
    // the others are left as they were.
    bool ReadMapRow(int y, std::span<std::uint8_t> into);

  private:
    BmpRowFile file_;
    PreparedCut cut_{};
};

// Rows of an image in the one form the frame composer reads: stored 32-bit pixels with blue in
// the low byte, covering every column of the frame. An image already stored that way lends its
// own rows; any other (another depth, other channel masks, narrower or lower than the frame) is
// converted row by row through its colour values, with white beyond its edges, as pixel reads
// there give.
#pragma once

#include <cstdint>
#include <vector>

#include "image/dib_image.h"

// True for 32-bit images whose pixels hold blue, green and red in their first three bytes:
// plain RGB, or bit fields with exactly those masks.
bool IsStoredPixelLayout(const DibImage& image);

class StoredRowReader {
  public:
    // Reads from the image for a frame of the given width; the image must outlive the reader.
    // Without Open, Row gives nullptr. Throws std::bad_alloc when a conversion row cannot be had.
    void Open(const DibImage& image, int frameWidth);

    // Row y of the frame (0 is the top row); valid until the next call.
    const std::uint8_t* Row(int y);

  private:
    const DibImage* image_ = nullptr;
    bool lendsRows_ = false;
    int frameWidth_ = 0;
    std::vector<std::uint8_t> converted_;
};

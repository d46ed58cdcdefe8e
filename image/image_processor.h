// C32BitImageProcessor: one step of a pixel-processing chain over 32-bit pixel buffers (see
// pixel_buffer.h for their layout). A processor says what size its output has for an input
// size, and turns a source buffer into a destination buffer of that size.
//
// The buffers come as spans so that a processor can check them: a call whose sizes do not fit
// the buffers it was given fails instead of reading or writing outside them. The chain hands a
// processor destination buffers that are larger than the output (they are sized for the largest
// step of the chain); only the first width x height pixels are the output.
#pragma once

#include <cstdint>
#include <span>

#include "image/pixel_buffer.h"

class C32BitImageProcessor {
  public:
    virtual ~C32BitImageProcessor() = default;

    // The output size for an input of width x height. This base keeps the size.
    virtual ImageSize CalcDestSize(int width, int height) const;

    // Fills the first destWidth x destHeight pixels of dest from the sourceWidth x sourceHeight
    // picture in source. Returns 1 on success, 0 on failure. This base copies destWidth x
    // destHeight pixels unchanged.
    virtual int ProcessPixels(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                              std::span<std::uint32_t> dest, int destWidth, int destHeight) const;

  protected:
    // True when both sizes are valid and each buffer holds at least its picture.
    static bool BuffersHold(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                            std::span<std::uint32_t> dest, int destWidth, int destHeight);
};

// A picture file read a band of rows at a time, so that the largest maps (5400 x 2700 pixels)
// are scaled without ever holding them whole as 32-bit pixels. On Windows a JPEG file is read
// through the system's imaging component, which decodes it once and hands out any band of rows;
// under Wine that costs the decoded picture at 24 bits (44 MB for 5400 x 2700), where the system
// picture loader (OleLoadPicturePath) briefly held more than three times as much. The pixels are
// the picture loader's: the same decoder, without the drawing step. Other files, and every file
// in the native build, are decoded whole and read from memory.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "image/pixel_buffer.h"

class PictureRows {
  public:
    explicit PictureRows(ImageSize size) : size_(size) {}
    virtual ~PictureRows() = default;
    PictureRows(const PictureRows&) = delete;
    PictureRows& operator=(const PictureRows&) = delete;

    ImageSize Size() const { return size_; }

    // Fills into with rows first..first + count - 1 (within the picture), top row first, each
    // width pixels long, as 32-bit pixels (blue in the low byte) whose fourth byte is 0: the
    // pixels the resizer reads. into must hold count x width pixels. False when the decoder
    // fails; into may then hold anything.
    virtual bool Read(int first, int count, std::span<std::uint32_t> into) = 0;

  private:
    ImageSize size_;
};

// The picture in file, ready to be read; nullptr, with the thread's last-error code holding the
// reason, when it cannot be decoded (the decoder is chosen by its name, see image_type.h).
std::unique_ptr<PictureRows> OpenPictureRows(const char* file);

// Rows read from a picture held whole in memory.
std::unique_ptr<PictureRows> PictureRowsOf(PixelBuffer picture);

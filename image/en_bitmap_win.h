// CEnBitmap: a GDI bitmap that loads picture files of any supported type and changes its size
// through a chain of pixel processors.
#pragma once

#include <vector>

#include "framework/bitmap_win.h"
#include "image/dib_image.h"
#include "image/image_processor.h"

class CEnBitmap : public CBitmap {
  public:
    CEnBitmap() = default;
    ~CEnBitmap() override = default;

    // Decodes the file (the decoder is chosen by its name, see picture_file_win.h) over the
    // background colour and takes the bitmap. Fails when this object already holds a bitmap.
    int LoadImageFile(const char* name);
    // Scales the bitmap by factor (see CImageResizer).
    int ResizeImage(double factor);
    // Runs the processors over the bitmap's pixels and replaces the bitmap by the result. No
    // bitmap: 0. An empty list: 1 with nothing changed. On any failure the bitmap stays as it was.
    int ProcessImage(const std::vector<C32BitImageProcessor*>& processors);

    // The colour (red in the low byte) painted under decoded pictures and into fresh pixel
    // buffers; kNoPixel for none. White unless set.
    ColourValue BackgroundColour() const { return backgroundColour_; }
    void SetBackgroundColour(ColourValue colour) { backgroundColour_ = colour; }

  private:
    ColourValue backgroundColour_ = 0xFFFFFF;
};

// CImageResizer: scales a picture by a factor. Enlarging interpolates between each pixel and
// its right and lower neighbours; reducing averages the box of source pixels under each
// destination pixel. The pixel arithmetic is ResizePlan's (resize_plan.h), which also makes
// single rows for callers that never hold the whole result.
#pragma once

#include "image/image_processor.h"

class CImageResizer : public C32BitImageProcessor {
  public:
    explicit CImageResizer(double factor) : factor_(factor) {}

    // (trunc(width x factor), trunc(height x factor)); a product that is not a number or does
    // not fit an int gives 0, which no chain accepts.
    ImageSize CalcDestSize(int width, int height) const override;

    // Fails for a factor that is 0, negative or not finite, and for sizes the buffers do not
    // hold.
    int ProcessPixels(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                      std::span<std::uint32_t> dest, int destWidth, int destHeight) const override;

    double Factor() const { return factor_; }

  private:
    double factor_;
};

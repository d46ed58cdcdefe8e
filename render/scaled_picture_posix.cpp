#include "render/scaled_picture.h"

#include <optional>

#include "image/dib_pixels.h"
#include "image/image_decoder.h"
#include "image/image_resizer.h"
#include "image/processor_chain.h"
#include "render/scale_image_file.h"

int LoadScaledPicture(const char* sourceFile, int targetWidth, int targetHeight, bool crop,
                      DibImage& scaled) {
    std::optional<PixelBuffer> pixels = DecodeImageFile(sourceFile);
    if (!pixels) {
        return 0;
    }
    CImageResizer resizer(ScaleFactorFor(pixels->width, pixels->height, targetWidth, targetHeight, crop));
    if (!RunProcessorChain(*pixels, {&resizer}, kResizeBackground)) {
        return 0;
    }
    return DibFromPixels(scaled, *pixels);
}

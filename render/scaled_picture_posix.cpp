#include "render/scaled_picture.h"

#include <optional>

#include "image/dib_pixels.h"
#include "image/image_decoder.h"
#include "image/image_resizer.h"
#include "image/processor_chain.h"
#include "render/scale_image_file.h"

namespace {

// The background that fresh resizer buffers start with: white, as CEnBitmap paints them on
// Windows, so that the rows a reduction leaves unfilled look the same in both builds.
constexpr ColourValue kResizeBackground = 0xFFFFFF;

}  // namespace

int LoadScaledPicture(const char* sourceFile, int targetWidth, int targetHeight, int crop, DibImage& scaled) {
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

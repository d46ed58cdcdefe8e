#include <optional>

#include "image/image_decoder.h"
#include "image/picture_rows.h"

std::unique_ptr<PictureRows> OpenPictureRows(const char* file) {
    std::optional<PixelBuffer> picture = DecodeImageFile(file);
    return picture ? PictureRowsOf(std::move(*picture)) : nullptr;
}

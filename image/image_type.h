// Which decoder a picture file goes to, decided by its name alone.
#pragma once

#include <string_view>

enum ImageType : int {
    kImageBitmap = 0,
    kImageIcon = 1,
    kImageJpeg = 2,
    kImageGif = 3,
    kImageUnsupported = 4,
};

// The type named by an extension anywhere after the first character, compared without regard to
// case. The extensions are tried in the order .BMP, .ICO, .JPG, .JPEG, .GIF and the first one
// found decides, wherever it stands: "a.bmp.jpg" is a bitmap. A name that is only an extension
// (".jpg") names no picture.
ImageType ImageTypeOf(std::string_view name);

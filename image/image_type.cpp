#include "image/image_type.h"

#include <string>

namespace {

struct Extension {
    std::string_view text;
    ImageType type;
};

constexpr Extension kExtensions[] = {
    {".BMP", kImageBitmap}, {".ICO", kImageIcon}, {".JPG", kImageJpeg},
    {".JPEG", kImageJpeg},  {".GIF", kImageGif},
};

// Only ASCII letters change: file names in the ANSI code page may hold other bytes, and none of
// them can be part of an extension above.
std::string UpperCaseAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

ImageType ImageTypeOf(std::string_view name) {
    const std::string upper = UpperCaseAscii(name);
    for (const Extension& extension : kExtensions) {
        if (upper.find(extension.text, 1) != std::string::npos) {
            return extension.type;
        }
    }
    return kImageUnsupported;
}

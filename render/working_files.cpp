#include "render/working_files.h"

#include <cstddef>
#include <cstdio>

namespace {

// Room for any int in either format.
constexpr std::size_t kImageFileNameSize = 32;

}  // namespace

std::string DesktopImageFile(int number) {
    char name[kImageFileNameSize];
    std::snprintf(name, sizeof name, kDesktopImageFormat, number);
    return name;
}

std::string PreviewImageFile(int number) {
    char name[kImageFileNameSize];
    std::snprintf(name, sizeof name, kPreviewImageFormat, number);
    return name;
}

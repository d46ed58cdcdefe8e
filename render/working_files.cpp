#include "render/working_files.h"

#include <cstddef>
#include <cstdio>

#include "image/file_io.h"

namespace {

// Room for any int in any of the formats.
constexpr std::size_t kImageFileNameSize = 32;

std::string NumberedFile(const char* format, int number) {
    char name[kImageFileNameSize];
    std::snprintf(name, sizeof name, format, number);
    return name;
}

bool IsMonth(int number) {
    return number >= 1 && number <= 12;
}

}  // namespace

std::string DesktopImageFile(int number) {
    return NumberedFile(kDesktopImageFormat, number);
}

std::string PreviewImageFile(int number) {
    return NumberedFile(kPreviewImageFormat, number);
}

std::string SharpMapFile(int month) {
    return NumberedFile(kSharpMapFormat, month);
}

std::string SmallSharpMapFile(int month) {
    return NumberedFile(kSmallSharpMapFormat, month);
}

std::string DesktopDayMapFile(int number, bool sharpMaps) {
    if (sharpMaps && IsMonth(number) && PathExists(SharpMapFile(number).c_str())) {
        return SharpMapFile(number);
    }
    return DesktopImageFile(number);
}

std::string PreviewDayMapFile(int number, bool sharpMaps) {
    if (sharpMaps && IsMonth(number) && PathExists(SmallSharpMapFile(number).c_str())) {
        return SmallSharpMapFile(number);
    }
    return PreviewImageFile(number);
}

std::vector<std::string> SharpMapFileNames() {
    std::vector<std::string> names(kSharpMapInstallationFiles.begin(), kSharpMapInstallationFiles.end());
    for (int month = 1; month <= 12; ++month) {
        names.push_back(SharpMapFile(month));
        names.push_back(SmallSharpMapFile(month));
    }
    return names;
}

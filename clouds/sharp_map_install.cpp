#include "clouds/sharp_map_install.h"

#include <array>
#include <string>

#include "clouds/file_set_replacement.h"
#include "image/file_io.h"
#include "image/whole_bitmap_file.h"
#include "render/prepared_source.h"
#include "render/working_files.h"

namespace {

// The whole map fitted into the small size, as a prepared source kept whole is an ordinary
// bitmap file.
bool MakeSmallForm(const char* map, const char* smallMap) {
    OutputShape small;
    small.width = kSmallSharpMapWidth;
    small.height = kSmallSharpMapHeight;
    return PrepareSourceFile(map, smallMap, small);
}

bool Install(int month, const std::function<bool()>& stopRequested) {
    if (stopRequested() || !MakeSmallForm(kDownloadedSharpMapFile, kNewSmallSharpMapFile) || stopRequested()) {
        return false;
    }
    const std::string map = SharpMapFile(month);
    const std::string smallMap = SmallSharpMapFile(month);
    const std::array<FileToReplace, 2> files = {{
        {map.c_str(), kDownloadedSharpMapFile, kKeptSharpMapFile},
        {smallMap.c_str(), kNewSmallSharpMapFile, kKeptSmallSharpMapFile},
    }};
    return ReplaceFilesAsOne(files);
}

}  // namespace

SharpMapVerdict InstallSharpMap(int month, const std::function<bool()>& stopRequested) {
    SharpMapVerdict verdict = stopRequested() ? SharpMapVerdict::Unreadable
                                              : CheckSharpMap(kDownloadedSharpMapFile, month);
    if (verdict == SharpMapVerdict::Accepted && !Install(month, stopRequested)) {
        verdict = SharpMapVerdict::Unreadable;
    }
    RemoveFile(kDownloadedSharpMapFile);
    RemoveFile(kNewSmallSharpMapFile);
    return verdict;
}

std::vector<std::string> MendSharpMaps() {
    for (const std::string& file : SharpMapFileNames()) {
        RemoveLeftoverTemporaries(file.c_str());
    }
    for (const char* leftover : kSharpMapInstallationFiles) {
        RemoveFile(leftover);
    }
    std::vector<std::string> damaged;
    for (int month = 1; month <= 12; ++month) {
        const std::string map = SharpMapFile(month);
        const std::string smallMap = SmallSharpMapFile(month);
        if (PathExists(map.c_str()) && !InstalledSharpMapReadsBack(map.c_str(), month)) {
            damaged.push_back(map);
            RemoveFile(map.c_str());
            RemoveFile(smallMap.c_str());
        }
        if (PathExists(smallMap.c_str()) && !WholeBitmapFileSize(smallMap.c_str())) {
            damaged.push_back(smallMap);
            RemoveFile(smallMap.c_str());
        }
        if (PathExists(map.c_str()) && !PathExists(smallMap.c_str())) {
            MakeSmallForm(map.c_str(), smallMap.c_str());
        }
    }
    return damaged;
}

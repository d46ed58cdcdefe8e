#include "clouds/sharp_map_install.h"

#include <array>
#include <string>

#include "clouds/file_set_replacement.h"
#include "image/file_io.h"
#include "render/prepared_source.h"
#include "render/working_files.h"

namespace {

bool Install(int month, const std::function<bool()>& stopRequested) {
    // The whole map fitted into the small size, as a prepared source kept whole is an ordinary
    // bitmap file.
    OutputShape small;
    small.width = kSmallSharpMapWidth;
    small.height = kSmallSharpMapHeight;
    if (stopRequested() || !PrepareSourceFile(kDownloadedSharpMapFile, kNewSmallSharpMapFile, small) ||
        stopRequested()) {
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

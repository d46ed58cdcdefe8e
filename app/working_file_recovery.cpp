#include "app/working_file_recovery.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "clouds/cloud_map_install.h"
#include "clouds/sharp_map_install.h"
#include "image/file_io.h"
#include "image/whole_bitmap_file.h"
#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"

namespace {

bool IsPreparedSource(const char* file) {
    return PreparedSource().Open(file) == PreparedSourceState::Opened;
}

bool IsWholeBitmap(const char* file) {
    return WholeBitmapFileSize(file).has_value();
}

// A cloud map is fitted into its size: no larger, and not empty.
WorkingFileRule CloudMapRule(const char* file, int width, int height) {
    return {
        file,
        [width, height](const char* name) {
            const std::optional<ImageSize> size = WholeBitmapFileSize(name);
            return size && size->width >= 1 && size->width <= width && size->height >= 1 &&
                   size->height <= height;
        },
        [file, width, height] { ScaleImageFile(kSeedCloudsFile, nullptr, width, height, file, false); },
    };
}

bool IsCloudMap(const std::string& file) {
    return file == kDesktopCloudsFile || file == kSmallCloudsFile;
}

}  // namespace

std::vector<WorkingFileRule> ProgramWorkingFileRules() {
    return {
        CloudMapRule(kDesktopCloudsFile, kDesktopCloudsWidth, kDesktopCloudsHeight),
        CloudMapRule(kSmallCloudsFile, kSmallCloudsWidth, kSmallCloudsHeight),
        {kCurrentDayFile, IsPreparedSource, {}},
        {kCurrentNightFile, IsPreparedSource, {}},
        {kCurrentCloudsFile, IsPreparedSource, {}},
        {kCurrentFrameFile, IsWholeBitmap, {}},
    };
}

std::vector<std::string> CheckWorkingFiles(std::span<const WorkingFileRule> rules) {
    std::vector<std::string> damaged;
    for (const WorkingFileRule& rule : rules) {
        if (PathExists(rule.file) && !rule.readsBack(rule.file)) {
            damaged.emplace_back(rule.file);
            RemoveFile(rule.file);
        }
        if (rule.makeMissing && !PathExists(rule.file)) {
            rule.makeMissing();
        }
    }
    return damaged;
}

WorkingFilesRecovery RecoverWorkingFiles(SettingsStore& store) {
    for (const char* file : kWorkingFiles) {
        RemoveLeftoverTemporaries(file);
    }
    WorkingFilesRecovery recovery;
    recovery.cloudInstallation = RecoverCloudInstallation();
    recovery.damaged = CheckWorkingFiles(ProgramWorkingFileRules());
    std::ranges::move(MendSharpMaps(), std::back_inserter(recovery.damaged));
    if (std::ranges::any_of(recovery.damaged, IsCloudMap)) {
        StoreCloudsLastUpdated(store, 0);
    }
    return recovery;
}

#include "app/working_file_recovery.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/dib_image.h"
#include "image/file_io.h"
#include "image/whole_bitmap_file.h"
#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"
#include "tests/render/working_folder.h"
#include "tests/settings/memory_settings_store.h"

namespace {

constexpr char kSmallMap[] = "tests/image/fixtures/red-blue-64x32.jpg";  // 64 x 32, shaped like a map

std::vector<char> Bytes(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const char* name, const std::vector<char>& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
}

std::vector<std::string> FolderEntries() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A start after a power cut in the middle of a run: a cloud installation cut off after its last
// move, a master cloud map of zeros, a prepared day source with stray bytes after its record, a
// cloud source cut short, and temporary files of writes that never ended. Valid files stay as
// they were, and a second start finds nothing to do.
TEST(RecoverWorkingFiles, MendsWhatAnEndInTheMiddleOfARunLeft) {
    WorkingFolder folder;
    folder.CopyFromSource(kSmallMap, kSeedCloudsFile);
    folder.CopyFromSource(kSmallMap, kDownloadedCloudsFile);
    MemorySettingsStore store;
    store.PutDword("Clouds", 1);
    StoreCloudsLastUpdated(store, 0x01DAC3A1'23456789);

    const OutputShape cropped{800, 300, true, 0.0, {}};
    ASSERT_TRUE(ScaleImageFile(kSeedCloudsFile, nullptr, 512, 256, kSmallCloudsFile, false));
    ASSERT_TRUE(PrepareSourceFile(kSeedCloudsFile, kCurrentDayFile, cropped));
    ASSERT_TRUE(PrepareSourceFile(kSeedCloudsFile, kCurrentNightFile, cropped));
    ASSERT_TRUE(PrepareSourceFile(kSeedCloudsFile, kCurrentCloudsFile, cropped));
    ASSERT_TRUE(ScaleImageFile(kSeedCloudsFile, nullptr, 800, 300, kCurrentFrameFile, false));
    const std::vector<char> small = Bytes(kSmallCloudsFile);
    const std::vector<char> night = Bytes(kCurrentNightFile);
    const std::vector<char> frame = Bytes(kCurrentFrameFile);

    WriteBytes(kDesktopCloudsFile, std::vector<char>(2000, 0));
    std::vector<char> day = Bytes(kCurrentDayFile);
    day.insert(day.end(), 5, '\x7F');
    WriteBytes(kCurrentDayFile, day);
    std::vector<char> clouds = Bytes(kCurrentCloudsFile);
    clouds.resize(clouds.size() / 2);
    WriteBytes(kCurrentCloudsFile, clouds);
    for (const char* kept : {kKeptDesktopCloudsFile, kKeptSmallCloudsFile, kKeptCurrentCloudsFile}) {
        WriteBytes(kept, {'o', 'l', 'd'});
    }
    WriteBytes(TemporaryNameBeside(kCurrentFrameFile, 0xFFFFFFF0ul, 1).c_str(), {'x'});
    WriteBytes(TemporaryNameBeside(kNewDesktopCloudsFile, 0xFFFFFFF1ul, 2).c_str(), {'x'});

    const WorkingFilesRecovery recovery = RecoverWorkingFiles(store);
    EXPECT_EQ(recovery.cloudInstallation, ReplacementOutcome::Finished);
    EXPECT_EQ(recovery.damaged,
              (std::vector<std::string>{kDesktopCloudsFile, kCurrentDayFile, kCurrentCloudsFile}));
    // The master map made again from the seed; the cut prepared sources left to the first apply.
    EXPECT_EQ(WholeBitmapFileSize(kDesktopCloudsFile), (ImageSize{2560, 1280}));
    EXPECT_EQ(FolderEntries(),
              (std::vector<std::string>{kDesktopCloudsFile, kSmallCloudsFile, kSeedCloudsFile,
                                        kCurrentNightFile, kCurrentFrameFile}));
    EXPECT_EQ(Bytes(kSmallCloudsFile), small);
    EXPECT_EQ(Bytes(kCurrentNightFile), night);
    EXPECT_EQ(Bytes(kCurrentFrameFile), frame);
    // A downloaded map may have been lost: the next download is due.
    EXPECT_EQ(CSettings(store).CloudsLastUpdated, 0u);

    StoreCloudsLastUpdated(store, 1);
    const WorkingFilesRecovery again = RecoverWorkingFiles(store);
    EXPECT_EQ(again.cloudInstallation, ReplacementOutcome::NoneCutOff);
    EXPECT_TRUE(again.damaged.empty());
    EXPECT_EQ(CSettings(store).CloudsLastUpdated, 1u);
}

TEST(RecoverWorkingFiles, MakesMissingCloudMapsFromTheSeedAndNothingWithoutIt) {
    WorkingFolder folder;
    EXPECT_TRUE(CheckWorkingFiles(ProgramWorkingFileRules()).empty());
    EXPECT_TRUE(FolderEntries().empty());

    folder.CopyFromSource(kSmallMap, kSeedCloudsFile);
    ASSERT_TRUE(ScaleImageFile(kSeedCloudsFile, nullptr, 600, 300, kSmallCloudsFile, false));  // too large
    EXPECT_EQ(CheckWorkingFiles(ProgramWorkingFileRules()), std::vector<std::string>{kSmallCloudsFile});
    EXPECT_EQ(WholeBitmapFileSize(kDesktopCloudsFile), (ImageSize{2560, 1280}));
    EXPECT_EQ(WholeBitmapFileSize(kSmallCloudsFile), (ImageSize{512, 256}));
}

}  // namespace

#include "clouds/cloud_map_install.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/dib_image.h"
#include "render/working_files.h"
#include "tests/render/working_folder.h"
#include "tests/settings/memory_settings_store.h"

namespace {

constexpr char kSmallMap[] = "tests/image/fixtures/red-blue-64x32.jpg";  // 64 x 32, shaped like a map
constexpr char kLastUpdatedValue[] = "CloudsLastUpdated";
constexpr std::uint64_t kInstallTime = 0x01DAC3A1'23456789;  // some moment in 2024, as a FILETIME

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

Size BitmapSize(const char* name) {
    DibImage image;
    if (!image.ReadBmpFile(name)) {
        return {};
    }
    return {image.Width(), image.Height()};
}

std::string FileText(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint64_t StoredTime(const MemorySettingsStore& store) {
    const StoredValue* value = store.Find(kLastUpdatedValue);
    if (value == nullptr || value->type != SettingsValueType::Qword || value->data.size() != 8) {
        return 0;
    }
    std::uint64_t time = 0;
    for (int i = 7; i >= 0; --i) {
        time = time << 8 | value->data[static_cast<std::size_t>(i)];
    }
    return time;
}

// A working folder holding a downloaded map, an output of 800 x 600 and a store with a key.
class CloudMapInstallTest : public ::testing::Test {
  protected:
    CloudMapInstallTest() {
        folder_.CopyFromSource(kSmallMap, kDownloadedCloudsFile);
        state_.Width = 800;
        state_.Height = 600;
        state_.Crop = 0;
        store_.PutDword("Clouds", 1);
    }

    // The clock of the installation; it checks that it is read once everything else is done.
    std::function<std::uint64_t()> Clock() {
        return [this] {
            ++clockReads_;
            EXPECT_TRUE(std::filesystem::exists(kCurrentCloudsFile));
            EXPECT_FALSE(std::filesystem::exists(kDownloadedCloudsFile));
            return kInstallTime;
        };
    }

    WorkingFolder folder_;
    RenderState state_;
    MemorySettingsStore store_;
    int clockReads_ = 0;
};

TEST_F(CloudMapInstallTest, AMapBecomesTheThreeCloudBitmapsAndTheTimeIsStored) {
    EXPECT_TRUE(InstallCloudMap(state_, store_, Clock()));
    EXPECT_EQ(BitmapSize(kDesktopCloudsFile), (Size{2560, 1280}));
    EXPECT_EQ(BitmapSize(kSmallCloudsFile), (Size{512, 256}));
    EXPECT_EQ(BitmapSize(kCurrentCloudsFile), (Size{800, 400}));  // fitted into 800 x 600
    EXPECT_FALSE(std::filesystem::exists(kDownloadedCloudsFile));
    EXPECT_EQ(clockReads_, 1);
    EXPECT_EQ(StoredTime(store_), kInstallTime);
}

TEST_F(CloudMapInstallTest, TheCropFlagMakesTheCloudSourceCoverTheOutput) {
    state_.Crop = 1;
    EXPECT_TRUE(InstallCloudMap(state_, store_, Clock()));
    EXPECT_EQ(BitmapSize(kCurrentCloudsFile), (Size{1200, 600}));
    EXPECT_EQ(BitmapSize(kDesktopCloudsFile), (Size{2560, 1280}));  // always fitted
}

TEST_F(CloudMapInstallTest, ADownloadThatIsNoPictureInstallsNothing) {
    const std::string page = "<html><body>404 Not Found</body></html>";
    std::ofstream(kDownloadedCloudsFile, std::ios::binary | std::ios::trunc) << page;
    std::ofstream(kSmallCloudsFile, std::ios::binary) << "earlier small bitmap";

    EXPECT_FALSE(InstallCloudMap(state_, store_, Clock()));
    EXPECT_EQ(FileText(kDownloadedCloudsFile), page);
    EXPECT_FALSE(std::filesystem::exists(kDesktopCloudsFile));
    EXPECT_FALSE(std::filesystem::exists(kCurrentCloudsFile));
    EXPECT_EQ(FileText(kSmallCloudsFile), "earlier small bitmap");
    EXPECT_EQ(clockReads_, 0);
    EXPECT_EQ(store_.Find(kLastUpdatedValue), nullptr);
}

TEST_F(CloudMapInstallTest, ACloudSourceThatCannotBeMadeLeavesTheInstallationStanding) {
    state_.Width = 0;  // no output size yet
    EXPECT_TRUE(InstallCloudMap(state_, store_, [] { return kInstallTime; }));
    EXPECT_EQ(BitmapSize(kDesktopCloudsFile), (Size{2560, 1280}));
    EXPECT_FALSE(std::filesystem::exists(kCurrentCloudsFile));
    EXPECT_FALSE(std::filesystem::exists(kDownloadedCloudsFile));
    EXPECT_EQ(StoredTime(store_), kInstallTime);
}

TEST_F(CloudMapInstallTest, AMissingSettingsKeyLeavesTheInstallationStanding) {
    MemorySettingsStore noKey;
    EXPECT_TRUE(InstallCloudMap(state_, noKey, Clock()));
    EXPECT_EQ(BitmapSize(kSmallCloudsFile), (Size{512, 256}));
    EXPECT_FALSE(noKey.HasKey());
}

}  // namespace

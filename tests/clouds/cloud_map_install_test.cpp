#include "clouds/cloud_map_install.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "cloud_test_support.h"
#include "render/working_files.h"
#include "tests/render/working_folder.h"
#include "tests/settings/memory_settings_store.h"

namespace {

constexpr char kSmallMap[] = "tests/image/fixtures/red-blue-64x32.jpg";  // 64 x 32, shaped like a map
constexpr char kLastUpdatedValue[] = "CloudsLastUpdated";
constexpr std::uint64_t kInstallTime = 0x01DAC3A1'23456789;  // some moment in 2024, as a FILETIME

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
    EXPECT_EQ(BitmapFileSize(kDesktopCloudsFile), (PixelSize{2560, 1280}));
    EXPECT_EQ(BitmapFileSize(kSmallCloudsFile), (PixelSize{512, 256}));
    EXPECT_EQ(BitmapFileSize(kCurrentCloudsFile), (PixelSize{800, 400}));  // fitted into 800 x 600
    EXPECT_FALSE(std::filesystem::exists(kDownloadedCloudsFile));
    EXPECT_EQ(clockReads_, 1);
    EXPECT_EQ(StoredLastUpdated(store_), kInstallTime);
}

TEST_F(CloudMapInstallTest, TheCropFlagMakesTheCloudSourceCoverTheOutput) {
    state_.Crop = 1;
    EXPECT_TRUE(InstallCloudMap(state_, store_, Clock()));
    EXPECT_EQ(BitmapFileSize(kCurrentCloudsFile), (PixelSize{1200, 600}));
    EXPECT_EQ(BitmapFileSize(kDesktopCloudsFile), (PixelSize{2560, 1280}));  // always fitted
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

// Bitmaps of an earlier installation, in place when the new one goes wrong; the new ones must
// either all replace them or leave every one of them as it was.
class EarlierInstallation : public CloudMapInstallTest {
  protected:
    EarlierInstallation() {
        for (const char* file : kInUse) {
            std::ofstream(file, std::ios::binary) << "earlier " << file;
        }
    }

    void ExpectEverythingAsBefore() {
        for (const char* file : kInUse) {
            EXPECT_EQ(FileText(file), std::string("earlier ") + file);
        }
        EXPECT_TRUE(std::filesystem::exists(kDownloadedCloudsFile));
        EXPECT_EQ(clockReads_, 0);
        EXPECT_EQ(store_.Find(kLastUpdatedValue), nullptr);
        for (const char* file : {kNewDesktopCloudsFile, kNewSmallCloudsFile, kNewCurrentCloudsFile,
                                 kKeptDesktopCloudsFile, kKeptSmallCloudsFile}) {
            EXPECT_FALSE(std::filesystem::exists(file)) << file;
        }
    }

    static constexpr const char* kInUse[] = {kDesktopCloudsFile, kSmallCloudsFile, kCurrentCloudsFile};
};

TEST_F(EarlierInstallation, ABitmapThatCannotBeMadeLeavesAllThreeAsTheyWere) {
    state_.Width = 0;  // no output size yet: no cloud source can be made
    EXPECT_FALSE(InstallCloudMap(state_, store_, Clock()));
    ExpectEverythingAsBefore();
}

TEST_F(EarlierInstallation, AReplacementThatCannotBeCompletedPutsBackTheOnesAlreadyReplaced) {
    // The last bitmap in use cannot be moved aside: a folder holds its place.
    std::filesystem::create_directories(std::filesystem::path(kKeptCurrentCloudsFile) / "taken");
    EXPECT_FALSE(InstallCloudMap(state_, store_, Clock()));
    ExpectEverythingAsBefore();

    // Once the way is free the same map is installed, over what an installation cut off halfway
    // left aside.
    std::filesystem::remove_all(kKeptCurrentCloudsFile);
    std::ofstream(kKeptDesktopCloudsFile, std::ios::binary) << "left aside";
    EXPECT_TRUE(InstallCloudMap(state_, store_, Clock()));
    EXPECT_EQ(BitmapFileSize(kDesktopCloudsFile), (PixelSize{2560, 1280}));
    EXPECT_EQ(BitmapFileSize(kSmallCloudsFile), (PixelSize{512, 256}));
    EXPECT_EQ(BitmapFileSize(kCurrentCloudsFile), (PixelSize{800, 400}));
    EXPECT_EQ(StoredLastUpdated(store_), kInstallTime);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              3)
        << "the three bitmaps and nothing else";
}

TEST_F(CloudMapInstallTest, AMissingSettingsKeyLeavesTheInstallationStanding) {
    MemorySettingsStore noKey;
    EXPECT_TRUE(InstallCloudMap(state_, noKey, Clock()));
    EXPECT_EQ(BitmapFileSize(kSmallCloudsFile), (PixelSize{512, 256}));
    EXPECT_FALSE(noKey.HasKey());
}

TEST_F(CloudMapInstallTest, TheMainThreadTakesANewShapeWithoutWaitingAndTheCloudSourceFollowsIt) {
    // Once the cloud source has been made for 800 x 600, the main thread takes a new output
    // shape: at once, the installation holding no lock while it makes bitmaps. The cloud source
    // is then made again for the new shape before the three bitmaps replace the ones in use.
    std::thread mainThread;
    std::atomic<bool> shapeTaken{false};
    bool shapeTakenAtOnce = false;
    int checks = 0;
    const auto stopRequested = [&] {
        if (++checks == 4) {
            mainThread = std::thread([&] {
                state_.SetOutputShape(1600, 1200, 1);
                shapeTaken = true;
            });
            for (int wait = 0; wait < 500 && !shapeTaken; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            shapeTakenAtOnce = shapeTaken;
        }
        return false;
    };
    EXPECT_TRUE(InstallCloudMap(state_, store_, Clock(), stopRequested));
    mainThread.join();
    EXPECT_TRUE(shapeTakenAtOnce);
    EXPECT_EQ(BitmapFileSize(kCurrentCloudsFile), (PixelSize{2400, 1200}));
    EXPECT_EQ(BitmapFileSize(kDesktopCloudsFile), (PixelSize{2560, 1280}));
}

TEST_F(EarlierInstallation, AStopEndsTheInstallationBeforeItsNextStepAndReplacesNothing) {
    // Before the master bitmap, and after each of the three new bitmaps.
    for (int stopAt = 1; stopAt <= 4; ++stopAt) {
        SCOPED_TRACE(stopAt);
        int checks = 0;
        EXPECT_FALSE(
            InstallCloudMap(state_, store_, Clock(), [&checks, stopAt] { return ++checks >= stopAt; }));
        EXPECT_EQ(checks, stopAt);
        ExpectEverythingAsBefore();
    }
}

}  // namespace

#include "render/prepare_sources.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "image/dib_factory.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "working_folder.h"

namespace {

constexpr char kSmallJpeg[] = "tests/image/fixtures/red-blue-64x32.jpg";  // 64 x 32

std::int64_t MidMonth(int month) {
    std::tm fields{};
    fields.tm_year = 2024 - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = 15;
    fields.tm_hour = 12;
    return UtcSecondsFromFields(fields);
}

const std::int64_t kJune = MidMonth(6);

// A working folder with the June day image, night image 13 and the desktop cloud map, and a
// render state of 32 x 32 pixels that fits the 64 x 32 sources inside (32 x 16).
class PrepareSourcesTest : public ::testing::Test {
  protected:
    PrepareSourcesTest() {
        folder_.CopyFromSource(kSmallJpeg, "06-2560.jpg");
        folder_.CopyFromSource(kSmallJpeg, "13-2560.jpg");
        DibImage clouds;
        EXPECT_EQ(CreateDib(clouds, 64, 32, 32, false, true), 1);
        EXPECT_EQ(clouds.SaveBmpFile(kDesktopCloudsFile), 1);
        state_.Width = 32;
        state_.Height = 32;
    }

    static void RemovePrepared() {
        for (const char* name : {kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile}) {
            std::filesystem::remove(name);
        }
    }

    WorkingFolder folder_;
    RenderState state_;
};

void ExpectPrepared(const char* name, int width, int height) {
    DibImage image;
    ASSERT_EQ(image.ReadBmpFile(name), 1) << name;
    EXPECT_EQ(image.Width(), width) << name;
    EXPECT_EQ(image.Height(), height) << name;
}

TEST_F(PrepareSourcesTest, ANewMonthRemakesAllThreeOnTheNextPass) {
    state_.PreparedDayImage = 5;
    PrepareSourcesAt(kJune, state_, false);
    EXPECT_EQ(state_.PreparedDayImage, 6);
    ExpectPrepared(kCurrentDayFile, 32, 16);
    ExpectPrepared(kCurrentNightFile, 32, 16);
    ExpectPrepared(kCurrentCloudsFile, 32, 16);
}

TEST_F(PrepareSourcesTest, ThePassesOfTheSameMonthMakeNothing) {
    state_.PreparedDayImage = 6;
    PrepareSourcesAt(kJune, state_, false);
    EXPECT_FALSE(FileExists(kCurrentDayFile));
    EXPECT_FALSE(FileExists(kCurrentNightFile));
    EXPECT_FALSE(FileExists(kCurrentCloudsFile));

    // A forced pass makes them all the same, at the size and crop of the moment.
    state_.Crop = 1;
    PrepareSourcesAt(kJune, state_, true);
    ExpectPrepared(kCurrentDayFile, 64, 32);
    ExpectPrepared(kCurrentNightFile, 64, 32);
    ExpectPrepared(kCurrentCloudsFile, 64, 32);
}

TEST_F(PrepareSourcesTest, AFixedDayImageIsPreparedOnceUntilAForcedPass) {
    folder_.CopyFromSource(kSmallJpeg, "00-2560.jpg");
    state_.DaytimeImage = 0;
    PrepareSourcesAt(kJune, state_, true);
    EXPECT_EQ(state_.PreparedDayImage, 0);
    ExpectPrepared(kCurrentDayFile, 32, 16);

    // Image 0 is what a timed pass would prepare, in June as in any month: nothing to redo.
    RemovePrepared();
    PrepareSourcesAt(kJune, state_, false);
    EXPECT_FALSE(FileExists(kCurrentDayFile));
    EXPECT_FALSE(FileExists(kCurrentCloudsFile));

    PrepareSourcesAt(kJune, state_, true);
    ExpectPrepared(kCurrentDayFile, 32, 16);
}

TEST_F(PrepareSourcesTest, WithoutANightImageFileNoNightFileIsMade) {
    for (const int night : {0, -1}) {
        RemovePrepared();
        state_.NighttimeImage = night;
        PrepareSourcesAt(kJune, state_, true);
        ExpectPrepared(kCurrentDayFile, 32, 16);
        EXPECT_FALSE(FileExists(kCurrentNightFile)) << night;
    }
}

TEST_F(PrepareSourcesTest, WithCloudsOffNoCloudFileIsMade) {
    state_.Clouds = 0;
    PrepareSourcesAt(kJune, state_, true);
    ExpectPrepared(kCurrentDayFile, 32, 16);
    EXPECT_FALSE(FileExists(kCurrentCloudsFile));
}

TEST_F(PrepareSourcesTest, AFailedPreparationKeepsTheEarlierFilesAndIsNotRetried) {
    PrepareSourcesAt(kJune, state_, true);
    DibImage earlierDay;
    ASSERT_EQ(earlierDay.ReadBmpFile(kCurrentDayFile), 1);

    // July has no day image here, and the night image is damaged; the clouds still come.
    std::filesystem::resize_file("13-2560.jpg", 100);
    state_.Width = 48;
    state_.Height = 48;
    PrepareSourcesAt(MidMonth(7), state_, false);
    EXPECT_EQ(state_.PreparedDayImage, 7);
    DibImage keptDay;
    ASSERT_EQ(keptDay.ReadBmpFile(kCurrentDayFile), 1);
    EXPECT_TRUE(keptDay.Block() == earlierDay.Block());
    ExpectPrepared(kCurrentNightFile, 32, 16);
    ExpectPrepared(kCurrentCloudsFile, 48, 24);

    // The next pass of the month tries nothing again.
    std::filesystem::remove(kCurrentCloudsFile);
    PrepareSourcesAt(MidMonth(7), state_, false);
    EXPECT_FALSE(FileExists(kCurrentCloudsFile));
}

TEST_F(PrepareSourcesTest, TheCloudSourceWaitsForTheCloudFilesToBeFree) {
    // The cloud download holds the lock while it installs; a preparation meanwhile makes the day
    // and night sources, and the cloud source only once the installation is over.
    std::unique_lock installation(state_.CloudFilesLock);
    std::atomic<bool> prepared{false};
    std::thread mainThread([this, &prepared] {
        PrepareSourcesAt(kJune, state_, true);
        prepared = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(prepared.load());
    EXPECT_FALSE(std::filesystem::exists(kCurrentCloudsFile));
    installation.unlock();
    mainThread.join();
    ExpectPrepared(kCurrentCloudsFile, 32, 16);
}

}  // namespace

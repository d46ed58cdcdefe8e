#include "render/prepare_sources.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#endif

#include "image/dib_factory.h"
#include "image/file_io.h"
#include "render/prepared_source.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "working_folder.h"

namespace {

// The reason of the last failure as the thread holds it, and the one a folder standing where a
// file is to be renamed gives.
#ifdef _WIN32
DWORD ThreadError() {
    return GetLastError();
}
constexpr DWORD kFolderInTheWay = ERROR_ACCESS_DENIED;
#else
int ThreadError() {
    return errno;
}
constexpr int kFolderInTheWay = EISDIR;
#endif

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

// A prepared source of a scaled map of width x height, kept whole unless a part is given.
void ExpectPrepared(const char* name, int width, int height, std::optional<MapPart> part = std::nullopt) {
    PreparedSource source;
    ASSERT_EQ(source.Open(name), PreparedSourceState::Opened) << name;
    EXPECT_EQ(source.Cut().map, (ImageSize{width, height})) << name;
    EXPECT_EQ(source.Cut().part, part.value_or(MapPart{0, 0, width, height})) << name;
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

    // A forced pass makes them all the same, at the size and crop of the moment: the 64 x 32
    // map covers the output, and only its middle 32 columns show with the centre at 0.
    state_.Crop = 1;
    EXPECT_TRUE(PrepareSourcesAt(kJune, state_, true));
    const MapPart middle{16, 0, 32, 32};
    ExpectPrepared(kCurrentDayFile, 64, 32, middle);
    ExpectPrepared(kCurrentNightFile, 64, 32, middle);
    ExpectPrepared(kCurrentCloudsFile, 64, 32, middle);
}

TEST_F(PrepareSourcesTest, TheColumnsOfAFixedCentreAreKeptAndCutAnewWhenItMoves) {
    // The 64 x 32 map covers the square output: with a centre that stays put only 32 of its
    // columns show, but every one shows at some hour when the centre moves with the time of day.
    state_.Crop = 1;
    state_.CenterOn = 90;
    EXPECT_TRUE(PrepareSourcesAt(kJune, state_, true));
    ExpectPrepared(kCurrentDayFile, 64, 32, MapPart{32, 0, 32, 32});

    // The centre the columns were kept for is no longer the one to show (as when the time zone
    // changes under the time-zone code): the next pass cuts them anew, wrapping past the edge.
    state_.CenterOn = -180;
    EXPECT_TRUE(PrepareSourcesAt(kJune, state_, false));
    for (const char* name : {kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile}) {
        ExpectPrepared(name, 64, 32, MapPart{48, 0, 32, 32});
    }
    state_.CenterOn = 1001;  // where it is noon
    EXPECT_TRUE(PrepareSourcesAt(kJune, state_, false));
    ExpectPrepared(kCurrentDayFile, 64, 32);
    RemovePrepared();
    EXPECT_TRUE(PrepareSourcesAt(kJune, state_, false));
    EXPECT_FALSE(FileExists(kCurrentDayFile));
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

TEST_F(PrepareSourcesTest, AFailedPreparationKeepsTheEarlierFilesSaysWhyAndIsRepeatedAtTheNextPass) {
    ASSERT_TRUE(PrepareSourcesAt(kJune, state_, true));
    DibImage earlierDay;
    ASSERT_EQ(earlierDay.ReadBmpFile(kCurrentDayFile), 1);

    // July has no day image here, and the night image is damaged; the clouds still come.
    std::filesystem::copy_file("13-2560.jpg", "intact-13.jpg");
    std::filesystem::resize_file("13-2560.jpg", 100);
    state_.Width = 48;
    state_.Height = 48;
    EXPECT_FALSE(PrepareSourcesAt(MidMonth(7), state_, false));
    EXPECT_EQ(state_.PreparedDayImage, kNothingPrepared);
    DibImage keptDay;
    ASSERT_EQ(keptDay.ReadBmpFile(kCurrentDayFile), 1);
    EXPECT_TRUE(keptDay.Block() == earlierDay.Block());
    ExpectPrepared(kCurrentNightFile, 32, 16);
    ExpectPrepared(kCurrentCloudsFile, 48, 24);

    // The next pass tries again. Now the day image is there but "current-day.bmp" cannot be
    // replaced, as a folder stands in its way; the thread's error says so, although the damaged
    // night image failed after it.
    folder_.CopyFromSource(kSmallJpeg, "07-2560.jpg");
    std::filesystem::remove(kCurrentDayFile);
    std::filesystem::create_directory(kCurrentDayFile);
    EXPECT_FALSE(PrepareSourcesAt(MidMonth(7), state_, false));
    EXPECT_EQ(ThreadError(), kFolderInTheWay);
    std::filesystem::remove(kCurrentDayFile);
#ifndef _WIN32
    // A full disk: the day source's temporary file is the device that is always full.
    const std::string temporary = TemporaryNameBeside(kCurrentDayFile, static_cast<unsigned long>(getpid()),
                                                      static_cast<unsigned long>(gettid()));
    std::filesystem::create_symlink("/dev/full", temporary);
    EXPECT_FALSE(PrepareSourcesAt(MidMonth(7), state_, false));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_FALSE(FileExists(kCurrentDayFile));
    EXPECT_FALSE(std::filesystem::is_symlink(temporary));
#endif

    // Once the files can be made, the next pass makes them all; the one after makes nothing.
    std::filesystem::rename("intact-13.jpg", "13-2560.jpg");
    EXPECT_TRUE(PrepareSourcesAt(MidMonth(7), state_, false));
    EXPECT_EQ(state_.PreparedDayImage, 7);
    for (const char* name : {kCurrentDayFile, kCurrentNightFile, kCurrentCloudsFile}) {
        ExpectPrepared(name, 48, 24);
    }
    std::filesystem::remove(kCurrentCloudsFile);
    EXPECT_TRUE(PrepareSourcesAt(MidMonth(7), state_, false));
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

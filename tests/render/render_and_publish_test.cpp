// A whole redraw under Wine: the prepared sources are read, the frame is written and the
// desktop is told to show it. The desktop values and the session's wallpaper are put back after
// each test.
#include "render/render_and_publish_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image/dib_factory.h"
#include "render/prepare_sources.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "tests/output/saved_desktop_wallpaper_win.h"
#include "tests/output/scripted_prompts.h"
#include "working_folder.h"

namespace {

void WritePlainBitmap(const char* name, int width, int height, ColourValue colour) {
    DibImage image;
    ASSERT_EQ(CreateDib(image, width, height, 32, false, true), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixelColour(x, y, colour);
        }
    }
    ASSERT_EQ(image.SaveBmpFile(name), 1);
}

std::vector<std::uint8_t> FileBytes(const char* name) {
    DibImage image;
    return image.ReadBmpFile(name) ? image.Block() : std::vector<std::uint8_t>{};
}

class RenderAndPublishTest : public testing::Test {
  protected:
    // Small prepared sources of 64 x 32 pixels and a state that keeps that size.
    void WriteSmallPreparedSources() {
        WritePlainBitmap(kCurrentDayFile, 64, 32, 0x3080C0);
        WritePlainBitmap(kCurrentNightFile, 64, 32, 0x101010);
        WritePlainBitmap(kCurrentCloudsFile, 64, 32, 0x808080);
        state_.Width = 64;
        state_.Height = 32;
    }

    std::wstring FramePath() const { return (folder_.Path() / kCurrentFrameFile).wstring(); }

    SavedDesktopWallpaper savedWallpaper_;
    WorkingFolder folder_;
    RenderState state_;
    ScriptedPrompts user_;  // timed redraws ask nothing
};

TEST_F(RenderAndPublishTest, RendersTheDeliveredImageryOverTheVirtualScreen) {
    folder_.CopyFromSource("data/06-2560.jpg", "06-2560.jpg");
    folder_.CopyFromSource("data/13-2560.jpg", "13-2560.jpg");
    folder_.CopyFromSource("data/clouds.jpg", kSeedCloudsFile);
    // As start-up makes it from the delivered cloud map.
    ASSERT_TRUE(ScaleImageFile(kSeedCloudsFile, nullptr, 2560, 1280, kDesktopCloudsFile, false));

    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    state_.Width = width;
    state_.Height = height;
    state_.DaytimeImage = 6;
    state_.CenterOn = 1001;
    PrepareSources(state_, true);
    RenderAndPublish(state_, false, user_);

    DibImage frame;
    ASSERT_EQ(frame.ReadBmpFile(kCurrentFrameFile), 1);
    EXPECT_EQ(frame.Width(), width);
    EXPECT_EQ(frame.Height(), height);
    EXPECT_EQ(frame.BitsPerPixel(), 32);
    // Black bars above and below the 2:1 map, and the map itself in between.
    const int mapTop = (height - width / 2) / 2;
    if (mapTop > 0) {
        EXPECT_EQ(frame.GetPixelColour(width / 2, mapTop - 1), 0u);
    }
    EXPECT_NE(frame.GetPixelColour(width / 2, height / 2), 0u);
    EXPECT_PRED2(SamePath, SessionWallpaper(), FramePath());
}

TEST_F(RenderAndPublishTest, WithoutANightImageFileNoNightFileIsRead) {
    WriteSmallPreparedSources();
    std::filesystem::remove(kCurrentNightFile);
    for (const int night : {0, -1}) {
        std::filesystem::remove(kCurrentFrameFile);
        state_.NighttimeImage = night;
        RenderAndPublish(state_, false, user_);
        EXPECT_TRUE(FileExists(kCurrentFrameFile)) << night;
    }
}

TEST_F(RenderAndPublishTest, AMissingSourceLeavesTheEarlierFrameOnTheDesktop) {
    WriteSmallPreparedSources();
    RenderAndPublish(state_, false, user_);
    const std::vector<std::uint8_t> earlier = FileBytes(kCurrentFrameFile);
    ASSERT_FALSE(earlier.empty());
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), 0);

    for (const char* missing : {kCurrentCloudsFile, kCurrentNightFile, kCurrentDayFile}) {
        std::filesystem::remove(missing);
        state_.CenterOn = 90;  // a different frame, were one made
        RenderAndPublish(state_, false, user_);
        EXPECT_EQ(FileBytes(kCurrentFrameFile), earlier) << missing;
        EXPECT_EQ(SessionWallpaper(), L"") << missing;
    }
}

TEST_F(RenderAndPublishTest, ActiveDesktopModeWritesTheFrameButNotTheWallpaper) {
    WriteSmallPreparedSources();
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), 0);
    state_.ActiveDesktop = 1;
    RenderAndPublish(state_, false, user_);
    EXPECT_TRUE(FileExists(kCurrentFrameFile));
    EXPECT_EQ(SessionWallpaper(), L"");
}

TEST_F(RenderAndPublishTest, ARedrawWaitsForACloudInstallationUnderWayAndShowsItsClouds) {
    // The redraw keeps the cloud source open while it composes: the download's replacement of
    // it must come before or after, never during, or it could be refused.
    WriteSmallPreparedSources();
    RenderAndPublish(state_, false, user_);
    const std::vector<std::uint8_t> withEarlierClouds = FileBytes(kCurrentFrameFile);
    std::filesystem::remove(kCurrentFrameFile);

    std::unique_lock installation(state_.CloudFilesLock);
    std::atomic<bool> redrawn{false};
    std::thread mainThread([this, &redrawn] {
        RenderAndPublish(state_, false, user_);
        redrawn = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(redrawn.load());
    EXPECT_FALSE(FileExists(kCurrentFrameFile));
    WritePlainBitmap(kCurrentCloudsFile, 64, 32, 0xFFFFFF);
    installation.unlock();
    mainThread.join();

    const std::vector<std::uint8_t> frame = FileBytes(kCurrentFrameFile);
    ASSERT_FALSE(frame.empty());
    EXPECT_NE(frame, withEarlierClouds) << "the frame shows the installed clouds";
}

}  // namespace

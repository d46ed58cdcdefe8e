#include "frame_reference.h"

#include <gtest/gtest.h>

#include "image/dib_image.h"
#include "image/file_io.h"

std::vector<std::uint8_t> FrameRenderedInMemory(std::int64_t moment, const char* dayFile,
                                                const char* nightFile, const char* cloudsFile,
                                                const FrameOptions& options, WrapOrigin wrap,
                                                const char* scratchFile) {
    DibImage day, night, clouds, frame;
    EXPECT_EQ(day.ReadBmpFile(dayFile), 1);
    EXPECT_TRUE(nightFile == nullptr || night.ReadBmpFile(nightFile) == 1);
    EXPECT_TRUE(cloudsFile == nullptr || clouds.ReadBmpFile(cloudsFile) == 1);
    EXPECT_EQ(frame.Copy(day), 1);
    EXPECT_EQ(RenderFrameAt(moment, frame, day, night, clouds, options), 1);
    WrapFrameForVirtualScreen(frame, wrap.x, wrap.y);
    EXPECT_EQ(frame.SaveBmpFile(scratchFile), 1);
    return FileBytes(scratchFile);
}

std::vector<std::uint8_t> FileBytes(const char* name) {
    constexpr std::uint64_t kAnyFileSize = std::uint64_t{1} << 30;
    return ReadWholeFile(name, kAnyFileSize).value_or(std::vector<std::uint8_t>{});
}

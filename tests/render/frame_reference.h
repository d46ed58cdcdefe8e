// The frame file as the redraw wrote it before it streamed: the sources read whole, the frame
// rendered into a copy of the day image and fitted, wrapped for the virtual screen, saved. The
// streamed redraw must write the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "output/virtual_screen_wrap.h"
#include "render/render_frame.h"

// The bytes of that frame for the sources in dayFile, nightFile and cloudsFile (either may be
// nullptr), by way of scratchFile; empty (with a test failure) when it cannot be made.
std::vector<std::uint8_t> FrameRenderedInMemory(std::int64_t moment, const char* dayFile,
                                                const char* nightFile, const char* cloudsFile,
                                                const FrameOptions& options, WrapOrigin wrap,
                                                const char* scratchFile);

// A file's bytes; empty when it cannot be read.
std::vector<std::uint8_t> FileBytes(const char* name);

// The full path of "current.bmp" in the current directory (frame_path.h), or nothing when the
// system cannot give one or it does not fit in 260 characters with its terminator.
#pragma once

#include <optional>
#include <string>

std::optional<std::u16string> FrameFullPathWide();

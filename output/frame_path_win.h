// Full paths of files in the current directory, the program's folder, as the desktop is told
// them (frame_path.h): nothing when the system cannot give one or it does not fit in 260
// characters with its terminator.
#pragma once

#include <optional>
#include <string>

// The finished frame's, "current.bmp".
std::optional<std::u16string> FrameFullPathWide();

// Another file's beside it, named in UTF-16.
std::optional<std::u16string> FullPathBesideFrame(const std::u16string& name);

#include "output/frame_path_win.h"

#include <windows.h>

#include "output/frame_path.h"

namespace {

constexpr wchar_t kWideFrameFileName[] = L"current.bmp";

// The wide characters of the system are UTF-16 code units, as the portable code holds them.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

}  // namespace

std::optional<std::u16string> FrameFullPathWide() {
    wchar_t path[kFramePathCapacity] = {};
    const DWORD length = GetFullPathNameW(kWideFrameFileName, kFramePathCapacity, path, nullptr);
    if (!FullPathFits(length)) {
        return std::nullopt;
    }
    return std::u16string(reinterpret_cast<const char16_t*>(path), length);
}

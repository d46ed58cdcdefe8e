#include "output/frame_path_win.h"

#include <windows.h>

#include "framework/wide_text_win.h"
#include "output/frame_path.h"

std::optional<std::u16string> FrameFullPathWide() {
    return FullPathBesideFrame(Utf16FromUtf8(kFrameFileName));
}

std::optional<std::u16string> FullPathBesideFrame(const std::u16string& name) {
    wchar_t path[kFramePathCapacity] = {};
    const DWORD length = GetFullPathNameW(WideOfUnits(name).c_str(), kFramePathCapacity, path, nullptr);
    if (!FullPathFits(length)) {
        return std::nullopt;
    }
    return UnitsOfWide(std::wstring_view(path, length));
}

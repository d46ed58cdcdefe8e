// Between std::filesystem paths and the program's 8-bit path text (UTF-8; WTF-8 on Windows).
// On Windows path::string() and a path made from a narrow string go through the ANSI code page,
// which lacks most of the world's letters; these two go through UTF-8 on every system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path PathOf(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

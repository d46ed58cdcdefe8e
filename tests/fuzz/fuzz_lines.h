// Fuzz inputs of the text targets are read line by line.
#pragma once

#include <string_view>

// The first line of text (without its '\n'), which it takes away.
inline std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

#include "settings/multi_string.h"

#include <algorithm>
#include <cstring>

bool IsClosedMultiString(std::span<const std::uint8_t> data) {
    const std::size_t length = data.size();
    return length >= 1 && data[length - 1] == 0 && (length == 1 || data[length - 2] == 0);
}

std::vector<std::string> SplitMultiString(std::span<const std::uint8_t> data) {
    std::vector<std::string> entries;
    auto entryStart = data.begin();
    while (entryStart != data.end() && *entryStart != 0) {
        const auto entryEnd = std::find(entryStart, data.end(), std::uint8_t{0});
        if (entryEnd == data.end()) {
            break;
        }
        entries.emplace_back(entryStart, entryEnd);
        entryStart = entryEnd + 1;
    }
    return entries;
}

std::vector<std::uint8_t> PackMultiString(const std::vector<std::string>& entries) {
    std::vector<std::uint8_t> packed;
    std::size_t room = kMultiStringBufferSize - 1;
    for (const std::string& entry : entries) {
        const std::size_t length = std::strlen(entry.c_str());
        if (length + 1 > room) {
            break;
        }
        packed.insert(packed.end(), entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(length));
        packed.push_back(0);
        room -= length + 1;
    }
    packed.push_back(0);
    return packed;
}

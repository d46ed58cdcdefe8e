#include "clouds/sharp_map_sources.h"

#include <array>

namespace {

struct MonthNames {
    const char* name;
    const char* record;
};

// The older host files each month of the series under a record of its own.
constexpr std::array<MonthNames, 12> kMonths = {{
    {"january", "73580"},
    {"february", "73605"},
    {"march", "73630"},
    {"april", "73655"},
    {"may", "73701"},
    {"june", "73726"},
    {"july", "73751"},
    {"august", "73776"},
    {"september", "73801"},
    {"october", "73826"},
    {"november", "73884"},
    {"december", "73909"},
}};

}  // namespace

std::string SharpMapAddress(std::string_view pattern, int month) {
    const std::size_t index = std::size_t(((month - 1) % 12 + 12) % 12);
    const MonthNames& names = kMonths[index];
    const char digits[] = {char('0' + (index + 1) / 10), char('0' + (index + 1) % 10), '\0'};
    const std::array<std::pair<std::string_view, std::string_view>, 3> placeholders = {{
        {"{MM}", digits},
        {"{month}", names.name},
        {"{record}", names.record},
    }};
    std::string address;
    std::size_t at = 0;
    while (at < pattern.size()) {
        bool replaced = false;
        for (const auto& [placeholder, value] : placeholders) {
            if (pattern.substr(at, placeholder.size()) == placeholder) {
                address += value;
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            address += pattern[at++];
        }
    }
    return address;
}

std::vector<std::string> SharpMapAddresses(const std::vector<std::string>& patterns, int month) {
    std::vector<std::string> addresses;
    addresses.reserve(patterns.size());
    for (const std::string& pattern : patterns) {
        addresses.push_back(SharpMapAddress(pattern, month));
    }
    return addresses;
}

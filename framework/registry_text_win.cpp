#include "framework/registry_text_win.h"

#include <vector>

namespace {

// The longest text read: a path of the longest form Windows takes (32,767 characters) and its
// terminator. A longer value is none that the program or the desktop stored.
constexpr DWORD kLongestTextBytes = 32768 * sizeof(wchar_t);

}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > kLongestTextBytes ||
        size % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    // One unit more than the value, so that text stored without its terminator ends too.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        // Changed by someone else between the two reads: read as missing rather than guessed at.
        return std::nullopt;
    }
    return std::wstring(text.data());
}

bool WriteRegistryText(HKEY key, const wchar_t* name, std::wstring_view text) {
    const std::wstring terminated(text);
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
                          static_cast<DWORD>((terminated.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

#include "tests/output/saved_desktop_wallpaper_win.h"

#include <algorithm>
#include <array>

namespace {

struct SavedValue {
    const wchar_t* key;
    const wchar_t* name;
};

constexpr wchar_t kDesktopKeyPath[] = L"Control Panel\\Desktop";
constexpr wchar_t kProgramKeyPath[] = L"SOFTWARE\\Orbiscape";
constexpr std::array<SavedValue, 6> kSavedValues = {{
    {kDesktopKeyPath, L"TileWallpaper"},
    {kDesktopKeyPath, L"WallpaperStyle"},
    {kDesktopKeyPath, L"Wallpaper"},
    {kProgramKeyPath, L"UserWallpaper"},
    {kProgramKeyPath, L"UserWallpaperStyle"},
    {kProgramKeyPath, L"UserTileWallpaper"},
}};

// The bytes of a value as the wide functions store them, so that any text comes back whole.
std::optional<DesktopValue> ReadRawValue(const SavedValue& saved) {
    DesktopValue value;
    DWORD length = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, saved.key, saved.name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     nullptr, &length) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(length);
    if (RegGetValueW(HKEY_CURRENT_USER, saved.key, saved.name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.bytes.data(), &length) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(length);
    return value;
}

// A value that was not there is deleted, without making its key.
void WriteRawValue(const SavedValue& saved, const std::optional<DesktopValue>& value) {
    HKEY key = nullptr;
    const LSTATUS opened = value ? RegCreateKeyExW(HKEY_CURRENT_USER, saved.key, 0, nullptr,
                                                   REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr)
                                 : RegOpenKeyExW(HKEY_CURRENT_USER, saved.key, 0, KEY_WRITE, &key);
    if (opened != ERROR_SUCCESS) {
        return;
    }
    if (value) {
        RegSetValueExW(key, saved.name, 0, value->type, value->bytes.data(),
                       static_cast<DWORD>(value->bytes.size()));
    } else {
        RegDeleteValueW(key, saved.name);
    }
    RegCloseKey(key);
}

}  // namespace

std::optional<DesktopValue> ReadDesktopValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DesktopValue value;
    DWORD length = 0;
    LSTATUS status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &length);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(length);
        status = RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &length);
        value.bytes.resize(length);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

bool WriteDesktopValue(const char* name, const std::optional<DesktopValue>& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return false;
    }
    if (value) {
        RegSetValueExA(key, name, 0, value->type, value->bytes.data(),
                       static_cast<DWORD>(value->bytes.size()));
    } else {
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
    return true;
}

std::optional<DesktopValue> ReadUserValue(const wchar_t* key, const wchar_t* name) {
    return ReadRawValue({key, name});
}

std::optional<std::wstring> ReadUserText(const wchar_t* key, const wchar_t* name) {
    const std::optional<DesktopValue> value = ReadRawValue({key, name});
    if (!value || value->type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring text(value->bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(value->bytes.begin(), value->bytes.begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(text.data()));
    return std::wstring(text.c_str());  // up to the terminator
}

std::wstring SessionWallpaper() {
    wchar_t path[MAX_PATH] = {};
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

bool ShowSessionWallpaper(const std::wstring& picture, UINT flags) {
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(picture.c_str()), flags) !=
           FALSE;
}

bool SamePath(const std::wstring& left, const std::wstring& right) {
    return CompareStringOrdinal(left.c_str(), -1, right.c_str(), -1, TRUE) == CSTR_EQUAL;
}

SavedDesktopWallpaper::SavedDesktopWallpaper() : sessionWallpaper_(SessionWallpaper()) {
    for (const SavedValue& saved : kSavedValues) {
        values_.push_back(ReadRawValue(saved));
    }
}

SavedDesktopWallpaper::~SavedDesktopWallpaper() {
    for (std::size_t i = 0; i < kSavedValues.size(); ++i) {
        WriteRawValue(kSavedValues[i], values_[i]);
    }
    ShowSessionWallpaper(sessionWallpaper_);
}

#include "tests/output/saved_desktop_wallpaper_win.h"

#include <array>

namespace {

constexpr const char* kDesktopKeyPath = "Control Panel\\Desktop";
constexpr std::array<const char*, 3> kWallpaperValues = {"TileWallpaper", "WallpaperStyle", "Wallpaper"};

}  // namespace

std::optional<DesktopValue> ReadDesktopValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
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
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKeyPath, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
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

std::string SessionWallpaper() {
    char path[MAX_PATH] = {};
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    return path;
}

bool SamePath(const std::string& left, const std::string& right) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, left.c_str(), -1, right.c_str(), -1) ==
           CSTR_EQUAL;
}

SavedDesktopWallpaper::SavedDesktopWallpaper() : sessionWallpaper_(SessionWallpaper()) {
    for (const char* name : kWallpaperValues) {
        values_.push_back(ReadDesktopValue(name));
    }
}

SavedDesktopWallpaper::~SavedDesktopWallpaper() {
    for (std::size_t i = 0; i < kWallpaperValues.size(); ++i) {
        WriteDesktopValue(kWallpaperValues[i], values_[i]);
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, sessionWallpaper_.data(), 0);
}

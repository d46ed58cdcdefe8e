#include "output/wallpaper_win.h"

#include <windows.h>

#include "framework/registry_key_win.h"
#include "output/frame_path_win.h"

namespace {

constexpr const char* kDesktopKeyPath = "Control Panel\\Desktop";

// Stores a one-digit string value: the digit and its terminator, 2 bytes of REG_SZ.
bool WriteDigit(HKEY key, const char* name, char digit) {
    const char value[2] = {digit, '\0'};
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value) ==
           ERROR_SUCCESS;
}

// SPI_SETDESKWALLPAPER takes a non-const string even though it only reads it.
bool SetDesktopWallpaper(char* path, UINT flags) {
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, flags) != FALSE;
}

}  // namespace

int SetWallpaper(bool interactive) {
    std::optional<std::string> path = FrameFullPath();
    if (!path) {
        return 0;
    }
    bool tilingWritten = false;
    {
        OwnedRegistryKey desktop = OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKeyPath, KEY_WRITE);
        if (!desktop) {
            return 0;
        }
        // Written on every call and before the wallpaper is set, so that the new picture is
        // tiled from the start even if the user chose another style meanwhile.
        const bool tileWritten = WriteDigit(desktop.Get(), "TileWallpaper", '1');
        const bool styleWritten = WriteDigit(desktop.Get(), "WallpaperStyle", '0');
        tilingWritten = tileWritten && styleWritten;
    }
    // Timed redraws change the wallpaper for this logon only, without writing the profile or
    // broadcasting to every program each minute; an apply stores it and tells everyone.
    const UINT flags = interactive ? SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE : 0;
    // The fresh picture is set even when a tiling value could not be written: the user sees
    // the current Earth, only perhaps placed by the style the desktop had.
    const bool wallpaperSet = SetDesktopWallpaper(path->data(), flags);
    return tilingWritten && wallpaperSet ? 1 : 0;
}

int ClearWallpaper() {
    bool tilingWritten = false;
    {
        OwnedRegistryKey desktop = OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKeyPath, KEY_WRITE);
        if (!desktop) {
            return 0;
        }
        tilingWritten = WriteDigit(desktop.Get(), "TileWallpaper", '0');
    }
    char noWallpaper[] = "";
    const bool wallpaperCleared =
        SetDesktopWallpaper(noWallpaper, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    return tilingWritten && wallpaperCleared ? 1 : 0;
}

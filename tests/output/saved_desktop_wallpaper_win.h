// What the wallpaper tests read and put back of the desktop: the wallpaper values under
// Control Panel\Desktop and the wallpaper the session shows.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct DesktopValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// The value as stored, or nothing when the key or the value is missing.
std::optional<DesktopValue> ReadDesktopValue(const char* name);
// Stores the value, or deletes it when there is none; false when the key could not be opened.
bool WriteDesktopValue(const char* name, const std::optional<DesktopValue>& value);

// The file the session's desktop shows, "" for none.
std::string SessionWallpaper();
// Windows paths compare without regard to case.
bool SamePath(const std::string& left, const std::string& right);

// Keeps "TileWallpaper", "WallpaperStyle", "Wallpaper" and the session's wallpaper as they were
// when it was made, and puts them back when it goes.
class SavedDesktopWallpaper {
  public:
    SavedDesktopWallpaper();
    ~SavedDesktopWallpaper();
    SavedDesktopWallpaper(const SavedDesktopWallpaper&) = delete;
    SavedDesktopWallpaper& operator=(const SavedDesktopWallpaper&) = delete;

  private:
    std::vector<std::optional<DesktopValue>> values_;
    std::string sessionWallpaper_;
};

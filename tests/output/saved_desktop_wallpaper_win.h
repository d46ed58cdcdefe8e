// What the wallpaper tests read and put back of the desktop: the wallpaper values under
// Control Panel\Desktop, the wallpaper the session shows, and the user's wallpaper that the
// program remembers under its own key.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct DesktopValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// The value as stored, read through the narrow functions (text in the ANSI code page), or
// nothing when the key or the value is missing.
std::optional<DesktopValue> ReadDesktopValue(const char* name);
// Stores the value, or deletes it when there is none; false when the key could not be opened.
bool WriteDesktopValue(const char* name, const std::optional<DesktopValue>& value);

// A value under HKEY_CURRENT_USER as stored, read through the wide functions; nothing when it is
// missing.
std::optional<DesktopValue> ReadUserValue(const wchar_t* key, const wchar_t* name);
// The same for a REG_SZ value, whose text comes back exactly as stored; nothing when it is
// missing or of another type.
std::optional<std::wstring> ReadUserText(const wchar_t* key, const wchar_t* name);

// The file the session's desktop shows, "" for none.
std::wstring SessionWallpaper();
// Shows picture on the session's desktop ("" for none); flags as SystemParametersInfoW takes.
bool ShowSessionWallpaper(const std::wstring& picture, UINT flags = 0);
// Windows paths compare without regard to case.
bool SamePath(const std::wstring& left, const std::wstring& right);

// Keeps "TileWallpaper", "WallpaperStyle", "Wallpaper", the session's wallpaper and the
// program's remembered user wallpaper as they were when it was made, and puts them back when it
// goes.
class SavedDesktopWallpaper {
  public:
    SavedDesktopWallpaper();
    ~SavedDesktopWallpaper();
    SavedDesktopWallpaper(const SavedDesktopWallpaper&) = delete;
    SavedDesktopWallpaper& operator=(const SavedDesktopWallpaper&) = delete;

  private:
    std::vector<std::optional<DesktopValue>> values_;
    std::wstring sessionWallpaper_;
};

// Where the desktop keeps the wallpaper's placement: the key Control Panel\Desktop under
// HKEY_CURRENT_USER, whose "WallpaperStyle" and "TileWallpaper" say how the picture is laid out.
#pragma once

inline constexpr wchar_t kDesktopKeyPath[] = L"Control Panel\\Desktop";
inline constexpr wchar_t kWallpaperStyleValue[] = L"WallpaperStyle";
inline constexpr wchar_t kTileWallpaperValue[] = L"TileWallpaper";

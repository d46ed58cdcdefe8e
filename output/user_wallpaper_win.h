// The user's own wallpaper, kept while the program's frame replaces it. When the frame takes the
// place of a wallpaper that is not the frame, that wallpaper (its picture and the two placement
// values under Control Panel\Desktop) is written under the program's key, so that the frame's
// removal can put it back. Every text goes through the wide functions, since the
// user's picture usually lies in their own profile, whose folder may be named in any alphabet.
#pragma once

#include <optional>
#include <string>

struct UserWallpaper {
    std::wstring picture;                // "" for none
    std::optional<std::wstring> style;   // "WallpaperStyle", when the desktop had one
    std::optional<std::wstring> tiling;  // "TileWallpaper", when the desktop had one
};

// The picture that the session's desktop shows now; "" for none, and when it cannot be read.
std::wstring ShownWallpaperPicture();

// Remembers picture as the user's wallpaper, with the desktop's placement values as they are
// now, in place of any wallpaper remembered before. False when it could not all be stored.
bool RememberUserWallpaper(const std::wstring& picture);

// The remembered wallpaper; nothing when none is (or only part of one is).
std::optional<UserWallpaper> RememberedUserWallpaper();

// Drops the remembered wallpaper.
void ForgetUserWallpaper();

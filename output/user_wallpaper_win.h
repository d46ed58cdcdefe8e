// The user's own wallpaper, kept while the program's frame replaces it (the rules are in
// user_wallpaper.h). When the frame takes the place of a wallpaper that the user chose, that
// wallpaper (its picture and the two placement values under Control Panel\Desktop) is written
// under the program's key, so that the frame's removal can put it back. Every text goes through
// the wide functions, since the user's picture usually lies in their own profile, whose folder
// may be named in any alphabet.
#pragma once

#include <optional>
#include <string>

#include "output/user_wallpaper.h"

// The picture that the session's desktop shows now; "" for none, and when it cannot be read.
std::wstring ShownWallpaperPicture();

// Remembers picture, the user's choice that the desktop shows now, with the desktop's placement
// values as they are now, in place of any wallpaper remembered before. A picture in Windows' own
// Themes folder, which Windows rewrites with every new wallpaper (the frame's included), is
// copied beside the program first, and the copy is remembered. False when it could not be
// remembered; the wallpaper remembered before then stays as it was.
bool RememberUserWallpaper(const std::wstring& picture);

// The remembered wallpaper; nothing when none is. A record of the three values that versions
// before the one-value record wrote is read too.
std::optional<UserWallpaper> RememberedUserWallpaper();

// Drops the remembered wallpaper.
void ForgetUserWallpaper();

// Deletes the copies of pictures kept beside the program, except one that the desktop shows.
void RemoveUnshownAsideCopies();

// The rules behind the user's own wallpaper, which the program keeps while its frame replaces it
// (user_wallpaper_win.h).
//
// Which pictures are the user's. A copy of the program unpacked or installed in another folder
// leaves its own frame on the desktop, and the frame, from whatever folder, is never the user's
// choice. It is told by its name, "current.bmp", and by the prepared day map "current-day.bmp"
// that every frame is drawn from, beside it; a copy of any version is recognised so.
//
// How the record is stored. The picture and both placement values are one registry value, a
// multi-string of "Name=Value" entries named after the desktop's own values, so that storing a
// new record replaces the old one in one step: a write that fails leaves the old record whole.
// A placement value that the desktop did not have has no entry, and its absence is put back.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct UserWallpaper {
    std::u16string picture;                // "" for none
    std::optional<std::u16string> style;   // "WallpaperStyle", when the desktop had one
    std::optional<std::u16string> tiling;  // "TileWallpaper", when the desktop had one
    bool operator==(const UserWallpaper&) const = default;
};

// The stored form: every entry followed by its terminator, and one more closing the list.
std::u16string WallpaperRecordUnits(const UserWallpaper& wallpaper);

// The record in stored form, read up to the first empty entry; a run at the end that no
// terminator closes is not an entry. Nothing when it is not a record: no picture entry, an entry
// twice, or an entry without "=". Entries of other names (a later version's) are passed over.
std::optional<UserWallpaper> ParseWallpaperRecord(std::u16string_view units);

// Whether picture is some copy's frame: named "current.bmp", letter case aside, with a file
// "current-day.bmp" beside it, as hasFile (given a full path) tells.
bool IsProgramFrame(std::u16string_view picture, const std::function<bool(const std::u16string&)>& hasFile);

// Whether path lies inside folder (at any depth), letter case aside; a folder given with or
// without its closing separator.
bool LiesInFolder(std::u16string_view path, std::u16string_view folder);

// The name of the copy of a picture that is kept beside the program: "user-wallpaper" with the
// picture's extension, or ".jpg", the form Windows writes its own copies in, when it has none.
std::u16string AsideWallpaperName(std::u16string_view picture);

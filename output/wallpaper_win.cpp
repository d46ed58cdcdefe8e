#include "output/wallpaper_win.h"

#include <windows.h>

#include <optional>
#include <string>

#include "framework/registry_key_win.h"
#include "framework/registry_text_win.h"
#include "framework/wide_text_win.h"
#include "output/desktop_item.h"
#include "output/desktop_key_win.h"
#include "output/frame_path_win.h"
#include "output/user_wallpaper_win.h"

namespace {

constexpr UINT kStoreAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;

// SPI_SETDESKWALLPAPER takes a non-const string even though it only reads it.
bool SetDesktopWallpaper(const std::wstring& picture, UINT flags) {
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(picture.c_str()), flags) !=
           FALSE;
}

std::optional<std::wstring> FramePath() {
    const std::optional<std::u16string> path = FrameFullPathWide();
    if (!path) {
        return std::nullopt;
    }
    return WideOfUnits(*path);
}

bool IsFrame(const std::wstring& picture, const std::wstring& frame) {
    return SamePathIgnoringCase(UnitsOfWide(picture), UnitsOfWide(frame));
}

bool PictureExists(const std::wstring& picture) {
    const DWORD attributes = GetFileAttributesW(picture.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A wallpaper that names a file no longer there: it shows nothing, and could never be brought
// back.
bool PictureGone(const std::wstring& picture) {
    return !picture.empty() && !PictureExists(picture);
}

// Whether the desktop shows a wallpaper that the user chose: neither this program's frame nor
// another copy's, nor a picture that is gone. No wallpaper at all is a choice too.
bool IsUsersChoice(const std::wstring& shown, const std::wstring& frame) {
    const auto hasFile = [](const std::u16string& path) { return PictureExists(WideOfUnits(path)); };
    return !IsFrame(shown, frame) && !IsProgramFrame(UnitsOfWide(shown), hasFile) && !PictureGone(shown);
}

OwnedRegistryKey OpenDesktopKey() {
    return OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKeyPath, KEY_WRITE);
}

// Writes the placement values that are given; false when a write fails.
bool WritePlacement(HKEY desktop, const std::optional<std::wstring>& tiling,
                    const std::optional<std::wstring>& style) {
    const bool tilingWritten = !tiling || WriteRegistryText(desktop, kTileWallpaperValue, *tiling);
    const bool styleWritten = !style || WriteRegistryText(desktop, kWallpaperStyleValue, *style);
    return tilingWritten && styleWritten;
}

// Puts a remembered placement value back as it was: the text it held, or no value at all, which
// Windows reads as its default (centred, not tiled).
void RestorePlacementValue(HKEY desktop, const wchar_t* name, const std::optional<std::u16string>& text) {
    if (text) {
        WriteRegistryText(desktop, name, WideOfUnits(*text));
    } else {
        RegDeleteValueW(desktop, name);
    }
}

// The user's remembered wallpaper back in place of the frame, stored and told to every program;
// false when there is none to put back, its picture is gone, or the desktop refused it.
bool PutBackUserWallpaper() {
    const std::optional<UserWallpaper> user = RememberedUserWallpaper();
    if (!user || user->picture.empty() || !PictureExists(WideOfUnits(user->picture))) {
        return false;
    }
    if (const OwnedRegistryKey desktop = OpenDesktopKey()) {
        RestorePlacementValue(desktop.Get(), kTileWallpaperValue, user->tiling);
        RestorePlacementValue(desktop.Get(), kWallpaperStyleValue, user->style);
    }
    return SetDesktopWallpaper(WideOfUnits(user->picture), kStoreAndBroadcast);
}

}  // namespace

bool SetWallpaper(bool interactive) {
    const std::optional<std::wstring> frame = FramePath();
    if (!frame) {
        return false;
    }
    // The user's own choice is kept to be put back when the frame goes. A frame never is,
    // whichever copy of the program left it showing, and once a choice is remembered it stays
    // until the user makes another.
    if (const std::wstring shown = ShownWallpaperPicture(); IsUsersChoice(shown, *frame)) {
        RememberUserWallpaper(shown);
    }
    bool tilingWritten = false;
    {
        const OwnedRegistryKey desktop = OpenDesktopKey();
        if (!desktop) {
            return false;
        }
        // Written on every call and before the wallpaper is set, so that the new picture is
        // tiled from the start even if the user chose another style meanwhile.
        tilingWritten = WritePlacement(desktop.Get(), L"1", L"0");
    }
    // Timed redraws change the wallpaper for this logon only, without writing the profile or
    // broadcasting to every program each minute; an apply stores it and tells everyone.
    const UINT flags = interactive ? kStoreAndBroadcast : 0;
    // The fresh picture is set even when a tiling value could not be written: the user sees
    // the current Earth, only perhaps placed by the style the desktop had.
    const bool wallpaperSet = SetDesktopWallpaper(*frame, flags);
    return tilingWritten && wallpaperSet;
}

bool ClearWallpaper() {
    const std::optional<std::wstring> frame = FramePath();
    if (!frame) {
        return false;
    }
    // Only the frame is taken away. Any other wallpaper stays: the user chose it since, or
    // another copy of the program shows its own frame, which that copy takes away itself. A
    // picture that is gone (the frame of a copy whose folder was deleted, say) gives way to the
    // remembered wallpaper, and only to it: with none to put back it stays as it is, since it
    // may lie on a drive that comes back.
    const std::wstring shown = ShownWallpaperPicture();
    const bool frameShown = IsFrame(shown, *frame);
    if (!frameShown && !PictureGone(shown)) {
        return true;
    }
    if (PutBackUserWallpaper()) {
        ForgetUserWallpaper();
        return true;
    }
    if (!frameShown) {
        return true;
    }
    bool tilingWritten = false;
    {
        const OwnedRegistryKey desktop = OpenDesktopKey();
        if (!desktop) {
            return false;
        }
        tilingWritten = WritePlacement(desktop.Get(), L"0", std::nullopt);
    }
    const bool wallpaperCleared = SetDesktopWallpaper(std::wstring(), kStoreAndBroadcast);
    return tilingWritten && wallpaperCleared;
}

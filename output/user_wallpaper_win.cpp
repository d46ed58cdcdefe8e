#include "output/user_wallpaper_win.h"

#include <windows.h>

#include "framework/program_key.h"
#include "framework/registry_key_win.h"
#include "framework/registry_text_win.h"
#include "output/desktop_key_win.h"

namespace {

// Under the program's key. The picture is written last and read first: a record without it was
// cut short and counts as none.
constexpr wchar_t kPictureValue[] = L"UserWallpaper";
constexpr wchar_t kStyleValue[] = L"UserWallpaperStyle";
constexpr wchar_t kTilingValue[] = L"UserTileWallpaper";

// Stores the value, or deletes it when there is none, so that no older value stays beside the
// new record.
bool StoreOptionalText(HKEY key, const wchar_t* name, const std::optional<std::wstring>& text) {
    if (text) {
        return WriteRegistryText(key, name, *text);
    }
    const LSTATUS status = RegDeleteValueW(key, name);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring ShownWallpaperPicture() {
    // The system's buffer for this request holds MAX_PATH characters.
    wchar_t picture[MAX_PATH] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, picture, 0)) {
        return std::wstring();
    }
    picture[MAX_PATH - 1] = L'\0';
    return picture;
}

bool RememberUserWallpaper(const std::wstring& picture) {
    std::optional<std::wstring> style;
    std::optional<std::wstring> tiling;
    if (const OwnedRegistryKey desktop = OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKeyPath, KEY_READ)) {
        style = ReadRegistryText(desktop.Get(), kWallpaperStyleValue);
        tiling = ReadRegistryText(desktop.Get(), kTileWallpaperValue);
    }
    const OwnedRegistryKey program = CreateRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_WRITE);
    if (!program) {
        return false;
    }
    RegDeleteValueW(program.Get(), kPictureValue);
    const bool placementStored = StoreOptionalText(program.Get(), kStyleValue, style) &&
                                 StoreOptionalText(program.Get(), kTilingValue, tiling);
    return placementStored && WriteRegistryText(program.Get(), kPictureValue, picture);
}

std::optional<UserWallpaper> RememberedUserWallpaper() {
    const OwnedRegistryKey program = OpenRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_READ);
    if (!program) {
        return std::nullopt;
    }
    std::optional<std::wstring> picture = ReadRegistryText(program.Get(), kPictureValue);
    if (!picture) {
        return std::nullopt;
    }
    return UserWallpaper{std::move(*picture), ReadRegistryText(program.Get(), kStyleValue),
                         ReadRegistryText(program.Get(), kTilingValue)};
}

void ForgetUserWallpaper() {
    const OwnedRegistryKey program = OpenRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_WRITE);
    if (!program) {
        return;
    }
    for (const wchar_t* name : {kPictureValue, kStyleValue, kTilingValue}) {
        RegDeleteValueW(program.Get(), name);
    }
}

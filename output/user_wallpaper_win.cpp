#include "output/user_wallpaper_win.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "framework/owned_handle_win.h"
#include "framework/program_key.h"
#include "framework/registry_key_win.h"
#include "framework/registry_text_win.h"
#include "framework/wide_text_win.h"
#include "image/file_io.h"
#include "output/desktop_item.h"
#include "output/desktop_key_win.h"
#include "output/frame_path_win.h"

namespace {

// Under the program's key: the record, a REG_MULTI_SZ. Versions before it kept the picture under
// the same name as a REG_SZ, and the placement values under two names of their own.
constexpr wchar_t kRecordValue[] = L"UserWallpaper";
constexpr wchar_t kLegacyStyleValue[] = L"UserWallpaperStyle";
constexpr wchar_t kLegacyTilingValue[] = L"UserTileWallpaper";

// A record holds three paths at most, each of the longest form Windows takes.
constexpr DWORD kLongestRecordBytes = 3 * 32768 * sizeof(wchar_t);
// Windows' own copies of a wallpaper are pictures of the screen's size; nothing larger is copied.
constexpr std::uint64_t kLargestAsideCopyBytes = std::uint64_t{256} << 20;
constexpr wchar_t kAsideCopyPattern[] = L"user-wallpaper.*";

std::optional<std::u16string> OptionalUnits(const std::optional<std::wstring>& wide) {
    return wide ? std::optional(UnitsOfWide(*wide)) : std::nullopt;
}

// Where Windows keeps the pictures it shows itself: the copy of the wallpaper it draws from
// (TranscodedWallpaper), and the slideshow's and the picture service's current pictures.
std::optional<std::wstring> ThemesFolder() {
    PWSTR roaming = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming);
    std::optional<std::wstring> folder;
    if (SUCCEEDED(found) && roaming != nullptr) {
        folder = std::wstring(roaming) + L"\\Microsoft\\Windows\\Themes";
    }
    CoTaskMemFree(roaming);
    return folder;
}

// A copy of picture beside the program, complete before it takes its name; its full path, or
// nothing when it could not be made.
std::optional<std::wstring> CopyAside(const std::wstring& picture) {
    const std::u16string name = AsideWallpaperName(UnitsOfWide(picture));
    const std::optional<std::u16string> path = FullPathBesideFrame(name);
    if (!path) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(Utf8FromWide(picture).c_str(), kLargestAsideCopyBytes);
    if (!bytes || !ReplaceFileContents(Utf8FromUtf16(name).c_str(), {*bytes})) {
        return std::nullopt;
    }
    return WideOfUnits(*path);
}

std::optional<std::u16string> ReadRecordUnits(HKEY key) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, kRecordValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || size > kLongestRecordBytes || size % sizeof(char16_t) != 0) {
        return std::nullopt;
    }
    std::u16string units(size / sizeof(char16_t), u'\0');
    DWORD read = size;
    if (RegQueryValueExW(key, kRecordValue, nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &read) !=
            ERROR_SUCCESS ||
        type != REG_MULTI_SZ) {
        return std::nullopt;
    }
    units.resize(read / sizeof(char16_t));
    return units;
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
    UserWallpaper wallpaper{UnitsOfWide(picture), std::nullopt, std::nullopt};
    if (const OwnedRegistryKey desktop = OpenRegistryKey(HKEY_CURRENT_USER, kDesktopKeyPath, KEY_READ)) {
        wallpaper.style = OptionalUnits(ReadRegistryText(desktop.Get(), kWallpaperStyleValue));
        wallpaper.tiling = OptionalUnits(ReadRegistryText(desktop.Get(), kTileWallpaperValue));
    }
    // Once the frame is set, Windows rewrites its copy with the frame: only a copy of our own
    // keeps the user's picture.
    if (const std::optional<std::wstring> themes = ThemesFolder();
        themes && LiesInFolder(wallpaper.picture, UnitsOfWide(*themes))) {
        const std::optional<std::wstring> copy = CopyAside(picture);
        if (!copy) {
            return false;
        }
        wallpaper.picture = UnitsOfWide(*copy);
    }
    const OwnedRegistryKey program = CreateRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_WRITE);
    if (!program) {
        return false;
    }
    // One value, written in one step: the record before stays whole until this one is.
    const std::u16string units = WallpaperRecordUnits(wallpaper);
    if (RegSetValueExW(program.Get(), kRecordValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(units.data()),
                       static_cast<DWORD>(units.size() * sizeof(char16_t))) != ERROR_SUCCESS) {
        return false;
    }
    RegDeleteValueW(program.Get(), kLegacyStyleValue);
    RegDeleteValueW(program.Get(), kLegacyTilingValue);
    return true;
}

std::optional<UserWallpaper> RememberedUserWallpaper() {
    const OwnedRegistryKey program = OpenRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_READ);
    if (!program) {
        return std::nullopt;
    }
    if (const std::optional<std::u16string> units = ReadRecordUnits(program.Get())) {
        return ParseWallpaperRecord(*units);
    }
    // The three values of earlier versions, the picture written last and read first: a record
    // without it was cut short and counts as none.
    const std::optional<std::wstring> picture = ReadRegistryText(program.Get(), kRecordValue);
    if (!picture) {
        return std::nullopt;
    }
    return UserWallpaper{UnitsOfWide(*picture), OptionalUnits(ReadRegistryText(program.Get(), kLegacyStyleValue)),
                         OptionalUnits(ReadRegistryText(program.Get(), kLegacyTilingValue))};
}

void ForgetUserWallpaper() {
    const OwnedRegistryKey program = OpenRegistryKey(HKEY_CURRENT_USER, kProgramKeyPathWide, KEY_WRITE);
    if (!program) {
        return;
    }
    for (const wchar_t* name : {kRecordValue, kLegacyStyleValue, kLegacyTilingValue}) {
        RegDeleteValueW(program.Get(), name);
    }
}

void RemoveUnshownAsideCopies() {
    const std::u16string shown = UnitsOfWide(ShownWallpaperPicture());
    WIN32_FIND_DATAW found;
    const OwnedFindHandle search(FindFirstFileW(kAsideCopyPattern, &found));
    if (!search) {
        return;
    }
    do {
        const std::optional<std::u16string> path = FullPathBesideFrame(UnitsOfWide(found.cFileName));
        if (path && !SamePathIgnoringCase(*path, shown)) {
            DeleteFileW(found.cFileName);
        }
    } while (FindNextFileW(search.Get(), &found));
}

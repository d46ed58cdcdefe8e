#include "output/user_wallpaper.h"

#include <array>

#include "framework/wide_text.h"
#include "output/desktop_item.h"
#include "output/frame_path.h"

namespace {

constexpr char16_t kPictureEntry[] = u"Wallpaper";
constexpr char16_t kStyleEntry[] = u"WallpaperStyle";
constexpr char16_t kTilingEntry[] = u"TileWallpaper";
constexpr char16_t kAsideStem[] = u"user-wallpaper";
constexpr char16_t kAsideDefaultExtension[] = u".jpg";

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// Where the last component of path begins.
std::size_t NameStart(std::u16string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return start;
}

void AppendEntry(std::u16string& units, std::u16string_view name, std::u16string_view value) {
    units.append(name);
    units.push_back(u'=');
    units.append(value);
    units.push_back(u'\0');
}

}  // namespace

std::u16string WallpaperRecordUnits(const UserWallpaper& wallpaper) {
    std::u16string units;
    AppendEntry(units, kPictureEntry, wallpaper.picture);
    if (wallpaper.style) {
        AppendEntry(units, kStyleEntry, *wallpaper.style);
    }
    if (wallpaper.tiling) {
        AppendEntry(units, kTilingEntry, *wallpaper.tiling);
    }
    units.push_back(u'\0');
    return units;
}

std::optional<UserWallpaper> ParseWallpaperRecord(std::u16string_view units) {
    std::optional<std::u16string> picture;
    UserWallpaper wallpaper;
    const std::array<std::pair<std::u16string_view, std::optional<std::u16string>*>, 3> fields = {{
        {kPictureEntry, &picture},
        {kStyleEntry, &wallpaper.style},
        {kTilingEntry, &wallpaper.tiling},
    }};
    for (std::size_t end = units.find(u'\0'); end != std::u16string_view::npos && end > 0;
         end = units.find(u'\0')) {
        const std::u16string_view entry = units.substr(0, end);
        units.remove_prefix(end + 1);
        const std::size_t equals = entry.find(u'=');
        if (equals == std::u16string_view::npos) {
            return std::nullopt;
        }
        for (const auto& [name, field] : fields) {
            if (entry.substr(0, equals) == name) {
                if (field->has_value()) {
                    return std::nullopt;
                }
                *field = std::u16string(entry.substr(equals + 1));
            }
        }
    }
    if (!picture) {
        return std::nullopt;
    }
    wallpaper.picture = std::move(*picture);
    return wallpaper;
}

bool IsProgramFrame(std::u16string_view picture, const std::function<bool(const std::u16string&)>& hasFile) {
    const std::size_t nameStart = NameStart(picture);
    if (nameStart == 0 || !SamePathIgnoringCase(picture.substr(nameStart), Utf16FromUtf8(kFrameFileName))) {
        return false;
    }
    return hasFile(std::u16string(picture.substr(0, nameStart)) + Utf16FromUtf8(kFrameDayMapFileName));
}

bool LiesInFolder(std::u16string_view path, std::u16string_view folder) {
    while (!folder.empty() && IsSeparator(folder.back())) {
        folder.remove_suffix(1);
    }
    return !folder.empty() && path.size() > folder.size() + 1 && IsSeparator(path[folder.size()]) &&
           SamePathIgnoringCase(path.substr(0, folder.size()), folder);
}

std::u16string AsideWallpaperName(std::u16string_view picture) {
    const std::u16string_view name = picture.substr(NameStart(picture));
    const std::size_t dot = name.rfind(u'.');
    // A name that only begins with a dot has no extension.
    const bool hasExtension = dot != std::u16string_view::npos && dot > 0 && dot + 1 < name.size();
    return std::u16string(kAsideStem) + std::u16string(hasExtension ? name.substr(dot) : kAsideDefaultExtension);
}

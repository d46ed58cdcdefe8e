// The resource script as the program sees it at run time: this test program links the same
// resource object as the program, so a missing or renumbered resource, a menu item out of
// order, an icon file Windows cannot read, or a version record that disagrees fails here.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/gdi_owners_win.h"
#include "resources/resource_ids.h"

namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// The bytes of a resource of this program, or nothing.
std::string ResourceBytes(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(Module(), name, type);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(Module(), found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    return bytes != nullptr ? std::string(static_cast<const char*>(bytes), SizeofResource(Module(), found))
                            : std::string{};
}

// Owns an icon made by LoadImage without LR_SHARED.
class OwnedIcon {
  public:
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    ~OwnedIcon() {
        if (icon_ != nullptr) {
            DestroyIcon(icon_);
        }
    }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    HICON Get() const { return icon_; }

  private:
    HICON icon_;
};

// The colour bitmap's pixels of an icon, top row first, with alpha in the fourth byte.
std::vector<std::uint32_t> IconPixels(HICON icon, int size) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return {};
    }
    OwnedBitmap colour(info.hbmColor);
    OwnedBitmap mask(info.hbmMask);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = size;
    request.bmiHeader.biHeight = -size;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    OwnedWindowDc screen;
    if (!colour ||
        GetDIBits(screen.Get(), colour.Get(), 0, size, pixels.data(), &request, DIB_RGB_COLORS) != size) {
        return {};
    }
    return pixels;
}

TEST(Resources, TheGlobeIconHoldsFourSizesWithAlpha) {
    // The icon group's directory: 6 bytes of header, then 14 bytes an image.
    const std::string group =
        ResourceBytes(MAKEINTRESOURCEA(IDI_ORBISCAPE), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u);
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(group.at(i)); };
    const unsigned count = byteAt(4) | byteAt(5) << 8;
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::vector<int> sides;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 14 * i;
        EXPECT_EQ(byteAt(entry), byteAt(entry + 1)) << "square";
        EXPECT_EQ(byteAt(entry + 6) | byteAt(entry + 7) << 8, 32) << "32 bits per pixel";
        sides.push_back(byteAt(entry));
    }
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, (std::vector<int>{16, 24, 32, 48}));
}

TEST(Resources, TheGlobeIconLoadsAtTrayAndWindowSizes) {
    for (const int size : {16, 32}) {
        SCOPED_TRACE(size);
        const OwnedIcon icon(static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(IDI_ORBISCAPE), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ASSERT_NE(icon.Get(), nullptr);
        const std::vector<std::uint32_t> pixels = IconPixels(icon.Get(), size);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size));
        const auto alpha = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * size + x] >> 24; };
        // A disc: clear in the corners, solid in the middle, so the alpha channel survived.
        EXPECT_EQ(alpha(0, 0), 0u);
        EXPECT_EQ(alpha(size - 1, size - 1), 0u);
        EXPECT_EQ(alpha(size / 2, size / 2), 255u);
        EXPECT_EQ(alpha(size / 2, 1), 255u);
    }
    EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(IDI_ORBISCAPE)), nullptr);
}

struct ExpectedItem {
    UINT id;
    const char* text;  // nullptr for a separator
};

TEST(Resources, TheTrayMenuOffersItsCommandsInOrder) {
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const ExpectedItem expected[] = {
        {ID_OPTIONS, "&Options..."},
        {ID_CLOUD_UPDATES, "&Cloud updates..."},
        {0, nullptr},
        {ID_APP_ABOUT, "&About..."},
        {0, nullptr},
        {ID_APP_EXIT, "E&xit"},
    };
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(std::size(expected)));
    for (UINT position = 0; position < std::size(expected); ++position) {
        SCOPED_TRACE(position);
        char text[64] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof(text);
        ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &item));
        EXPECT_EQ(item.hSubMenu, nullptr);
        if (expected[position].text == nullptr) {
            EXPECT_TRUE(item.fType & MFT_SEPARATOR);
        } else {
            EXPECT_FALSE(item.fType & MFT_SEPARATOR);
            EXPECT_EQ(item.wID, expected[position].id);
            EXPECT_STREQ(text, expected[position].text);
        }
    }
    DestroyMenu(menu);
}

TEST(Resources, TheStringTableHoldsTheAboutItemText) {
    char text[64] = {};
    EXPECT_EQ(LoadStringA(Module(), IDS_ABOUT_ORBISCAPE, text, sizeof(text)), 19);
    EXPECT_STREQ(text, "&About Orbiscape...");
}

std::string VersionString(const std::vector<char>& record, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(record.data(), path.c_str(), &value, &length) || value == nullptr) {
        return "(missing)";
    }
    return static_cast<const char*>(value);
}

TEST(Resources, TheVersionRecordNamesVersionTwoPointOnePointOne) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, record.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 1u);
    EXPECT_EQ(fixed->dwFileVersionLS, 1u << 16);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionString(record, "FileVersion"), "2.1.1");
    EXPECT_EQ(VersionString(record, "ProductVersion"), "2.1.1");
    EXPECT_EQ(VersionString(record, "ProductName"), "Orbiscape");
    EXPECT_EQ(VersionString(record, "OriginalFilename"), "orbiscape.exe");
    EXPECT_NE(VersionString(record, "CompanyName"), "(missing)");
    EXPECT_NE(VersionString(record, "FileDescription"), "(missing)");
}

TEST(Resources, TheManifestBringsTheCommonControlsOfVersionSix) {
    // Through the manifest the loader takes the library from the side-by-side assembly of
    // version 6 instead of the system folder's version 5.
    HMODULE controls = LoadLibraryA("comctl32.dll");
    ASSERT_NE(controls, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(controls, path, MAX_PATH), 0u);
    std::string lowered(path);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(lowered.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
        << path;
    FreeLibrary(controls);
}

TEST(Resources, TheManifestDeclaresDpiAwareness) {
    // Wine reports every program as DPI-aware, so only the declaration itself can be checked.
    const std::string manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor, System</dpiAwareness>"), std::string::npos);
}

}  // namespace

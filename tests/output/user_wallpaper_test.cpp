// The rules behind the user's own wallpaper: its record's stored form, which pictures are some
// copy's frame, Windows' own folder of pictures, and the name of a copy kept aside.
#include "output/user_wallpaper.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace std::string_literals;

TEST(UserWallpaperTest, ARecordKeepsWhatTheDesktopHadAndNothingElse) {
    const UserWallpaper wallpapers[] = {
        {u"C:\\Users\\\u042E\u043B\u044F\\\u6D77 = sea.bmp", u"10", u"0"},
        {u"C:\\pictures\\centred.bmp", std::nullopt, std::nullopt},  // Windows' defaults, not stored
        {u"", u"2", std::nullopt},                                    // no wallpaper at all
    };
    for (const UserWallpaper& wallpaper : wallpapers) {
        EXPECT_EQ(ParseWallpaperRecord(WallpaperRecordUnits(wallpaper)), wallpaper);
    }
    EXPECT_EQ(WallpaperRecordUnits(wallpapers[1]), u"Wallpaper=C:\\pictures\\centred.bmp\0\0"s);

    // Another version's entries are passed over; what ends the list ends the record.
    EXPECT_EQ(ParseWallpaperRecord(u"Later=1\0Wallpaper=a.bmp\0TileWallpaper=1\0\0WallpaperStyle=2\0\0"s),
              (UserWallpaper{u"a.bmp", std::nullopt, u"1"}));
    EXPECT_EQ(ParseWallpaperRecord(u"Wallpaper=a.bmp\0WallpaperStyle=2"s),
              (UserWallpaper{u"a.bmp", std::nullopt, std::nullopt}));
    // Not a record.
    for (const std::u16string& damaged : {u""s, u"\0"s, u"WallpaperStyle=2\0\0"s, u"Wallpaper\0\0"s,
                                          u"Wallpaper=a\0Wallpaper=b\0\0"s, u"\0Wallpaper=a\0\0"s}) {
        EXPECT_FALSE(ParseWallpaperRecord(damaged)) << damaged.size();
    }
}

TEST(UserWallpaperTest, AFrameOfAnyCopyIsACurrentBmpBesideItsDayMap) {
    const std::set<std::u16string> files = {u"D:\\Old Orbiscape\\current-day.bmp",
                                            u"C:\\Users\\u\\Pictures\\current-day.bmp"};
    const auto hasFile = [&files](const std::u16string& path) { return files.count(path) == 1; };

    EXPECT_TRUE(IsProgramFrame(u"D:\\Old Orbiscape\\current.bmp", hasFile));
    EXPECT_TRUE(IsProgramFrame(u"D:\\Old Orbiscape\\CURRENT.BMP", hasFile));
    EXPECT_TRUE(IsProgramFrame(u"C:\\Users\\u\\Pictures\\current.bmp", hasFile));
    // Without its day map it is a picture like any other; so is any other name beside one.
    EXPECT_FALSE(IsProgramFrame(u"E:\\current.bmp", hasFile));
    EXPECT_FALSE(IsProgramFrame(u"D:\\Old Orbiscape\\current-day.bmp", hasFile));
    EXPECT_FALSE(IsProgramFrame(u"D:\\Old Orbiscape\\recurrent.bmp", hasFile));
    EXPECT_FALSE(IsProgramFrame(u"current.bmp", hasFile));
    EXPECT_FALSE(IsProgramFrame(u"", hasFile));
}

TEST(UserWallpaperTest, WindowsOwnPicturesAndTheCopyKeptAside) {
    constexpr char16_t themes[] = u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Themes";
    EXPECT_TRUE(LiesInFolder(u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Themes\\TranscodedWallpaper",
                             themes));
    EXPECT_TRUE(LiesInFolder(u"c:\\users\\U\\appdata\\roaming\\microsoft\\windows\\THEMES\\CachedFiles\\a.jpg",
                             std::u16string(themes) + u"\\"));
    EXPECT_FALSE(LiesInFolder(u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Themes", themes));
    EXPECT_FALSE(LiesInFolder(u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Themes2\\a.jpg", themes));
    EXPECT_FALSE(LiesInFolder(u"D:\\a.jpg", u""));

    EXPECT_EQ(AsideWallpaperName(u"C:\\x\\Themes\\TranscodedWallpaper"), u"user-wallpaper.jpg");
    EXPECT_EQ(AsideWallpaperName(u"C:\\x\\Themes\\CachedFiles\\CachedImage_1920_1080_POS4.png"),
              u"user-wallpaper.png");
    EXPECT_EQ(AsideWallpaperName(u"C:\\x.y\\Themes\\.hidden"), u"user-wallpaper.jpg");
    EXPECT_EQ(AsideWallpaperName(u"C:\\x.y\\Themes\\trailing."), u"user-wallpaper.jpg");
}

}  // namespace

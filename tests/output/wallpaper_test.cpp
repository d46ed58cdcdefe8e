// The wallpaper operations against the real (Wine) registry and desktop: what they write under
// Control Panel\Desktop, which file the desktop is told to show, the 260-character limit, and
// the user's own wallpaper, remembered under the program's key and put back. Every value a test
// touches is put back afterwards.
#include <windows.h>

// WinINet first: shlobj.h declares the Active Desktop only after it.
#include <wininet.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "image/dib_factory.h"
#include "output/active_desktop_win.h"
#include "output/user_wallpaper.h"
#include "output/user_wallpaper_win.h"
#include "output/wallpaper_win.h"
#include "output/wow64_win.h"
#include "tests/output/saved_desktop_wallpaper_win.h"

namespace {

DesktopValue DigitValue(char digit) {
    return DesktopValue{REG_SZ, {static_cast<BYTE>(digit), 0}};
}

DesktopValue TextValue(const std::string& text) {
    DesktopValue value{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
    value.bytes.push_back(0);
    return value;
}

std::string TextOf(const std::optional<DesktopValue>& value) {
    if (!value || value->type != REG_SZ || value->bytes.empty()) {
        return "<no string>";
    }
    return std::string(reinterpret_cast<const char*>(value->bytes.data()));
}

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kProgramKey[] = L"SOFTWARE\\Orbiscape";

std::wstring DesktopText(const wchar_t* name) {
    return ReadUserText(kDesktopKey, name).value_or(L"<no string>");
}
// The remembered wallpaper as stored: one multi-string value, whose picture and placement say
// exactly what the desktop had.
std::optional<UserWallpaper> Remembered() {
    const std::optional<DesktopValue> value = ReadUserValue(kProgramKey, L"UserWallpaper");
    if (!value || value->type != REG_MULTI_SZ) {
        return std::nullopt;
    }
    return ParseWallpaperRecord(std::u16string_view(reinterpret_cast<const char16_t*>(value->bytes.data()),
                                                    value->bytes.size() / sizeof(char16_t)));
}

UserWallpaper Expected(const std::wstring& picture, std::optional<std::u16string> style,
                       std::optional<std::u16string> tiling) {
    return {std::u16string(picture.begin(), picture.end()), std::move(style), std::move(tiling)};
}

// A 2 x 1 black bitmap file: file header, info header and one padded row of 24-bit pixels.
void WriteFrameFile(const std::filesystem::path& path) {
    const unsigned char file[] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                     // size 62, pixels at 54
        40,  0,   0,  0, 2, 0, 0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // 2 x 1, 24 bits
        8,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  // 8 bytes of pixels
        0,   0,   0,  0, 0, 0, 0, 0};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file), sizeof file);
    ASSERT_TRUE(out.good());
}

// Works in a scratch folder of its own, which becomes the current directory, and puts back the
// current directory, the desktop values and the session's wallpaper at the end.
class WallpaperTest : public testing::Test {
  protected:
    void SetUp() override {
        previousDirectory_ = std::filesystem::current_path();
        scratch_ = std::filesystem::temp_directory_path() /
                   ("orbiscape-wallpaper-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(scratch_);
        WriteFrameFile(scratch_ / "current.bmp");
        ASSERT_TRUE(SetCurrentDirectoryA(scratch_.string().c_str()));
        // The session starts without a wallpaper, and none is remembered.
        ASSERT_TRUE(ShowSessionWallpaper(L""));
        WriteDesktopValue("Wallpaper", TextValue(""));
        RemoveRememberedWallpaper();
    }

    static void RemoveRememberedWallpaper() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            for (const wchar_t* name : {L"UserWallpaper", L"UserWallpaperStyle", L"UserTileWallpaper"}) {
                RegDeleteValueW(key, name);
            }
            RegCloseKey(key);
        }
    }

    void TearDown() override {
        std::filesystem::current_path(previousDirectory_);
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }

    // Makes a folder below the scratch folder the current directory, with a copy of the frame
    // file in it where the path is short enough for one.
    void EnterDirectory(const std::filesystem::path& dir) {
        std::filesystem::create_directories(dir);
        CopyFileA((scratch_ / "current.bmp").string().c_str(), (dir / "current.bmp").string().c_str(), FALSE);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.string().c_str()));
    }

    // A folder below the scratch folder whose full path is exactly length characters long.
    std::filesystem::path DirectoryOfLength(std::size_t length) const {
        std::filesystem::path dir = scratch_;
        while (dir.string().size() < length) {
            const std::size_t room = length - dir.string().size() - 1;  // less the separator
            dir /= std::string(room > 100 ? 100 : room, 'd');
        }
        return dir;
    }

    std::wstring FramePath() const { return (std::filesystem::current_path() / "current.bmp").wstring(); }

    SavedDesktopWallpaper savedWallpaper_;
    std::filesystem::path previousDirectory_;
    std::filesystem::path scratch_;
};

TEST_F(WallpaperTest, InteractiveSetWritesTilingAndStoresTheFramesFullPath) {
    WriteDesktopValue("TileWallpaper", DigitValue('0'));
    WriteDesktopValue("WallpaperStyle", DigitValue('2'));

    EXPECT_TRUE(SetWallpaper(true));

    const std::optional<DesktopValue> tile = ReadDesktopValue("TileWallpaper");
    const std::optional<DesktopValue> style = ReadDesktopValue("WallpaperStyle");
    ASSERT_TRUE(tile && style);
    EXPECT_EQ(tile->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(tile->bytes, DigitValue('1').bytes);  // the digit and its terminator: 2 bytes
    EXPECT_EQ(style->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(style->bytes, DigitValue('0').bytes);
    EXPECT_PRED2(SamePath, DesktopText(L"Wallpaper"), FramePath());
    EXPECT_PRED2(SamePath, SessionWallpaper(), FramePath());
}

TEST_F(WallpaperTest, TimedSetChangesTheSessionsWallpaperAndTheTiling) {
    EXPECT_TRUE(SetWallpaper(false));

    EXPECT_PRED2(SamePath, SessionWallpaper(), FramePath());
    EXPECT_EQ(TextOf(ReadDesktopValue("TileWallpaper")), "1");
    EXPECT_EQ(TextOf(ReadDesktopValue("WallpaperStyle")), "0");
}

TEST_F(WallpaperTest, ClearTurnsTilingOffKeepsTheStyleAndLeavesNoWallpaper) {
    ASSERT_TRUE(SetWallpaper(true));
    WriteDesktopValue("WallpaperStyle", DigitValue('2'));

    EXPECT_TRUE(ClearWallpaper());

    const std::optional<DesktopValue> tile = ReadDesktopValue("TileWallpaper");
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(tile->bytes, DigitValue('0').bytes);
    EXPECT_EQ(ReadDesktopValue("WallpaperStyle")->bytes, DigitValue('2').bytes);
    EXPECT_EQ(SessionWallpaper(), L"");
}

TEST_F(WallpaperTest, FullPathOfTheFrameMustFitIn260Characters) {
    // "\current.bmp" adds 12 characters to the folder's path. A call that fails touches
    // nothing, so the tiling values set here tell whether it got past the path.
    WriteDesktopValue("TileWallpaper", DigitValue('0'));
    EnterDirectory(DirectoryOfLength(MAX_PATH - 1 - 12));
    ASSERT_EQ(FramePath().size(), static_cast<std::size_t>(MAX_PATH - 1));
    EXPECT_TRUE(SetWallpaper(false));
    EXPECT_EQ(TextOf(ReadDesktopValue("TileWallpaper")), "1");

    WriteDesktopValue("TileWallpaper", DigitValue('0'));
    WriteDesktopValue("WallpaperStyle", DigitValue('2'));
    const std::wstring shownBefore = SessionWallpaper();
    EnterDirectory(DirectoryOfLength(MAX_PATH - 12));
    ASSERT_EQ(FramePath().size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_FALSE(SetWallpaper(true));
    EXPECT_EQ(TextOf(ReadDesktopValue("TileWallpaper")), "0");
    EXPECT_EQ(TextOf(ReadDesktopValue("WallpaperStyle")), "2");
    EXPECT_EQ(SessionWallpaper(), shownBefore);
}

// A user's own pictures, in folders named in several alphabets below the scratch folder, as
// pictures in a user's profile are.
class UserWallpaperTest : public WallpaperTest {
  protected:
    std::wstring MakePicture(const std::wstring& folder, const std::wstring& name) {
        const std::filesystem::path dir = scratch_ / folder;
        std::filesystem::create_directories(dir);
        WriteFrameFile(dir / name);
        return (dir / name).wstring();
    }

    // The user chooses a picture and its placement, as the desktop's settings store them.
    static void ChooseWallpaper(const std::wstring& picture, const char* style) {
        WriteDesktopValue("WallpaperStyle", TextValue(style));
        WriteDesktopValue("TileWallpaper", TextValue("0"));
        ASSERT_TRUE(ShowSessionWallpaper(picture, SPIF_UPDATEINIFILE));
    }
};

TEST_F(UserWallpaperTest, TheUsersWallpaperIsRememberedUnchangedAndComesBackWhenTheFrameGoes) {
    const std::wstring picture = MakePicture(L"Фото 写真 Ελλάδα", L"море.bmp");
    ChooseWallpaper(picture, "10");

    ASSERT_TRUE(SetWallpaper(false));
    EXPECT_PRED2(SamePath, SessionWallpaper(), FramePath());
    EXPECT_EQ(Remembered(), Expected(picture, u"10", u"0"));

    // The frame found on the desktop again, as by every later redraw and every later start, is
    // never taken for the user's.
    ASSERT_TRUE(SetWallpaper(true));
    ASSERT_TRUE(SetWallpaper(false));
    EXPECT_EQ(Remembered(), Expected(picture, u"10", u"0"));

    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), picture);
    EXPECT_EQ(DesktopText(L"Wallpaper"), picture) << "stored in the profile";
    EXPECT_EQ(DesktopText(L"WallpaperStyle"), L"10");
    EXPECT_EQ(DesktopText(L"TileWallpaper"), L"0");
    EXPECT_FALSE(ReadUserValue(kProgramKey, L"UserWallpaper")) << "forgotten once put back";

    // The frame is gone: a second removal leaves the user's wallpaper as it is.
    WriteDesktopValue("WallpaperStyle", TextValue("6"));
    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), picture);
    EXPECT_EQ(DesktopText(L"WallpaperStyle"), L"6");
}

TEST_F(UserWallpaperTest, AWallpaperChosenSinceStaysAndAVanishedPictureLeavesNone) {
    ChooseWallpaper(MakePicture(L"Bilder", L"früher.bmp"), "10");
    ASSERT_TRUE(SetWallpaper(false));

    // Another picture chosen while the frame shows stays when the frame is to go.
    const std::wstring later = MakePicture(L"Позже", L"später.bmp");
    ChooseWallpaper(later, "2");
    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), later);
    EXPECT_EQ(DesktopText(L"WallpaperStyle"), L"2");
    EXPECT_EQ(DesktopText(L"TileWallpaper"), L"0");

    // The frame replaces that one in turn, which is then deleted: nothing to put back.
    ASSERT_TRUE(SetWallpaper(false));
    EXPECT_EQ(Remembered(), Expected(later, u"2", u"0"));
    ASSERT_TRUE(std::filesystem::remove(later));
    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), L"");
    EXPECT_EQ(DesktopText(L"TileWallpaper"), L"0");
    EXPECT_EQ(DesktopText(L"WallpaperStyle"), L"0") << "the style stays as the frame had it";
}

TEST_F(UserWallpaperTest, OnlyTheUsersChoiceReplacesTheRecordAndMissingPlacementComesBackMissing) {
    // A centred picture as Windows has it by default: neither placement value stored.
    const std::wstring picture = MakePicture(L"Bilder", L"zentriert.bmp");
    ASSERT_TRUE(ShowSessionWallpaper(picture, SPIF_UPDATEINIFILE));
    WriteDesktopValue("WallpaperStyle", std::nullopt);
    WriteDesktopValue("TileWallpaper", std::nullopt);
    ASSERT_TRUE(SetWallpaper(false));
    EXPECT_EQ(Remembered(), Expected(picture, std::nullopt, std::nullopt));

    // The frame of a copy in another folder, and a picture that has gone since it was set,
    // replace nothing.
    const std::wstring otherFrame = MakePicture(L"Другая копия", L"current.bmp");
    MakePicture(L"Другая копия", L"current-day.bmp");
    const std::wstring gone = MakePicture(L"Bilder", L"gelöscht.bmp");
    for (const std::wstring& shown : {otherFrame, gone}) {
        ASSERT_TRUE(ShowSessionWallpaper(shown, SPIF_UPDATEINIFILE));
        if (shown == gone) {
            ASSERT_TRUE(std::filesystem::remove(gone));
        }
        ASSERT_TRUE(SetWallpaper(false));
        EXPECT_EQ(Remembered(), Expected(picture, std::nullopt, std::nullopt));
    }

    // The picture comes back centred, its placement values missing again.
    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), picture);
    EXPECT_FALSE(ReadDesktopValue("WallpaperStyle"));
    EXPECT_FALSE(ReadDesktopValue("TileWallpaper"));
}

TEST_F(UserWallpaperTest, WindowsOwnCopyIsKeptAsideAndAnEarlierVersionsRecordIsRead) {
    PWSTR roaming = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming));
    const std::filesystem::path themes = std::filesystem::path(roaming) / L"Microsoft\\Windows\\Themes";
    CoTaskMemFree(roaming);
    std::filesystem::create_directories(themes);
    const std::filesystem::path transcoded = themes / L"TranscodedWallpaper";
    ASSERT_FALSE(std::filesystem::exists(transcoded)) << "a test prefix has none of its own";
    WriteFrameFile(transcoded);
    const auto bytes = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string userBytes = bytes(transcoded);

    // Windows shows its copy of the slideshow's picture; the frame replaces it, and Windows
    // rewrites its copy with the frame.
    ChooseWallpaper(transcoded.wstring(), "10");
    ASSERT_TRUE(SetWallpaper(false));
    ASSERT_TRUE(CopyFileW(L"current.bmp", transcoded.c_str(), FALSE));
    const std::wstring aside = (std::filesystem::current_path() / "user-wallpaper.jpg").wstring();
    const std::optional<UserWallpaper> remembered = Remembered();
    ASSERT_TRUE(remembered);
    EXPECT_PRED2(SamePath, std::wstring(remembered->picture.begin(), remembered->picture.end()), aside);
    EXPECT_EQ(bytes(aside), userBytes);

    EXPECT_TRUE(ClearWallpaper());
    EXPECT_PRED2(SamePath, SessionWallpaper(), aside);
    RemoveUnshownAsideCopies();
    EXPECT_TRUE(std::filesystem::exists(aside)) << "the desktop shows it";
    ChooseWallpaper(MakePicture(L"Bilder", L"neu.bmp"), "0");
    RemoveUnshownAsideCopies();
    EXPECT_FALSE(std::filesystem::exists(aside));
    std::filesystem::remove(transcoded);

    // The three values that earlier versions stored, found with their frame on the desktop.
    const std::wstring earlier = MakePicture(L"Bilder", L"früher.bmp");
    HKEY program = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_WRITE, nullptr, &program, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, text] : {std::pair<const wchar_t*, std::wstring>{L"UserWallpaperStyle", L"6"},
                                     {L"UserTileWallpaper", L"0"},
                                     {L"UserWallpaper", earlier}}) {
        RegSetValueExW(program, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(program);
    ASSERT_TRUE(ShowSessionWallpaper(FramePath(), SPIF_UPDATEINIFILE));
    EXPECT_TRUE(ClearWallpaper());
    EXPECT_EQ(SessionWallpaper(), earlier);
    EXPECT_EQ(DesktopText(L"WallpaperStyle"), L"6");
    EXPECT_EQ(DesktopText(L"TileWallpaper"), L"0");
    EXPECT_FALSE(ReadUserValue(kProgramKey, L"UserWallpaperStyle")) << "forgotten once put back";
}

TEST(Wow64Test, SixtyFourBitProgramIsNotUnderWow64) {
    EXPECT_FALSE(IsWow64());
}

TEST(WrapForVirtualScreenTest, SingleScreenLeavesTheFrameAlone) {
    ASSERT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    ASSERT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    // Recorded so that a run shows what the shell reports (Wine's object does not implement
    // reading the options, which counts as off); either way nothing may move.
    testing::Test::RecordProperty("ActiveDesktopOn", IsActiveDesktopOn() ? "yes" : "no");

    DibImage frame;
    ASSERT_EQ(CreateDib(frame, 64, 32, 32, false, true), 1);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            frame.SetRawPixel(x, y, static_cast<std::uint32_t>(y * 64 + x));
        }
    }
    const DibBlock before = frame.Block();
    WrapForVirtualScreen(frame);
    EXPECT_EQ(frame.Block(), before);
}

}  // namespace

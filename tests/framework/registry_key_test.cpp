// The registry key owner closes its key exactly once, hands it over when moved, and opening a
// missing key leaves it empty. Text values pass the wide functions whole, and odd values read as
// missing.
#include "framework/registry_key_win.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/registry_text_win.h"

namespace {

constexpr const char* kScratchKeyPath = "Software\\OrbiscapeTests\\RegistryKeyOwner";

HKEY CreateScratchKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

bool IsOpen(HKEY key) {
    DWORD values = 0;
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

class OwnedRegistryKeyTest : public testing::Test {
  protected:
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKeyPath); }
};

TEST_F(OwnedRegistryKeyTest, ClosesItsKeyAtTheEnd) {
    HKEY key = CreateScratchKey();
    {
        OwnedRegistryKey owner(key);
        EXPECT_TRUE(IsOpen(key));
    }
    EXPECT_FALSE(IsOpen(key));
}

TEST_F(OwnedRegistryKeyTest, MovingHandsOverAndReleaseGivesUpOwnership) {
    HKEY first = CreateScratchKey();
    HKEY second = CreateScratchKey();
    {
        OwnedRegistryKey source(first);
        OwnedRegistryKey target(std::move(source));
        EXPECT_FALSE(source);
        EXPECT_EQ(target.Get(), first);

        OwnedRegistryKey other(second);
        other = std::move(target);  // closes second, takes first
        EXPECT_FALSE(IsOpen(second));
        EXPECT_TRUE(IsOpen(first));

        EXPECT_EQ(other.Release(), first);
        EXPECT_FALSE(other);
    }
    EXPECT_TRUE(IsOpen(first));
    RegCloseKey(first);
}

TEST_F(OwnedRegistryKeyTest, OpeningGivesAnOpenKeyOrNothing) {
    RegCloseKey(CreateScratchKey());
    OwnedRegistryKey existing = OpenRegistryKey(HKEY_CURRENT_USER, kScratchKeyPath, KEY_READ);
    ASSERT_TRUE(existing);
    EXPECT_TRUE(IsOpen(existing.Get()));

    OwnedRegistryKey missing =
        OpenRegistryKey(HKEY_CURRENT_USER, "Software\\OrbiscapeTests\\NoSuchKey", KEY_READ);
    EXPECT_FALSE(missing);
}

TEST_F(OwnedRegistryKeyTest, TextComesBackWholeAndOddValuesReadAsMissing) {
    const OwnedRegistryKey key = CreateRegistryKey(
        HKEY_CURRENT_USER, L"Software\\OrbiscapeTests\\RegistryKeyOwner", KEY_READ | KEY_WRITE);
    ASSERT_TRUE(key);
    const std::wstring picture = L"C:\\Users\\Łucja\\Фото 写真\\\U0001F30D.bmp";
    ASSERT_TRUE(WriteRegistryText(key.Get(), L"Picture", picture));
    EXPECT_EQ(ReadRegistryText(key.Get(), L"Picture"), picture);
    ASSERT_TRUE(WriteRegistryText(key.Get(), L"Empty", L""));
    EXPECT_EQ(ReadRegistryText(key.Get(), L"Empty"), L"");

    const auto store = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    };
    // Text stored without its terminator, or with more after it, ends where its letters do.
    store(L"Unterminated", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    EXPECT_EQ(ReadRegistryText(key.Get(), L"Unterminated"), L"abc");
    store(L"Twice", REG_SZ, L"one\0two", 8 * sizeof(wchar_t));
    EXPECT_EQ(ReadRegistryText(key.Get(), L"Twice"), L"one");
    store(L"Expandable", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    EXPECT_EQ(ReadRegistryText(key.Get(), L"Expandable"), L"%TEMP%");

    const DWORD number = 1;
    store(L"Number", REG_DWORD, &number, sizeof number);
    store(L"OddLength", REG_SZ, "abc", 3);
    const std::wstring huge(40000, L'x');
    store(L"Huge", REG_SZ, huge.c_str(), static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
    for (const wchar_t* odd : {L"Number", L"OddLength", L"Huge", L"Missing"}) {
        EXPECT_FALSE(ReadRegistryText(key.Get(), odd).has_value());
    }
}

}  // namespace

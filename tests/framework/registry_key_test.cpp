// The registry key owner closes its key exactly once, hands it over when moved, and opening a
// missing key leaves it empty.
#include "framework/registry_key_win.h"

#include <gtest/gtest.h>

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

}  // namespace

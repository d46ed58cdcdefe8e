// The settings against the real registry (under Wine, the test prefix's own): the key is removed
// before and after every test, and values are planted and read back with the plain registry calls.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/default_mirrors.h"
#include "settings/settings.h"
#include "tests/settings/settings_fields.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kKeyPath = "SOFTWARE\\Orbiscape";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void PutRaw(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void PutDword(const char* name, DWORD value) {
    PutRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value)));
}

RawValue GetRaw(const char* name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD length = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &length) == ERROR_SUCCESS) {
        value.data.resize(length);
        RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &length);
        value.data.resize(length);
    }
    RegCloseKey(key);
    return value;
}

class RegistrySettings : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath); }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath); }
};

TEST_F(RegistrySettings, WithoutKeyTheDefaultsHoldAndNothingIsCreated) {
    const CSettings settings;
    EXPECT_EQ(settings.CenterOn, 1000);
    EXPECT_EQ(settings.UpdateFreq, 300000u);
    EXPECT_EQ(settings.CloudUpdateFreq, 3u);
    EXPECT_EQ(settings.URLs, DefaultMirrors());
    EXPECT_FALSE(KeyExists());
}

TEST_F(RegistrySettings, SaveWritesRegistryTypesAndLoadGivesThemBack) {
    CSettings saved;
    ChangeEveryField(saved);
    saved.Save();

    const RawValue centerOn = GetRaw("CenterOn");
    EXPECT_EQ(centerOn.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_THAT(centerOn.data, ElementsAre(0xFF, 0xFF, 0xFF, 0xFF));
    const RawValue lastUpdated = GetRaw("CloudsLastUpdated");
    EXPECT_EQ(lastUpdated.type, static_cast<DWORD>(REG_QWORD));
    EXPECT_THAT(lastUpdated.data, ElementsAre(0xAB, 0x89, 0x67, 0x45, 0x23, 0x01, 0xDA, 0x01));
    const RawValue urls = GetRaw("URLs");
    EXPECT_EQ(urls.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(urls.data.size(), 67u);

    EXPECT_EQ(FieldsOf(CSettings()), FieldsOf(saved));
}

TEST_F(RegistrySettings, IntegersOfOtherTypesAreTakenOnlyWhenTheyFit) {
    PutRaw("UpdateFreq", REG_BINARY, std::string("\x60\xEA\x00\x00", 4));
    PutRaw("CenterOn", REG_BINARY, std::string("\x01\x02\x03\x04\x05", 5));
    PutRaw("HorizontalRes", REG_BINARY, std::string("\x00\x05", 2));
    // Longer than a field, so refused; the registry must not leave part of it in the field.
    PutRaw("CloudFactor", REG_SZ, std::string("ABCDEFGH", 9));
    PutRaw("DaytimeImage", REG_MULTI_SZ, std::string("ABCDEFGH\0", 10));
    const CSettings settings;
    EXPECT_EQ(settings.UpdateFreq, 60000u);
    EXPECT_EQ(settings.CenterOn, 1000);
    EXPECT_EQ(settings.HorizontalRes, 0x0500);
    EXPECT_EQ(settings.CloudFactor, 10);
    EXPECT_EQ(settings.DaytimeImage, -1);
}

TEST_F(RegistrySettings, CloudUpdateFreqIsClamped) {
    PutDword("CloudUpdateFreq", 0);
    EXPECT_EQ(CSettings().CloudUpdateFreq, 3u);
    PutDword("CloudUpdateFreq", 0xFFFFFFFFu);
    EXPECT_EQ(CSettings().CloudUpdateFreq, 72u);
}

TEST_F(RegistrySettings, MalformedMirrorListsLeaveTheDefaults) {
    PutRaw("URLs", REG_SZ, std::string("http://a/clouds_2048.jpg\0\0", 26));
    EXPECT_EQ(CSettings().URLs, DefaultMirrors());
    PutRaw("URLs", REG_MULTI_SZ, std::string("a\0b\0", 4));
    EXPECT_EQ(CSettings().URLs, DefaultMirrors());
}

TEST_F(RegistrySettings, MirrorListUpToTheFullBufferIsRead) {
    const std::string longest(16382, 'x');
    PutRaw("URLs", REG_MULTI_SZ, longest + std::string(2, '\0'));
    EXPECT_THAT(CSettings().URLs, ElementsAre(longest));
    PutRaw("URLs", REG_MULTI_SZ, longest + "y" + std::string(2, '\0'));
    EXPECT_EQ(CSettings().URLs, DefaultMirrors());
}

TEST_F(RegistrySettings, EmptyMirrorListSurvivesSaveAndLoad) {
    CSettings settings;
    settings.URLs.clear();
    settings.Save();
    const RawValue urls = GetRaw("URLs");
    EXPECT_EQ(urls.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_THAT(urls.data, ElementsAre(0));
    EXPECT_THAT(CSettings().URLs, IsEmpty());
}

TEST_F(RegistrySettings, StoreCloudsLastUpdatedNeedsAnExistingKey) {
    EXPECT_EQ(StoreCloudsLastUpdated(0x0102030405060708u), 0);
    EXPECT_FALSE(KeyExists());

    PutDword("CenterOn", 1001);
    EXPECT_EQ(StoreCloudsLastUpdated(0x0102030405060708u), 1);
    const RawValue lastUpdated = GetRaw("CloudsLastUpdated");
    EXPECT_EQ(lastUpdated.type, static_cast<DWORD>(REG_QWORD));
    EXPECT_THAT(lastUpdated.data, ElementsAre(8, 7, 6, 5, 4, 3, 2, 1));
    EXPECT_EQ(CSettings().CloudsLastUpdated, 0x0102030405060708u);
}

}  // namespace

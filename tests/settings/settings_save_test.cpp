#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/multi_string.h"
#include "settings/settings.h"
#include "tests/settings/memory_settings_store.h"
#include "tests/settings/settings_fields.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

CSettings ChangedSettings(SettingsStore& store) {
    CSettings settings(store);
    ChangeEveryField(settings);
    return settings;
}

TEST(SettingsSave, WritesEveryValueWithItsTypeInOrder) {
    MemorySettingsStore store;
    ChangedSettings(store).Save();
    EXPECT_THAT(store.WriteOrder(),
                ElementsAre("CenterOn", "UpdateFreq", "HorizontalRes", "VerticalRes", "BlackBars", "Crop",
                            "ActiveDesktop", "Clouds", "AutoUpdateClouds", "CloudUpdateFreq",
                            "CloudsLastUpdated", "NighttimeImage", "DaytimeImage", "CloudFactor", "URLs", "SharpMaps",
                            "SharpMapSources"));
    for (const std::string& name : store.WriteOrder()) {
        const StoredValue& value = *store.Find(name);
        if (name == "CloudsLastUpdated") {
            EXPECT_EQ(value.type, SettingsValueType::Qword);
            EXPECT_THAT(value.data, ElementsAre(0xAB, 0x89, 0x67, 0x45, 0x23, 0x01, 0xDA, 0x01));
        } else if (name == "URLs" || name == "SharpMapSources") {
            EXPECT_EQ(value.type, SettingsValueType::MultiString);
        } else {
            EXPECT_EQ(value.type, SettingsValueType::Dword) << name;
            EXPECT_EQ(value.data.size(), 4u) << name;
        }
    }
    EXPECT_THAT(store.Find("CenterOn")->data, ElementsAre(0xFF, 0xFF, 0xFF, 0xFF));
    EXPECT_EQ(
        store.Find("URLs")->data,
        Bytes(std::string("http://a.example.com/clouds_2048.jpg\0b\0http://c.example.net/x?y=1\0\0", 67)));
}

TEST(SettingsSave, LoadGivesBackWhatWasSaved) {
    MemorySettingsStore store;
    const CSettings saved = ChangedSettings(store);
    saved.Save();
    EXPECT_EQ(FieldsOf(CSettings(store)), FieldsOf(saved));
}

TEST(SettingsSave, EmptyMirrorListIsOneNulAndSurvivesALoad) {
    MemorySettingsStore store;
    CSettings settings(store);
    settings.URLs.clear();
    settings.Save();
    EXPECT_THAT(store.Find("URLs")->data, ElementsAre(0));
    EXPECT_THAT(CSettings(store).URLs, IsEmpty());
}

TEST(SettingsSave, MirrorListThatFillsTheBufferExactlySurvivesALoad) {
    // Three entries and the closing NUL use all 16384 bytes.
    const std::vector<std::string> entries = {std::string(8000, 'a'), std::string(8000, 'b'),
                                              std::string(380, 'c')};
    MemorySettingsStore store;
    CSettings settings(store);
    settings.URLs = entries;
    settings.Save();
    EXPECT_EQ(store.Find("URLs")->data.size(), kMultiStringBufferSize);
    EXPECT_EQ(CSettings(store).URLs, entries);
}

TEST(SettingsSave, LeavingCloudsLastUpdatedKeepsWhatADownloadStoredMeanwhile) {
    MemorySettingsStore store;
    CSettings settings(store);  // loaded before any download: never updated
    settings.Save(CSettings::SaveScope::LeavingCloudsLastUpdated);
    EXPECT_EQ(store.Find("CloudsLastUpdated"), nullptr) << "a new key gets no time of its own";
    EXPECT_EQ(store.WriteOrder().size(), 16u);
    EXPECT_EQ(CSettings(store).CloudsLastUpdated, 0u);

    ASSERT_EQ(StoreCloudsLastUpdated(store, 0x01DB000000000001u), 1);
    ChangeEveryField(settings);  // an older time among them
    settings.Save(CSettings::SaveScope::LeavingCloudsLastUpdated);
    const CSettings loaded(store);
    EXPECT_EQ(loaded.CloudsLastUpdated, 0x01DB000000000001u);
    EXPECT_EQ(loaded.URLs, settings.URLs);
    EXPECT_EQ(loaded.CenterOn, settings.CenterOn);
}

TEST(SettingsSave, StoreCloudsLastUpdatedWritesOnlyIntoAnExistingKey) {
    MemorySettingsStore store;
    EXPECT_EQ(StoreCloudsLastUpdated(store, 42), 0);
    EXPECT_FALSE(store.HasKey());

    store.PutDword("CenterOn", 1003);
    EXPECT_EQ(StoreCloudsLastUpdated(store, 0x0102030405060708u), 1);
    EXPECT_EQ(store.Find("CloudsLastUpdated")->type, SettingsValueType::Qword);
    EXPECT_THAT(store.Find("CloudsLastUpdated")->data, ElementsAre(8, 7, 6, 5, 4, 3, 2, 1));
    EXPECT_THAT(store.WriteOrder(), ElementsAre("CenterOn", "CloudsLastUpdated"));
}

}  // namespace

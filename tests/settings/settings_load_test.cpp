#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/default_mirrors.h"
#include "settings/default_sharp_map_sources.h"
#include "settings/multi_string.h"
#include "settings/settings.h"
#include "tests/settings/memory_settings_store.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> bytes) {
    return bytes;
}

TEST(SettingsLoad, WithoutKeyEveryFieldHasItsDefault) {
    MemorySettingsStore store;
    const CSettings settings(store);
    EXPECT_EQ(settings.CenterOn, 1000);
    EXPECT_EQ(settings.UpdateFreq, 300000u);
    EXPECT_EQ(settings.HorizontalRes, 1024);
    EXPECT_EQ(settings.VerticalRes, 768);
    EXPECT_EQ(settings.BlackBars, 0);
    EXPECT_EQ(settings.Crop, 1);
    EXPECT_EQ(settings.ActiveDesktop, 0);
    EXPECT_EQ(settings.Clouds, 1);
    EXPECT_EQ(settings.AutoUpdateClouds, 0);
    EXPECT_EQ(settings.CloudUpdateFreq, 3u);
    EXPECT_EQ(settings.CloudsLastUpdated, 0u);
    EXPECT_EQ(settings.NighttimeImage, 13);
    EXPECT_EQ(settings.DaytimeImage, -1);
    EXPECT_EQ(settings.CloudFactor, 10);
    EXPECT_EQ(settings.URLs, DefaultMirrors());
    EXPECT_EQ(settings.SharpMaps, 1) << "a first start";
    EXPECT_EQ(settings.SharpMapSources, DefaultSharpMapSources());
    EXPECT_FALSE(store.HasKey());
}

// The monthly maps are offered to a user who has not confirmed the settings yet; settings
// confirmed before the choice existed keep the program as it was, until the user turns it on.
TEST(SettingsLoad, SharpMapsAreOnUntilSettingsWereConfirmedWithoutThem) {
    MemorySettingsStore unconfirmed;
    unconfirmed.PutDword("CenterOn", 0xFFFFFFFF);
    EXPECT_EQ(CSettings(unconfirmed).SharpMaps, 1);
    MemorySettingsStore earlier;
    earlier.PutDword("CenterOn", 15);
    EXPECT_EQ(CSettings(earlier).SharpMaps, 0);
    earlier.PutDword("SharpMaps", 1);
    EXPECT_EQ(CSettings(earlier).SharpMaps, 1);
    unconfirmed.PutDword("SharpMaps", 0);
    EXPECT_EQ(CSettings(unconfirmed).SharpMaps, 0);
}

TEST(SettingsLoad, DefaultSharpMapSourcesAreTheTwoNasaHostsInOrder) {
    EXPECT_THAT(DefaultSharpMapSources(),
                ElementsAre("https://assets.science.nasa.gov/content/dam/science/esd/eo/images/bmng/"
                            "bmng-topography-bathymetry/{month}/world.topo.bathy.2004{MM}.3x5400x2700.jpg",
                            "https://eoimages.gsfc.nasa.gov/images/imagerecords/73000/{record}/"
                            "world.topo.bathy.2004{MM}.3x5400x2700.jpg"));
}

TEST(SettingsLoad, DefaultMirrorsAreTheLiveServicesOwnDomainOnlyWithItsMapOf2048PixelsFirst) {
    // The service's own name only: its former project-pages host adds no second server, and a
    // map frozen there would be installed as if it were new.
    EXPECT_EQ(DefaultMirrors(), (std::vector<std::string>{
                                    "https://clouds.matteason.co.uk/images/2048x1024/clouds.jpg",
                                    "https://clouds.matteason.co.uk/images/4096x2048/clouds.jpg",
                                    "https://clouds.matteason.co.uk/images/1024x512/clouds.jpg",
                                }));
}

TEST(SettingsLoad, CloudUpdateFreqIsClampedUnsigned) {
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> storedAndLoaded = {
        {0, 3}, {1, 3}, {2, 3}, {3, 3}, {24, 24}, {72, 72}, {73, 72}, {1000, 72}, {0xFFFFFFFFu, 72},
    };
    for (const auto& [stored, loaded] : storedAndLoaded) {
        MemorySettingsStore store;
        store.PutDword("CloudUpdateFreq", stored);
        EXPECT_EQ(CSettings(store).CloudUpdateFreq, loaded) << "stored " << stored;
    }
}

TEST(SettingsLoad, IntegersTakeAnyTypeThatFitsAndOnlyTheBytesStored) {
    MemorySettingsStore store;
    store.Put("UpdateFreq", SettingsValueType::Binary, Bytes({0x60, 0xEA, 0x00, 0x00}));
    store.Put("CenterOn", SettingsValueType::Binary, Bytes({1, 2, 3, 4, 5}));  // too long
    store.Put("CloudFactor", SettingsValueType::String, Bytes({'a', 'b', 'c', 'd', 'e', 0}));
    store.Put("HorizontalRes", SettingsValueType::Binary, Bytes({0x00, 0x05}));  // low half only
    store.Put("VerticalRes", SettingsValueType::Binary, {});
    store.Put("CloudsLastUpdated", SettingsValueType::Dword, Bytes({0x78, 0x56, 0x34, 0x12}));
    store.Put("NighttimeImage", SettingsValueType::Qword, Bytes({16, 0, 0, 0, 0, 0, 0, 0}));
    store.PutDword("DaytimeImage", 0xFFFFFFFEu);
    const CSettings settings(store);
    EXPECT_EQ(settings.UpdateFreq, 60000u);
    EXPECT_EQ(settings.CenterOn, 1000);
    EXPECT_EQ(settings.CloudFactor, 10);
    EXPECT_EQ(settings.HorizontalRes, 0x0500);  // 1024 = 0x0400, low two bytes replaced
    EXPECT_EQ(settings.VerticalRes, 768);
    EXPECT_EQ(settings.CloudsLastUpdated, 0x12345678u);
    EXPECT_EQ(settings.NighttimeImage, 13);
    EXPECT_EQ(settings.DaytimeImage, -2);
}

TEST(SettingsLoad, MalformedMirrorListsLeaveTheDefaults) {
    const std::vector<std::pair<SettingsValueType, std::string>> malformed = {
        {SettingsValueType::String, std::string("http://a/clouds_2048.jpg\0\0", 26)},
        {SettingsValueType::Binary, std::string("http://a/clouds_2048.jpg\0\0", 26)},
        {SettingsValueType::MultiString, std::string("http://a/clouds_2048.jpg\0", 25)},
        {SettingsValueType::MultiString, std::string("a\0b", 3)},
        {SettingsValueType::MultiString, std::string()},
    };
    for (const auto& [type, bytes] : malformed) {
        MemorySettingsStore store;
        store.PutText("URLs", type, bytes);
        EXPECT_EQ(CSettings(store).URLs, DefaultMirrors()) << bytes.size() << " bytes of type " << int(type);
    }
}

TEST(SettingsLoad, MirrorListEndsAtTheFirstEmptyEntry) {
    MemorySettingsStore store;
    store.PutText("URLs", SettingsValueType::MultiString, std::string("one\0two\0\0three\0\0", 17));
    EXPECT_THAT(CSettings(store).URLs, ElementsAre("one", "two"));
    for (const std::size_t nuls : {1, 2, 7}) {
        store.PutText("URLs", SettingsValueType::MultiString, std::string(nuls, '\0'));
        EXPECT_THAT(CSettings(store).URLs, IsEmpty()) << nuls << " NUL bytes";
    }
}

TEST(SettingsLoad, MirrorListOfTheFullBufferIsReadButNotOneByteMore) {
    // 16384 bytes: one entry of 16382 characters, its NUL and the closing NUL.
    const std::string longest(kMultiStringBufferSize - 2, 'x');
    MemorySettingsStore store;
    store.PutText("URLs", SettingsValueType::MultiString, longest + std::string(2, '\0'));
    EXPECT_THAT(CSettings(store).URLs, ElementsAre(longest));
    store.PutText("URLs", SettingsValueType::MultiString, longest + "y" + std::string(2, '\0'));
    EXPECT_EQ(CSettings(store).URLs, DefaultMirrors());
}

}  // namespace

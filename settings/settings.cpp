#include "settings/settings.h"

#include <algorithm>
#include <array>

#include "settings/default_mirrors.h"
#include "settings/default_sharp_map_sources.h"
#include "settings/multi_string.h"
#include "settings/stored_integer.h"

namespace {

constexpr const char* kCloudsLastUpdatedValue = "CloudsLastUpdated";
constexpr const char* kUrlsValue = "URLs";
constexpr const char* kSharpMapsValue = "SharpMaps";
constexpr const char* kSharpMapSourcesValue = "SharpMapSources";

// Takes the stored value over field when it fits in the field, whatever its type (see
// stored_integer.h); a longer or missing value leaves the field alone. The value is read into a
// buffer of its own rather than into the field, since a refused value may leave the buffer in any
// state.
// Whether the value was taken.
template <typename Field>
bool LoadInteger(SettingsKey& key, const char* name, Field& field) {
    std::array<std::uint8_t, sizeof(Field)> buffer{};
    std::size_t length = 0;
    SettingsValueType type{};
    if (!key.Query(name, type, buffer, length)) {
        return false;
    }
    field = OverlayLowBytes(field, std::span<const std::uint8_t>(buffer.data(), length));
    return true;
}

// A stored list, if it is a closed multi-string that the buffer holds whole; otherwise
// the list keeps what it held.
void LoadList(SettingsKey& key, const char* name, std::vector<std::string>& list) {
    std::vector<std::uint8_t> buffer(kMultiStringBufferSize, 0);
    std::size_t length = 0;
    SettingsValueType type{};
    if (!key.Query(name, type, buffer, length) || type != SettingsValueType::MultiString ||
        !IsClosedMultiString(std::span<const std::uint8_t>(buffer.data(), length))) {
        return;
    }
    // The zero-filled tail already closes the list; this makes sure of it.
    buffer[kMultiStringBufferSize - 2] = 0;
    buffer[kMultiStringBufferSize - 1] = 0;
    list = SplitMultiString(buffer);
}

// 32-bit fields are stored as REG_DWORD, the 64-bit one as REG_QWORD, all bytes lowest first.
template <typename Field>
bool SaveInteger(SettingsKey& key, const char* name, Field field) {
    static_assert(sizeof(Field) == 4 || sizeof(Field) == 8);
    const SettingsValueType type = sizeof(Field) == 4 ? SettingsValueType::Dword : SettingsValueType::Qword;
    return key.Set(name, type, LittleEndianBytes(field));
}

}  // namespace

CSettings::CSettings() : CSettings(ProgramSettingsStore()) {}

CSettings::CSettings(SettingsStore& store)
    : URLs(DefaultMirrors()), SharpMapSources(DefaultSharpMapSources()), store_(&store) {
    Load();
}

// Values are visited in the same order as Save writes them.
void CSettings::Load() {
    const std::unique_ptr<SettingsKey> key = store_->OpenForRead();
    if (!key) {
        return;
    }
    LoadInteger(*key, "CenterOn", CenterOn);
    LoadInteger(*key, "UpdateFreq", UpdateFreq);
    LoadInteger(*key, "HorizontalRes", HorizontalRes);
    LoadInteger(*key, "VerticalRes", VerticalRes);
    LoadInteger(*key, "BlackBars", BlackBars);
    LoadInteger(*key, "Crop", Crop);
    LoadInteger(*key, "ActiveDesktop", ActiveDesktop);
    LoadInteger(*key, "Clouds", Clouds);
    LoadInteger(*key, "AutoUpdateClouds", AutoUpdateClouds);
    LoadInteger(*key, "CloudUpdateFreq", CloudUpdateFreq);
    LoadInteger(*key, kCloudsLastUpdatedValue, CloudsLastUpdated);
    LoadInteger(*key, "NighttimeImage", NighttimeImage);
    LoadInteger(*key, "DaytimeImage", DaytimeImage);
    LoadInteger(*key, "CloudFactor", CloudFactor);
    LoadList(*key, kUrlsValue, URLs);
    if (!LoadInteger(*key, kSharpMapsValue, SharpMaps)) {
        // Settings confirmed before the choice existed keep the program as it was.
        SharpMaps = CenterOn == kCenterOnUnconfirmed ? 1 : 0;
    }
    LoadList(*key, kSharpMapSourcesValue, SharpMapSources);
    CloudUpdateFreq = ClampCloudUpdateFreq(CloudUpdateFreq);
}

// Individual writes may fail; the rest are still attempted, as a partial save keeps more of the
// user's choices than none.
void CSettings::Save(SaveScope scope) const {
    const std::unique_ptr<SettingsKey> key = store_->CreateForWrite();
    if (!key) {
        return;
    }
    SaveInteger(*key, "CenterOn", CenterOn);
    SaveInteger(*key, "UpdateFreq", UpdateFreq);
    SaveInteger(*key, "HorizontalRes", HorizontalRes);
    SaveInteger(*key, "VerticalRes", VerticalRes);
    SaveInteger(*key, "BlackBars", BlackBars);
    SaveInteger(*key, "Crop", Crop);
    SaveInteger(*key, "ActiveDesktop", ActiveDesktop);
    SaveInteger(*key, "Clouds", Clouds);
    SaveInteger(*key, "AutoUpdateClouds", AutoUpdateClouds);
    SaveInteger(*key, "CloudUpdateFreq", CloudUpdateFreq);
    if (scope == SaveScope::EveryField) {
        SaveInteger(*key, kCloudsLastUpdatedValue, CloudsLastUpdated);
    }
    SaveInteger(*key, "NighttimeImage", NighttimeImage);
    SaveInteger(*key, "DaytimeImage", DaytimeImage);
    SaveInteger(*key, "CloudFactor", CloudFactor);
    key->Set(kUrlsValue, SettingsValueType::MultiString, PackMultiString(URLs));
    SaveInteger(*key, kSharpMapsValue, SharpMaps);
    key->Set(kSharpMapSourcesValue, SettingsValueType::MultiString, PackMultiString(SharpMapSources));
}

std::uint32_t ClampCloudUpdateFreq(std::uint32_t hours) {
    return std::clamp(hours, kMinCloudUpdateFreq, kMaxCloudUpdateFreq);
}

int StoreCloudsLastUpdated(std::uint64_t fileTime) {
    return StoreCloudsLastUpdated(ProgramSettingsStore(), fileTime);
}

int StoreCloudsLastUpdated(SettingsStore& store, std::uint64_t fileTime) {
    const std::unique_ptr<SettingsKey> key = store.OpenForWrite();
    return key && SaveInteger(*key, kCloudsLastUpdatedValue, fileTime) ? 1 : 0;
}

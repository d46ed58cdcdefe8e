// The settings record loaded from a store whose every value (type, length and bytes) comes from
// the fuzzer, as any program could have written it to the registry. The record must hold only
// values inside their documented ranges, give the same record when saved and loaded again, and
// lead the code that uses it (the timers and the centre longitude) to values in their ranges.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <ctime>

#include "app/cloud_schedule.h"
#include "app/redraw_period.h"
#include "render/centre_longitude.h"
#include "settings/default_mirrors.h"
#include "settings/default_sharp_map_sources.h"
#include "settings/multi_string.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/settings/memory_settings_store.h"
#include "tests/settings/settings_fields.h"

namespace {

constexpr const char* kIntegerValues[] = {
    "CenterOn",          "UpdateFreq",
    "HorizontalRes",     "VerticalRes",
    "BlackBars",         "Crop",
    "ActiveDesktop",     "Clouds",
    "AutoUpdateClouds",  "CloudUpdateFreq",
    "CloudsLastUpdated", "NighttimeImage",
    "DaytimeImage",      "CloudFactor",
    "SharpMaps",
};
constexpr SettingsValueType kTypes[] = {SettingsValueType::String, SettingsValueType::Binary,
                                        SettingsValueType::Dword, SettingsValueType::MultiString,
                                        SettingsValueType::Qword};
constexpr std::uint64_t kMsPerHour = 3600000;

SettingsValueType ValueType(FuzzedDataProvider& input) {
    // Mostly the registry's own types, sometimes any number at all.
    return input.ConsumeBool() ? input.PickValueInArray(kTypes)
                               : static_cast<SettingsValueType>(input.ConsumeIntegral<std::uint32_t>());
}

void CheckRanges(const CSettings& settings) {
    FUZZ_CHECK(settings.CloudUpdateFreq >= kMinCloudUpdateFreq &&
               settings.CloudUpdateFreq <= kMaxCloudUpdateFreq);
    for (const std::vector<std::string>* list : {&settings.URLs, &settings.SharpMapSources}) {
        for (const std::string& entry : *list) {
            FUZZ_CHECK(!entry.empty() && entry.find('\0') == std::string::npos);
        }
        FUZZ_CHECK(PackMultiString(*list).size() <= kMultiStringBufferSize);
    }
}

void CheckUses(const CSettings& settings, FuzzedDataProvider& input) {
    FUZZ_CHECK(RedrawTimerPeriod(settings.UpdateFreq) >= kShortestRedrawPeriodMs);
    const std::uint64_t periodMs = settings.CloudUpdateFreq * kMsPerHour;
    FUZZ_CHECK(CloudTimerDelay(settings.CloudsLastUpdated, input.ConsumeIntegral<std::uint64_t>(),
                               settings.CloudUpdateFreq) <= periodMs);
    FUZZ_CHECK(CloudRetryDelay(input.ConsumeIntegral<std::uint32_t>(), settings.CloudUpdateFreq) <= periodMs);
    std::tm utc{};
    utc.tm_hour = input.ConsumeIntegralInRange(0, 23);
    utc.tm_min = input.ConsumeIntegralInRange(0, 59);
    utc.tm_sec = input.ConsumeIntegralInRange(0, 59);
    const long zoneOffset = input.ConsumeIntegralInRange(-14 * 3600L, 14 * 3600L);
    const double longitude = CentreLongitude(settings.CenterOn, utc, zoneOffset);
    FUZZ_CHECK(std::isfinite(longitude) && longitude >= -180.0 && longitude <= 180.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    MemorySettingsStore store;
    const bool withKey = input.ConsumeBool();
    for (const char* name : kIntegerValues) {
        if (withKey && input.ConsumeBool()) {
            const SettingsValueType type = ValueType(input);
            store.Put(name, type, input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 10)));
        }
    }
    // Both lists: the mirrors and the monthly maps' sources.
    bool listStored[2] = {};
    const char* const listNames[2] = {"URLs", "SharpMapSources"};
    for (int list = 0; list < 2; ++list) {
        const SettingsValueType type = ValueType(input);
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, kMultiStringBufferSize + 2);
        listStored[list] = withKey && length != 0 && type == SettingsValueType::MultiString;
        if (withKey && length != 0) {
            store.Put(listNames[list], type, input.ConsumeBytes<std::uint8_t>(length));
        }
    }

    const CSettings loaded(store);
    CheckRanges(loaded);
    if (!listStored[0]) {
        FUZZ_CHECK(loaded.URLs == DefaultMirrors());
    }
    if (!listStored[1]) {
        FUZZ_CHECK(loaded.SharpMapSources == DefaultSharpMapSources());
    }
    // Whatever loads is stored in full and loads again as it was.
    loaded.Save();
    FUZZ_CHECK(FieldsOf(CSettings(store)) == FieldsOf(loaded));
    CheckUses(loaded, input);
    return 0;
}

// CSettings: every user choice of the program. The stored key is the only shared copy: each
// operation that needs the settings builds its own short-lived record, which fills in the
// defaults and loads the stored values over them, and stores it again with Save if it changed
// something. Records are never shared between threads.
//
// Nothing stored is trusted: a missing or malformed value leaves the default in place, and a
// record can always be built. Failures are quiet; a key that cannot be read gives the defaults,
// one that cannot be written keeps what it held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_store.h"

// Codes of CenterOn other than longitudes -180..180 (degrees).
constexpr std::int32_t kCenterOnUnconfirmed = -1;  // the settings dialog has never been confirmed
constexpr std::int32_t kCenterOnTimeZone = 1000;
constexpr std::int32_t kCenterOnNoon = 1001;
constexpr std::int32_t kCenterOnMidnight = 1002;
constexpr std::int32_t kCenterOnSunset = 1003;
constexpr std::int32_t kCenterOnSunrise = 1004;
constexpr std::int32_t kCenterOnEuropeAfrica = 1006;
constexpr std::int32_t kCenterOnAmericas = 1007;
constexpr std::int32_t kCenterOnAsia = 1008;

// Bounds of the cloud download period, in hours.
constexpr std::uint32_t kMinCloudUpdateFreq = 3;
constexpr std::uint32_t kMaxCloudUpdateFreq = 72;

class CSettings {
  public:
    // The defaults, overlaid by the program's stored settings.
    CSettings();
    // The defaults, overlaid by what store holds; Save writes back there. The store must outlive
    // the record.
    explicit CSettings(SettingsStore& store);

    // Which fields Save writes.
    enum class SaveScope {
        EveryField,
        // All but CloudsLastUpdated, whose stored value is left as it is. A record that only
        // carries the value along, as loaded, could otherwise put back an older time over the one
        // a cloud download stored after the record was loaded.
        LeavingCloudsLastUpdated,
    };
    // Writes the fields, creating the key if need be. Nothing is reported.
    void Save(SaveScope scope = SaveScope::EveryField) const;

    // Each field bears the name of its stored value. Booleans: 0 off, anything else on.
    std::int32_t CenterOn = kCenterOnTimeZone;  // centre longitude code (see above)
    std::uint32_t UpdateFreq = 300000;          // redraw period, milliseconds, used unchecked
    std::int32_t HorizontalRes = 1024;          // picture size in Active Desktop mode, pixels
    std::int32_t VerticalRes = 768;
    std::int32_t BlackBars = 0;         // bars around a picture whose shape differs from the output
    std::int32_t Crop = 1;              // or crop such a picture
    std::int32_t ActiveDesktop = 0;     // 0 regular wallpaper, 1 Active Desktop item
    std::int32_t Clouds = 1;            // lay the cloud map over the picture
    std::int32_t AutoUpdateClouds = 0;  // download a new cloud map periodically
    std::uint32_t CloudUpdateFreq = kMinCloudUpdateFreq;  // hours, 3..72 once loaded
    std::uint64_t CloudsLastUpdated = 0;  // FILETIME (UTC) of the last cloud download, 0 = never
    std::vector<std::string> URLs;        // cloud map mirrors, the preferred one first
    std::int32_t NighttimeImage = 13;     // 13, 16, 17 night images, -1 simple shadows, 0 none
    std::int32_t DaytimeImage = -1;       // -1 the month's image, 0 shaded relief, 1..12 a month
    std::int32_t CloudFactor = 10;        // cloud thickness 0..100, 0 the thickest
    // Download and show the monthly day maps of 5400 x 2700 pixels. On for a user whose settings
    // were never confirmed (the settings dialog shows the choice before anything is fetched), off
    // for settings confirmed before the choice existed, until the user turns it on.
    std::int32_t SharpMaps = 1;
    std::vector<std::string> SharpMapSources;  // address patterns of those maps, tried in order

  private:
    void Load();

    SettingsStore* store_;  // not owned
};

// CloudUpdateFreq brought into kMinCloudUpdateFreq..kMaxCloudUpdateFreq. The comparison is
// unsigned, so a negative number stored by some other program becomes the maximum.
std::uint32_t ClampCloudUpdateFreq(std::uint32_t hours);

// Records the time of a successful cloud download (a FILETIME) in the program's store, or in
// store, without going through a record: only this one value is written, into the existing key,
// which is not created if it is missing. Returns 1 when it was written, 0 otherwise.
int StoreCloudsLastUpdated(std::uint64_t fileTime);
int StoreCloudsLastUpdated(SettingsStore& store, std::uint64_t fileTime);

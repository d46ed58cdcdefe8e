// What the settings dialog's controls show, as the codes and states the dialog reads from them,
// and how that maps to and from the settings record. The dialog's window side only moves these
// values between the controls and this record; every rule lives here.
#pragma once

#include <cstdint>

#include "settings/settings.h"

struct SettingsChoices {
    // Codes of the selected list entries; -1 for a list without a selection.
    std::int32_t centreOn = kCenterOnTimeZone;
    std::uint32_t updateFreq = 0;
    std::uint32_t size = 0;  // see PackSize
    std::int32_t daytimeImage = -1;
    std::int32_t nighttimeImage = -1;
    // Check states: the crop box keeps its tick while the black-bars box greys it out.
    bool blackBars = false;
    bool cropTicked = false;
    bool activeDesktop = false;
    bool clouds = false;
    bool sharpMaps = false;
    int cloudFactor = 0;  // the thickness bar's position
};

// The controls whose enabled state follows from the choices.
struct EnabledControls {
    bool cropBox = false;              // while the black-bars box is unticked
    bool thicknessBar = false;         // while the clouds box is ticked
    bool sizeList = false;             // while the Active Desktop button is set
    bool activeDesktopButton = false;  // never under WOW64, where the Active Desktop is not used
};
EnabledControls EnabledFor(const SettingsChoices& choices, bool wow64);

// Whether the frame is cropped: only when the crop box is ticked and not greyed out.
bool CropsFrame(const SettingsChoices& choices);

// Whether the dialog opens with the Active Desktop button set: never under WOW64, where the
// Active Desktop is not used and the wallpaper button is set whatever is stored.
bool OpensWithActiveDesktop(const CSettings& settings, bool wow64);

// Overwrites the fields the dialog shows with the choices (a greyed-out crop box stores 0); the
// cloud download's fields keep what the record holds.
void StoreChoices(const SettingsChoices& choices, CSettings& settings);

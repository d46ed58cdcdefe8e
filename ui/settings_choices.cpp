#include "ui/settings_choices.h"

#include "ui/size_list.h"

EnabledControls EnabledFor(const SettingsChoices& choices, bool wow64) {
    EnabledControls enabled;
    enabled.cropBox = !choices.blackBars;
    enabled.thicknessBar = choices.clouds;
    enabled.sizeList = choices.activeDesktop;
    enabled.activeDesktopButton = !wow64;
    return enabled;
}

bool CropsFrame(const SettingsChoices& choices) {
    return choices.cropTicked && !choices.blackBars;
}

bool OpensWithActiveDesktop(const CSettings& settings, bool wow64) {
    return settings.ActiveDesktop != 0 && !wow64;
}

void StoreChoices(const SettingsChoices& choices, CSettings& settings) {
    settings.CenterOn = choices.centreOn;
    settings.UpdateFreq = choices.updateFreq;
    settings.HorizontalRes = PackedWidth(choices.size);
    settings.VerticalRes = PackedHeight(choices.size);
    settings.BlackBars = choices.blackBars ? 1 : 0;
    settings.ActiveDesktop = choices.activeDesktop ? 1 : 0;
    settings.Crop = CropsFrame(choices) ? 1 : 0;
    settings.Clouds = choices.clouds ? 1 : 0;
    settings.DaytimeImage = choices.daytimeImage;
    settings.NighttimeImage = choices.nighttimeImage;
    settings.CloudFactor = choices.cloudFactor;
    settings.SharpMaps = choices.sharpMaps ? 1 : 0;
}

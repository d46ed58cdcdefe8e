// Helpers for tests that save and load whole records.
#pragma once

#include <tuple>

#include "settings/settings.h"

inline auto FieldsOf(const CSettings& s) {
    return std::tie(s.CenterOn, s.UpdateFreq, s.HorizontalRes, s.VerticalRes, s.BlackBars, s.Crop,
                    s.ActiveDesktop, s.Clouds, s.AutoUpdateClouds, s.CloudUpdateFreq, s.CloudsLastUpdated,
                    s.URLs, s.NighttimeImage, s.DaytimeImage, s.CloudFactor, s.SharpMaps, s.SharpMapSources);
}

// Gives every field a value other than its default, with a few at the ends of their ranges.
inline void ChangeEveryField(CSettings& settings) {
    settings.CenterOn = -1;
    settings.UpdateFreq = 0;
    settings.HorizontalRes = 65535;
    settings.VerticalRes = 0;
    settings.BlackBars = 1;
    settings.Crop = 0;
    settings.ActiveDesktop = 1;
    settings.Clouds = 0;
    settings.AutoUpdateClouds = 1;
    settings.CloudUpdateFreq = 24;
    settings.CloudsLastUpdated = 0x01DA0123456789ABu;
    settings.URLs = {"http://a.example.com/clouds_2048.jpg", "b", "http://c.example.net/x?y=1"};
    settings.NighttimeImage = -1;
    settings.DaytimeImage = 12;
    settings.CloudFactor = 100;
    settings.SharpMaps = 0;
    settings.SharpMapSources = {"http://d.example.org/{MM}.jpg"};
}

#include "ui/cloud_dialog_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

#include "render/working_files.h"
#include "settings/settings.h"

namespace {

constexpr ListChoice kCloudUpdate[] = {
    {"3 hours", 3},
    {"6 hours", 6},
    {"12 hours", 12},
    {"24 hours", 24},
};

// Room for the label's text, as the dialog has always given it.
constexpr std::size_t kLastUpdatedCapacity = 128;

}  // namespace

ChoiceList CloudUpdateChoices() {
    return {kCloudUpdate, {}, 0};
}

void AddMirror(MirrorListView& list, const std::string& address) {
    const int index = list.Count();
    list.Insert(index, address);
    list.Select(index);
}

void DeleteSelectedMirror(MirrorListView& list) {
    const int selection = list.Selection();
    if (selection < 0) {
        return;
    }
    list.Delete(selection);
    list.Select(-1);
}

void MoveSelectedMirror(MirrorListView& list, int step) {
    const int selection = list.Selection();
    const int target = selection + step;
    if (selection < 0 || target < 0 || target >= list.Count()) {
        return;
    }
    const std::string text = list.Text(selection);
    list.Delete(selection);
    list.Insert(target, text);
    list.Select(target);
}

std::vector<std::string> MirrorEntries(const MirrorListView& list) {
    std::vector<std::string> entries;
    for (int index = 0; index < list.Count(); ++index) {
        entries.push_back(list.Text(index));
    }
    return entries;
}

CloudControlsEnabled CloudControlsEnabledFor(bool updatesTicked, bool addressTyped,
                                             const MirrorListView& list) {
    const int selection = list.Selection();
    const bool selected = updatesTicked && selection != -1;
    CloudControlsEnabled enabled;
    enabled.frequencyList = updatesTicked;
    enabled.mirrorList = updatesTicked;
    enabled.addressBox = updatesTicked;
    enabled.addButton = updatesTicked && addressTyped;
    enabled.deleteButton = selected;
    enabled.moveUpButton = selected && selection != 0;
    enabled.moveDownButton = selected && selection != list.Count() - 1;
    return enabled;
}

void SaveCloudChoices(const CloudChoices& choices, SettingsStore& store) {
    CSettings settings(store);
    settings.CloudUpdateFreq = choices.updateFreq;
    settings.AutoUpdateClouds = choices.autoUpdate ? 1 : 0;
    settings.URLs = choices.mirrors;
    settings.Save(CSettings::SaveScope::LeavingCloudsLastUpdated);
}

std::string LastUpdatedText(const LocalDateTime& local) {
    std::tm calendar{};
    calendar.tm_year = local.year - 1900;
    calendar.tm_mon = local.month - 1;
    calendar.tm_mday = local.day;
    calendar.tm_hour = local.hour;
    calendar.tm_min = local.minute;
    calendar.tm_sec = local.second;
    calendar.tm_isdst = -1;
    // The library settles daylight saving time, which moves a time that falls into the hour
    // skipped in spring. A moment it cannot represent keeps its fields as they are.
    std::tm settled = calendar;
    if (std::mktime(&settled) != static_cast<std::time_t>(-1)) {
        calendar = settled;
    }
    // The C locale's "%c", spelt out: the C libraries differ in that form, and some refuse the
    // years before 1900 that a stored time may name.
    std::array<char, kLastUpdatedCapacity> text{};
    std::snprintf(text.data(), text.size(), "%02d/%02d/%02d %02d:%02d:%02d", calendar.tm_mon + 1,
                  calendar.tm_mday, (calendar.tm_year + 1900) % 100, calendar.tm_hour, calendar.tm_min,
                  calendar.tm_sec);
    return text.data();
}

double CloudPreviewScale(int controlWidth, int controlHeight) {
    return std::min(static_cast<double>(controlWidth) / kSmallCloudsWidth,
                    static_cast<double>(controlHeight) / kSmallCloudsHeight);
}

// The cloud updates dialog's rules, apart from its window: the list of download periods, which
// controls are enabled, how the mirror list is edited, the text of the last-updated label, the
// scale of the cloud preview, and how the dialog's choices reach the settings. The dialog's
// window side (cloud_dlg_win.h) only moves values between its controls and these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "ui/choice_list.h"

// The download periods, "3 hours" to "24 hours", each coded by its hours. A stored period that
// is none of them opens the list at "3 hours".
ChoiceList CloudUpdateChoices();

// The mirror list as the dialog's list box holds it: the list is edited in its control, never in
// a copy, and these are the operations the editing needs.
class MirrorListView {
  public:
    MirrorListView() = default;
    virtual ~MirrorListView() = default;
    MirrorListView(const MirrorListView&) = delete;
    MirrorListView& operator=(const MirrorListView&) = delete;

    virtual int Count() const = 0;
    // The selected entry, -1 when none is.
    virtual int Selection() const = 0;
    virtual std::string Text(int index) const = 0;
    // Puts the text in before the entry at index (Count(): after the last one).
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    // Selects the entry; -1 selects none.
    virtual void Select(int index) = 0;
};

// Appends the address exactly as typed (no trimming, no check of its form, duplicates allowed)
// and selects it.
void AddMirror(MirrorListView& list, const std::string& address);
// Deletes the selected entry; afterwards none is selected. Nothing happens without a selection.
void DeleteSelectedMirror(MirrorListView& list);
// Moves the selected entry one place up (step -1) or down (step 1), where it stays selected.
// Nothing happens without a selection, or when the entry is already at that end of the list.
void MoveSelectedMirror(MirrorListView& list, int step);
// Every entry, first to last.
std::vector<std::string> MirrorEntries(const MirrorListView& list);

// Which editing controls are enabled. The update box itself, the labels, the picture, the tab,
// OK and Cancel always are.
struct CloudControlsEnabled {
    bool frequencyList = false;
    bool mirrorList = false;
    bool addressBox = false;
    bool addButton = false;
    bool deleteButton = false;
    bool moveUpButton = false;
    bool moveDownButton = false;
};
// Everything is greyed out while updates are off; then Add needs a typed address, Delete a
// selection, and the moves a selected entry that is not already at their end of the list.
CloudControlsEnabled CloudControlsEnabledFor(bool updatesTicked, bool addressTyped,
                                             const MirrorListView& list);

// What the dialog stores when OK is pressed.
struct CloudChoices {
    bool autoUpdate = false;
    std::uint32_t updateFreq = 0;  // hours: the code of the selected period
    std::vector<std::string> mirrors;
};
// Loads a fresh record from the store, so that settings changed elsewhere while the dialog was
// open survive, puts the choices into its three fields and saves it. The time of the last cloud
// update is left as stored: a download may have stored a newer one while the dialog was open.
void SaveCloudChoices(const CloudChoices& choices, SettingsStore& store);

// A local date and time as the system gives it (month 1..12).
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
// The last-updated label's text: the C library's calendar time of the moment, with daylight
// saving time left to the library to decide, in the C locale's "%c" form (03/14/07 18:05:09).
// The program never changes the C library's locale, so this is the form a user always sees.
std::string LastUpdatedText(const LocalDateTime& local);

// The factor that scales the small cloud map (kSmallCloudsWidth x kSmallCloudsHeight) to fit a
// picture control of that many pixels: the smaller of the two ratios.
double CloudPreviewScale(int controlWidth, int controlHeight);

// The fixed lists of the settings dialog: their entries in order, the code each entry stores
// (the dialog keeps it as the entry's item data; the settings hold the code, never the text)
// and the entries that get a separator line under them in the open list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct ListChoice {
    const char* text;
    std::int32_t code;
};

struct ChoiceList {
    std::span<const ListChoice> choices;
    std::span<const int> separators;  // entries with a line under them
    int unmatched;                    // the entry selected when no entry has the stored code; -1 for none
    // Texts from this entry on are stored padded with blanks to kPaddedChoiceLength characters,
    // so that the open list is as wide as its longest entry whatever font the system uses.
    std::size_t firstPadded = choices.size();
};

// "Current Time Zone" and the other named centres, then the time zones; a zone's code is its
// offset from UTC in degrees of longitude, the fraction dropped.
ChoiceList CentreOnChoices();
// The redraw periods; the code is the period in milliseconds.
ChoiceList UpdateChoices();
// The night images by number, -1 for the day image darkened, 0 for none.
ChoiceList NightChoices();
// The day images by number, -1 for the current month's.
ChoiceList DayChoices();

inline constexpr std::size_t kPaddedChoiceLength = 61;
// The text of entry `index` as the list holds it, padded where the list pads.
std::string ChoiceText(const ChoiceList& list, std::size_t index);

// The entry a list opens with for a stored code: the first entry with that code, else the
// list's `unmatched` entry (or none, -1).
int InitialIndex(ChoiceList list, std::int64_t stored);

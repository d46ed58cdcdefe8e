// A fixed list of choices for a drop-down list: its entries in order, the code each entry stores
// (the dialog keeps it as the entry's item data; the settings hold the code, never the text)
// and the entries that get a separator line under them in the open list. The settings dialog
// and the cloud updates dialog both fill their lists from these.
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

inline constexpr std::size_t kPaddedChoiceLength = 61;
// The text of entry `index` as the list holds it, padded where the list pads.
std::string ChoiceText(const ChoiceList& list, std::size_t index);

// The entry a list opens with for a stored code: the first entry with that code, else the
// list's `unmatched` entry (or none, -1).
int InitialIndex(ChoiceList list, std::int64_t stored);

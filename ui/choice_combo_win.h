// Drop-down lists filled from a fixed list of choices (choice_list.h): each entry keeps its
// code as item data, and the code, never the text, is what the dialogs read back and store.
#pragma once

#include <cstdint>

#include "framework/controls_win.h"
#include "ui/choice_list.h"
#include "ui/separator_combo_box_win.h"

// Fills the combo box with the list's entries and their codes, and selects the entry the list
// opens with for the stored code (none when the list has no fallback and nothing matches).
void FillChoiceList(const CComboBox& combo, ChoiceList list, std::int64_t stored);
// The same, with the list's separator lines.
void FillChoiceList(CSeparatorComboBox& combo, ChoiceList list, std::int64_t stored);

// The code stored behind the selected entry: CB_GETITEMDATA answers CB_ERR (-1) for a list
// without a selection, which is what such a list stores.
std::int32_t SelectedCode(const CComboBox& combo);

#include "ui/choice_combo_win.h"

void FillChoiceList(const CComboBox& combo, ChoiceList list, std::int64_t stored) {
    combo.ResetContent();
    for (std::size_t index = 0; index < list.choices.size(); ++index) {
        const int entry = combo.AddString(ChoiceText(list, index).c_str());
        combo.SetItemData(entry,
                          static_cast<DWORD_PTR>(static_cast<std::intptr_t>(list.choices[index].code)));
    }
    combo.SetCurSel(InitialIndex(list, stored));
}

void FillChoiceList(CSeparatorComboBox& combo, ChoiceList list, std::int64_t stored) {
    FillChoiceList(static_cast<const CComboBox&>(combo), list, stored);
    for (const int separator : list.separators) {
        combo.AddSeparator(separator);
    }
}

std::int32_t SelectedCode(const CComboBox& combo) {
    return static_cast<std::int32_t>(combo.GetItemData(combo.GetCurSel()));
}

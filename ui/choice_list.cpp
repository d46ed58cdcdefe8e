#include "ui/choice_list.h"

std::string ChoiceText(const ChoiceList& list, std::size_t index) {
    std::string text = list.choices[index].text;
    if (index >= list.firstPadded && text.size() < kPaddedChoiceLength) {
        text.resize(kPaddedChoiceLength, ' ');
    }
    return text;
}

int InitialIndex(ChoiceList list, std::int64_t stored) {
    for (std::size_t index = 0; index < list.choices.size(); ++index) {
        if (list.choices[index].code == stored) {
            return static_cast<int>(index);
        }
    }
    return list.unmatched;
}

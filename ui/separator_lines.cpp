#include "ui/separator_lines.h"

std::vector<int> EntriesWithLines(const std::vector<int>& positions, int count) {
    std::vector<int> entries;
    for (int position : positions) {
        const int entry = position < 0 ? position + count - 1 : position;
        if (entry >= 0 && entry < count - 1) {
            entries.push_back(entry);
        }
    }
    return entries;
}

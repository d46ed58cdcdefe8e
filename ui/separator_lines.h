// Where a separator combo box draws its lines in the open list. Positions are entry indexes
// from 0, or negative: -1 stands for the entry before the last, -2 for the one before that, and
// so on, counted when the lines are drawn. The last entry never has a line under it, nor does a
// position beyond the list.
#pragma once

#include <vector>

// The entries of a list of `count` entries that get a line under them, one per position, in the
// order the positions were added (a position added twice gives its entry twice).
std::vector<int> EntriesWithLines(const std::vector<int>& positions, int count);

// Where the monthly day maps of 5400 x 2700 pixels come from when the user has stored no list of
// their own: address patterns, tried in order, in which "{MM}" stands for the month's two digits,
// "{month}" for its English name in lower case and "{record}" for the older host's record number
// of that month (see clouds/sharp_map_sources.h).
#pragma once

#include <string>
#include <vector>

std::vector<std::string> DefaultSharpMapSources();

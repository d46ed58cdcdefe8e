// The cloud map mirrors a new installation starts with, in order of preference: the download
// always tries the first one first, then picks among all of them at random.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> DefaultMirrors();

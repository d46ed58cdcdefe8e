// Putting a downloaded monthly map ("sharp-map-new.jpg") in place as the month's map
// ("MM-5400.jpg"), with its small form for the preview ("MM-5400-512.bmp"): only a map that
// passes every check (sharp_map_check.h), and the two files as one (file_set_replacement.h), so
// that the preview never shows another map than the desktop. The map is installed as it came,
// so that the preparation of the sources reads it as it reads a delivered one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clouds/sharp_map_check.h"

// The downloaded file is gone afterwards in every case: moved into place, or deleted with
// whatever was made from it. Anything but Accepted leaves the files in use as they were; so does
// a small form that cannot be made or a replacement that cannot be completed (then the result is
// Unreadable). stopRequested is asked before each step; once it is true nothing more is made or
// replaced, and the result is Unreadable.
SharpMapVerdict InstallSharpMap(
    int month, const std::function<bool()>& stopRequested = [] { return false; });

// What a start does with the monthly maps that earlier runs left, before anything reads them: the
// temporary files of processes that no longer run and the files of an installation cut off by
// its process's end go (a month whose map did not move in is fetched again); a month's map that
// does not read back is deleted with its small form, to be fetched again; a missing small form is
// made from its map. Returns the names of the files found damaged.
std::vector<std::string> MendSharpMaps();

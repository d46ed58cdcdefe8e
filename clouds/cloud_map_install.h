// Turning a freshly downloaded cloud map ("clouds-new.jpg") into the prepared cloud bitmaps: the
// master bitmap for the desktop, the small one for the previews and the cloud updates dialog,
// and the renderer's cloud source at the present output shape, so that the next redraw shows the
// new clouds without preparing its sources again. The time of a successful installation is
// stored for the cloud timer.
#pragma once

#include <cstdint>
#include <functional>

#include "render/render_state.h"
#include "settings/settings_store.h"

// Holds state's cloud-file lock throughout, so that the main thread neither prepares the cloud
// source nor changes the output shape in the middle. Scales the downloaded map to fit the master
// bitmap's size. When that fails the download was not a picture (an error page, a cut-off
// body): nothing else happens, the downloaded file stays as it came and the result is false.
// Otherwise the small bitmap (fitted) and the cloud source follow, the latter prepared for the
// output shape that state holds (covering the output when the crop flag is set, fitted
// otherwise, and cut like the other prepared sources), whatever the cloud overlay's setting; a failure of
// either is let pass, as the master bitmap alone is enough for the next preparation. Then the downloaded file
// is deleted and fileTimeNow() (a FILETIME) is stored as CloudsLastUpdated into the existing key of store; a
// key that cannot be written leaves the installation standing. Returns true when the map was installed.
//
// stopRequested is asked before each step: once it is true nothing more is written (the
// bitmaps already replaced stay, the downloaded file and the stored time stay as they were)
// and the result is false.
bool InstallCloudMap(
    RenderState& state, SettingsStore& store, const std::function<std::uint64_t()>& fileTimeNow,
    const std::function<bool()>& stopRequested = [] { return false; });

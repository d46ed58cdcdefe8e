// Turning a freshly downloaded cloud map ("clouds-new.jpg") into the prepared cloud bitmaps: the
// master bitmap for the desktop, the small one for the previews and the cloud updates dialog,
// and the renderer's cloud source at the present output shape, so that the next redraw shows the
// new clouds without preparing its sources again. An installation is all or nothing: the three
// change together or not at all, so that no picture ever lays the clouds of one map beside
// those of another. The time of a successful installation is stored for the cloud timer.
#pragma once

#include <cstdint>
#include <functional>

#include "render/render_state.h"
#include "settings/settings_store.h"

// Holds state's cloud-file lock throughout, so that the main thread neither prepares the cloud
// source, nor composes from it, nor changes the output shape in the middle. Makes the three new
// bitmaps beside the ones in use: the master bitmap (the map fitted into its size), the small one
// (fitted likewise) and the cloud source, prepared from the new master bitmap as a preparation of
// the sources makes it, for the output shape that state holds (covering the output when the crop
// flag is set, fitted otherwise, and cut like the other prepared sources), whatever the cloud
// overlay's setting. Only when all three were made do they replace the ones in use, as one (see
// file_set_replacement.h); then the downloaded file is deleted and fileTimeNow() (a FILETIME) is
// stored as CloudsLastUpdated into the existing key of store, and the result is true. A key that
// cannot be written leaves the installation standing.
//
// Anything less is a failed installation, with the result false: a download that is no picture
// (an error page, a cut-off body), a bitmap that cannot be made or written, a replacement that
// cannot be completed. The bitmaps in use then stay as they were, the new ones made so far are
// deleted, and the downloaded file and the stored time stay as they were.
//
// stopRequested is asked before each step: once it is true nothing more is made or replaced,
// and the installation fails as above.
bool InstallCloudMap(
    RenderState& state, SettingsStore& store, const std::function<std::uint64_t()>& fileTimeNow,
    const std::function<bool()>& stopRequested = [] { return false; });

// Turning a freshly downloaded cloud map ("clouds-new.jpg") into the prepared cloud bitmaps: the
// master bitmap for the desktop, the small one for the previews and the cloud updates dialog,
// and the renderer's cloud source at the present output shape, so that the next redraw shows the
// new clouds without preparing its sources again. An installation is all or nothing: the three
// change together or not at all, so that no picture ever lays the clouds of one map beside
// those of another. The time of a successful installation is stored for the cloud timer.
#pragma once

#include <cstdint>
#include <functional>

#include "clouds/file_set_replacement.h"
#include "render/render_state.h"
#include "settings/settings_store.h"

// Makes the three new bitmaps beside the ones in use, without state's cloud-file lock, so that
// the main thread never waits on the making: the master and the small bitmap (the map fitted
// into their sizes), and the cloud source, prepared from the new master bitmap as a preparation
// of the sources makes it, for the output shape state holds (source_cut.h), whatever the cloud
// overlay's setting. Then, holding the lock, it replaces the three in use as one
// (file_set_replacement.h), unless the main thread took another shape meanwhile: the cloud
// source is then made again for that one. After that the downloaded file is deleted,
// fileTimeNow() (a FILETIME) is stored as CloudsLastUpdated into the existing key of store (a key
// that cannot be written leaves the installation standing), and the result is true.
//
// Anything less is a failed installation, with the result false: a download that is no picture,
// a bitmap that cannot be made or written, a replacement that cannot be completed. The bitmaps
// in use then stay as they were, the new ones made so far are deleted, and the downloaded file
// and the stored time stay as they were. stopRequested is asked before each step: once it is
// true nothing more is made or replaced, and the installation fails as above.
bool InstallCloudMap(
    RenderState& state, SettingsStore& store, const std::function<std::uint64_t()>& fileTimeNow,
    const std::function<bool()>& stopRequested = [] { return false; });

// At start, before anything reads the cloud bitmaps: finishes or undoes an installation that its
// process's end cut off between its renames (FinishOrUndoReplacement). A finished one's download
// is deleted, as after any installation; its time is not known, so none is stored.
ReplacementOutcome RecoverCloudInstallation();

// What a start does with the working files that earlier runs left, before anything reads them.
// A run may end anywhere: forced by an update or "/uninstall", by a logoff, by a power cut. It
// can leave temporary files of writes it never finished, a cloud installation cut off between
// its renames, and, after a power cut that lost data which a rename had already published, files
// that do not read back as what was written (zeros, most often). Each working file that another
// step reads has a rule: how to tell that it reads back, and how it is made from its source.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "clouds/file_set_replacement.h"
#include "settings/settings_store.h"

struct WorkingFileRule {
    const char* file;
    // Whether the file, which is there, reads back as what its writer makes.
    std::function<bool(const char*)> readsBack;
    // Makes the file from its source when it is missing; empty for a file that the start's first
    // apply makes anyway.
    std::function<void()> makeMissing;
};

// The rules of the files that another step reads: the two cloud maps, made from the seed map;
// the prepared sources and the frame, which the first apply prepares and draws afresh (a damaged
// one is deleted, so that nothing reads it should that fail).
std::vector<WorkingFileRule> ProgramWorkingFileRules();

// Deletes each file that is there but does not read back, then makes each missing file that has
// a way to be made. Returns the names of the files found damaged.
std::vector<std::string> CheckWorkingFiles(std::span<const WorkingFileRule> rules);

struct WorkingFilesRecovery {
    ReplacementOutcome cloudInstallation = ReplacementOutcome::NoneCutOff;
    std::vector<std::string> damaged;
};

// The start's whole sequence: deletes the temporary files of processes that no longer run,
// finishes or undoes a cut cloud installation, then checks the files by the program's rules and
// mends the monthly maps (sharp_map_install.h). A cloud map found damaged may have come from a
// download, whose source is the mirror: the stored CloudsLastUpdated is cleared, so that with
// updates on a fresh map replaces the seed's at the next cloud timer rather than a period later.
WorkingFilesRecovery RecoverWorkingFiles(SettingsStore& store);

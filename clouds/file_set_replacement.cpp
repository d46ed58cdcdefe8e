#include "clouds/file_set_replacement.h"

#include <algorithm>

#include "image/file_io.h"

namespace {

// The file in use, or its absence, under the kept name: an empty file stands for none, which no
// file in use ever is.
bool KeepAside(const FileToReplace& file) {
    return PathExists(file.InUse) ? KeepUnderSecondName(file.InUse, file.KeptAside)
                                  : ReplaceFileContents(file.KeptAside, {});
}

// Puts what the kept name holds back under the name in use; true when done.
bool PutBack(const FileToReplace& file) {
    const std::optional<std::uint64_t> keptSize = InputFile(file.KeptAside).Size();
    if (keptSize != 0) {
        return MoveFileOver(file.KeptAside, file.InUse);
    }
    RemoveFile(file.InUse);
    return !PathExists(file.InUse) && (RemoveFile(file.KeptAside) || !PathExists(file.KeptAside));
}

bool AnyExists(std::span<const FileToReplace> files, const char* FileToReplace::*name) {
    return std::ranges::any_of(files, [name](const FileToReplace& file) { return PathExists(file.*name); });
}

}  // namespace

bool ReplaceFilesAsOne(std::span<const FileToReplace> files, const std::function<void()>& beforeEachChange) {
    const auto change = [&beforeEachChange] {
        if (beforeEachChange) {
            beforeEachChange();
        }
    };
    std::size_t moved = 0;
    for (; moved < files.size(); ++moved) {
        const FileToReplace& file = files[moved];
        change();
        if (!KeepAside(file)) {
            break;
        }
        change();
        if (!MoveFileOver(file.Made, file.InUse)) {
            change();
            RemoveFile(file.KeptAside);
            break;
        }
    }
    if (moved == files.size()) {
        for (const FileToReplace& file : files) {
            change();
            RemoveFile(file.KeptAside);
        }
        return true;
    }
    // The made files that are left tell a later start, should this be cut off too, that the
    // replacement is to be undone: they go only once every file is back.
    bool allBack = true;
    for (std::size_t i = moved; i-- > 0;) {
        change();
        allBack = PutBack(files[i]) && allBack;
    }
    if (allBack) {
        for (const FileToReplace& file : files) {
            change();
            RemoveFile(file.Made);
        }
    }
    return false;
}

ReplacementOutcome FinishOrUndoReplacement(std::span<const FileToReplace> files) {
    const bool anyKept = AnyExists(files, &FileToReplace::KeptAside);
    if (!AnyExists(files, &FileToReplace::Made)) {
        for (const FileToReplace& file : files) {
            RemoveFile(file.KeptAside);
        }
        return anyKept ? ReplacementOutcome::Finished : ReplacementOutcome::NoneCutOff;
    }
    for (std::size_t i = files.size(); i-- > 0;) {
        const FileToReplace& file = files[i];
        if (!PathExists(file.KeptAside)) {
            continue;
        }
        // Moved in already; or moved aside, as earlier versions did, leaving the name empty.
        if (!PathExists(file.Made) || !PathExists(file.InUse)) {
            PutBack(file);
        } else {
            RemoveFile(file.KeptAside);
        }
    }
    for (const FileToReplace& file : files) {
        RemoveFile(file.Made);
    }
    return ReplacementOutcome::Undone;
}

#include "clouds/file_set_replacement.h"

#include <vector>

#include "image/file_io.h"

bool ReplaceFilesAsOne(std::span<const FileToReplace> files) {
    // Whether each name held a file before its new one moved in.
    std::vector<bool> held;
    for (const FileToReplace& file : files) {
        const bool inUse = PathExists(file.InUse);
        if (inUse && !MoveFileOver(file.InUse, file.KeptAside)) {
            break;
        }
        if (!MoveFileOver(file.Made, file.InUse)) {
            if (inUse) {
                MoveFileOver(file.KeptAside, file.InUse);
            }
            break;
        }
        held.push_back(inUse);
    }
    if (held.size() == files.size()) {
        for (const FileToReplace& file : files) {
            RemoveFile(file.KeptAside);
        }
        return true;
    }
    for (std::size_t i = held.size(); i-- > 0;) {
        if (held[i]) {
            MoveFileOver(files[i].KeptAside, files[i].InUse);
        } else {
            RemoveFile(files[i].InUse);
        }
    }
    for (const FileToReplace& file : files) {
        RemoveFile(file.Made);
    }
    return false;
}

// Putting several new files in place of the ones in use as one: every one of them, or none, so
// that readers never find new files of the set beside old ones once it is done. Each new file is
// made beforehand under a name of its own; while it moves into its place, the file it replaces
// waits under a third name, so that a later move that fails can put back every file moved
// before it.
#pragma once

#include <span>

struct FileToReplace {
    const char* InUse;      // the name readers know
    const char* Made;       // the new file, made beforehand
    const char* KeptAside;  // where the file in use waits until every new one is in place
};

// Moves each made file to its name in use, in order. True when every one is in place; the files
// kept aside are then deleted. Otherwise every name in use holds what it held before (or
// nothing, as before), the made files are deleted, and the result is false. Files left under a
// kept name by a replacement cut off halfway are replaced. Should putting a file back fail too
// (a folder that refuses every change), it stays under its kept name.
bool ReplaceFilesAsOne(std::span<const FileToReplace> files);

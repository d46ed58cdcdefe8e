// Putting several new files in place of the ones in use as one: every one of them, or none, so
// that readers never find new files of the set beside old ones once it is done. Each new file is
// made beforehand under a name of its own. In turn, each file in use is given a second name that
// keeps it (an empty file there when the name held none), and the new one is renamed over it, so
// that the name in use never stands empty for a reader, and a later step that fails can put back
// every file replaced before it.
//
// A replacement that its process's end cuts off (a forced end, a logoff, a power cut) leaves
// files that tell how far it went: while any new file is still under its own name, not every one
// had moved in, and the replacement is undone; once none is, it had, and only the kept files are
// left to clear away. FinishOrUndoReplacement does that at the next start.
#pragma once

#include <functional>
#include <span>

struct FileToReplace {
    const char* InUse;      // the name readers know
    const char* Made;       // the new file, made beforehand
    const char* KeptAside;  // the file in use keeps this name until every new one is in place
};

// Moves each made file to its name in use, in order. True when every one is in place; the kept
// files are then deleted. Otherwise every name in use holds what it held before (or nothing, as
// before), the made files are deleted, and the result is false. Should putting a file back fail
// too (a folder that refuses every change), the files are left as they are for
// FinishOrUndoReplacement to put back.
//
// beforeEachChange, when given, is called before each change of a name: a test's way to end the
// replacement where a process's end would.
bool ReplaceFilesAsOne(std::span<const FileToReplace> files,
                       const std::function<void()>& beforeEachChange = {});

enum class ReplacementOutcome {
    NoneCutOff,  // nothing was left of a replacement
    Finished,    // every new file had moved in: the kept ones were cleared away
    Undone,      // the files in use are the ones from before it again; the new ones are gone
};

// At start, before anything reads the files: completes or undoes a replacement of files that its
// process's end cut off, by the rule above, and removes what it left. The names in use then hold
// the complete old set or the complete new one.
ReplacementOutcome FinishOrUndoReplacement(std::span<const FileToReplace> files);

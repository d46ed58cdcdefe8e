// The program's working folder, the current directory, as its user hears of it: whether the
// program can create its files there at start, and the words for a failure to write them.
#pragma once

#include <optional>
#include <string>

// The system's error code when the program cannot create its working files in the current
// directory (a folder its user may only read, as under Program Files); nothing when it can.
std::optional<unsigned long> WorkingFilesRefused();

// Tells the user, in a message box, that the program cannot work in its folder, and why.
void TellUnwritableFolder(unsigned long error);

// The current directory's full path.
std::u16string CurrentFolder();

// The system's own words for an error code, in the user's language, without the line break it
// ends with; the number when the system has no text for it.
std::u16string SystemErrorText(unsigned long error);

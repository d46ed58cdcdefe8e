// Windows hands a program its arguments as one string that starts with the program's own name,
// quoted when the path holds blanks. Only the text after that name is the program's to read; it is
// kept exactly as given, trailing blanks included, because a switch followed by anything at all is
// no longer the switch.
#pragma once

#include <string_view>

// The text after the program name of a full command line. A name that starts with a double quote
// ends at the next double quote (or at the end of the line when there is none); any other name
// ends at the first blank or tab. The blanks and tabs between the name and the first argument are
// skipped; everything from the first argument on is returned unchanged.
std::string_view ArgumentsAfterProgramName(std::string_view commandLine);

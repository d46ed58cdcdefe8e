// The program's name as the download gives it to servers as its user agent: the program file's
// name without its folder and its extension, "orbiscape" for "C:\Orbiscape\orbiscape.exe".
#pragma once

#include <string>
#include <string_view>

// The part of modulePath after its last '\' or '/', cut before the last '.' of that part.
std::string ProgramNameOfPath(std::string_view modulePath);

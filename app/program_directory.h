// The program's directory, as the two command-line switches need it: "/install" starts the
// program again with it as the working directory, and "/uninstall" makes it the current
// directory before deleting the working files, which are named relative to it.
#pragma once

#include <string>
#include <string_view>

// The directory part of a Windows path, with its final backslash: "C:\Orbiscape\" for
// "C:\Orbiscape\orbiscape.exe". Empty when the path holds no backslash.
std::string DirectoryOfPath(std::string_view path);

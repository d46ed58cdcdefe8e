// A command-line program's words, its own path first, as the program's 8-bit text (UTF-8, WTF-8
// on Windows) whatever the folders they name are called. On Windows the narrow argv that main
// receives is in the ANSI code page and has lost the letters that it lacks, so the words come
// from the wide command line there; elsewhere argv already holds the bytes that the user typed.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> ProgramArguments(int argc, char** argv);

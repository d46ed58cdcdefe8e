// A file of this process's own in the temporary folder, for targets whose code under test reads
// or writes files by name; it is removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& ScratchFileName() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("orbiscape-fuzz-" + std::to_string(getpid()))).string();
    static const int removeAtExit = std::atexit([] { std::remove(name.c_str()); });
    (void)removeAtExit;
    return name;
}

// What a running process holds, read from another process by its id: kernel handles, GDI and
// USER objects, and memory. The redraw measurement and the end-to-end checks use it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every running process whose file name (without folder) is exeName, compared without case.
std::vector<DWORD> ProcessIdsNamed(const char* exeName);

struct ProcessResources {
    // GetProcessHandleCount where the system answers it; otherwise (Wine 8 answers 0) the
    // process's entries in the system's handle list. handleSource says which.
    DWORD handles = 0;
    std::string handleSource;
    // GetGuiResources where the system answers it; otherwise (Wine leaves it unimplemented) the
    // live entries of the process's GDI handle table. gdiSource says which.
    DWORD gdiObjects = 0;
    std::string gdiSource;
    std::optional<DWORD> userObjects;  // empty when the system does not count them
    std::uint64_t workingSetBytes = 0;
    std::uint64_t peakWorkingSetBytes = 0;
    std::uint64_t commitBytes = 0;  // private memory committed (the page file's share)
};

// False when the process cannot be opened or its handle count cannot be read.
bool ReadProcessResources(DWORD processId, ProcessResources& resources);

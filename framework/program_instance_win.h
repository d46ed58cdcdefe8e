// The module that window classes, resources and windows belong to. The framework is linked into
// the program itself, so that is always the executable.
#pragma once

#include <windows.h>

inline HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

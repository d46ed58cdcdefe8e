// Owner of an open registry key. Every key the program opens or creates is handed to one of
// these at once, so that it is closed exactly once on every path out of the function.
#pragma once

#include <windows.h>

#include "framework/owned_handle_win.h"

// Owns a key from RegOpenKeyEx or RegCreateKeyEx and closes it with RegCloseKey at the end.
using OwnedRegistryKey = OwnedHandle<HKEY, &RegCloseKey>;

// Opens an existing key; an empty owner when that fails (the key is missing or access is
// refused).
inline OwnedRegistryKey OpenRegistryKey(HKEY parent, const char* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, access, &key) != ERROR_SUCCESS) {
        return OwnedRegistryKey();
    }
    return OwnedRegistryKey(key);
}

// The same, for code that names keys in the system's wide characters.
inline OwnedRegistryKey OpenRegistryKey(HKEY parent, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path, 0, access, &key) != ERROR_SUCCESS) {
        return OwnedRegistryKey();
    }
    return OwnedRegistryKey(key);
}

// Opens a key, creating it (and the keys above it) when missing; an empty owner when that fails.
inline OwnedRegistryKey CreateRegistryKey(HKEY parent, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return OwnedRegistryKey();
    }
    return OwnedRegistryKey(key);
}

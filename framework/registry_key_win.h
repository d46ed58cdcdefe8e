// Owner of an open registry key. Every key the program opens or creates is handed to one of
// these at once, so that it is closed exactly once on every path out of the function.
#pragma once

#include <windows.h>

#include <utility>

// Owns a key from RegOpenKeyEx or RegCreateKeyEx and closes it with RegCloseKey at the end.
// Movable, so a function can hand the key it opened to its caller; never copied.
class OwnedRegistryKey {
  public:
    OwnedRegistryKey() = default;
    explicit OwnedRegistryKey(HKEY key) : key_(key) {}
    ~OwnedRegistryKey() { Reset(); }
    OwnedRegistryKey(const OwnedRegistryKey&) = delete;
    OwnedRegistryKey& operator=(const OwnedRegistryKey&) = delete;
    OwnedRegistryKey(OwnedRegistryKey&& other) noexcept : key_(other.Release()) {}
    OwnedRegistryKey& operator=(OwnedRegistryKey&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // Gives up ownership without closing; the caller owns the key now.
    HKEY Release() { return std::exchange(key_, nullptr); }
    // Closes the key held, if any, and takes ownership of key.
    void Reset(HKEY key = nullptr) {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
        key_ = key;
    }

  private:
    HKEY key_ = nullptr;
};

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

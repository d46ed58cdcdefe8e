// The one registry key, under HKEY_CURRENT_USER, where the program keeps what it stores: the
// settings, and the user's own wallpaper while the program's frame replaces it.
#pragma once

inline constexpr char kProgramKeyPath[] = "SOFTWARE\\Orbiscape";
inline constexpr wchar_t kProgramKeyPathWide[] = L"SOFTWARE\\Orbiscape";

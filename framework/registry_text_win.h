// Text values of the registry, read and written through the wide functions, so that any letters
// (a user's picture under a folder named in any alphabet) come back exactly as they were stored.
// What a value holds is never trusted: a value of another type, of an odd length or absurdly
// long reads as missing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The text of a REG_SZ or REG_EXPAND_SZ value (left unexpanded), up to its first terminator;
// nothing when the value is missing or is not such text.
std::optional<std::wstring> ReadRegistryText(HKEY key, const wchar_t* name);

// Stores text as a REG_SZ value, its terminator included.
bool WriteRegistryText(HKEY key, const wchar_t* name, std::wstring_view text);

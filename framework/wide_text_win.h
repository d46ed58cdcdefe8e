// The Windows side of wide_text.h: the system's wide characters are UTF-16 units, so paths in
// the program's WTF-8 strings go to and come from the ...W functions through these two.
#pragma once

#include <string>
#include <string_view>

#include "framework/wide_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide characters are UTF-16 units");

inline std::wstring WideFromUtf8(std::string_view utf8) {
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::wstring(units.begin(), units.end());
}

inline std::string Utf8FromWide(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// The same UTF-16 units, as the system's wide characters and as the portable code holds them.
inline std::wstring WideOfUnits(std::u16string_view units) {
    return std::wstring(units.begin(), units.end());
}

inline std::u16string UnitsOfWide(std::wstring_view wide) {
    return std::u16string(wide.begin(), wide.end());
}

// Windows names files in UTF-16, and any sequence of 16-bit units is a valid name, unpaired
// surrogates included. The program keeps text in 8-bit strings, so paths travel inside it as
// WTF-8: UTF-8 extended to encode an unpaired surrogate as its own three bytes. For well-formed
// text it is plain UTF-8 (and ASCII stays ASCII); for any UTF-16 it converts there and back
// without loss, which the system's own UTF-8 conversion does not promise.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 units of WTF-8 text. A byte that starts no valid sequence (a stray continuation
// byte, a truncated sequence, an overlong form, a value beyond U+10FFFF) becomes U+FFFD, so
// text from outside never converts to a name other than the one it spells.
std::u16string Utf16FromUtf8(std::string_view utf8);

// The WTF-8 form of any UTF-16 text; Utf16FromUtf8 gives back exactly the same units.
std::string Utf8FromUtf16(std::u16string_view utf16);

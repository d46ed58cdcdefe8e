#include "framework/wide_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(WideText, NamesOfEveryKindGoThereAndBackUnchanged) {
    const std::vector<std::u16string> names = {
        u"",
        u"C:\\Orbiscape\\current.bmp",
        u"C:\\Users\\\u042E\u043B\u0438\u044F\\\u5730\u7403\\orbiscape.exe",   // Cyrillic and CJK
        u"\U0001F30D globe.bmp",                                               // outside the BMP
        std::u16string{u'a', char16_t(0xD800), u'b'},                          // lone high surrogate
        std::u16string{char16_t(0xDC00)},                                      // lone low surrogate
        std::u16string{char16_t(0xDBFF), char16_t(0xD800), char16_t(0xDFFF)},  // high, then a pair
        std::u16string{char16_t(0xFFFF), char16_t(0x0080), char16_t(0x07FF), char16_t(0x0800)},
    };
    for (const std::u16string& name : names) {
        EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(name)), name);
    }
    // Well-formed text is plain UTF-8.
    EXPECT_EQ(Utf8FromUtf16(u"\u042E\u5730\U0001F30D"), "\xD0\xAE\xE5\x9C\xB0\xF0\x9F\x8C\x8D");
    EXPECT_EQ(Utf8FromUtf16(u"plain"), "plain");
}

TEST(WideText, BytesThatSpellNoCharacterBecomeTheReplacementCharacter) {
    EXPECT_EQ(Utf16FromUtf8("a\x80z"), u"a\uFFFDz");                            // stray continuation byte
    EXPECT_EQ(Utf16FromUtf8("\xE5\x9C"), u"\uFFFD\uFFFD");                      // cut-off sequence
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong '/'
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
    EXPECT_EQ(Utf16FromUtf8("\xFF"), u"\uFFFD");
    // A pair spelled as two three-byte surrogates is not how a pair is written.
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80\xED\xB0\x80"), (std::u16string{0xFFFD, 0xDC00}));
}

}  // namespace

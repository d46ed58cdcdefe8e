#include "framework/wide_text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendCodePoint(std::u16string& out, char32_t point) {
    if (point < 0x10000) {
        out.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

// The sequence starting at text[at]: its code point and length, or length 0 when it is not a
// valid one. Lone surrogates (ED A0..BF xx) are valid here, which is what makes it WTF-8; a
// surrogate pair spelled as two such sequences is not, as WTF-8 encodes pairs as four bytes.
struct Decoded {
    char32_t point;
    std::size_t length;
};

Decoded DecodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length;
    char32_t point;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, point = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, point = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, point = lead & 0x07, smallest = 0x10000;
    } else {
        return {0, 0};
    }
    if (text.size() - at < length) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return {0, 0};
        }
        point = (point << 6) | (byte(i) & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF) {
        return {0, 0};
    }
    return {point, length};
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const Decoded decoded = DecodeAt(utf8, at);
        if (decoded.length == 0) {
            out.push_back(kReplacement);
            ++at;
            continue;
        }
        // A high surrogate followed by a low one would read back as a different pair of units
        // than it was written from: such text never comes from Utf8FromUtf16.
        if (IsHighSurrogate(decoded.point) && at + decoded.length < utf8.size()) {
            const Decoded next = DecodeAt(utf8, at + decoded.length);
            if (next.length != 0 && IsLowSurrogate(next.point)) {
                out.push_back(kReplacement);
                at += decoded.length;
                continue;
            }
        }
        AppendCodePoint(out, decoded.point);
        at += decoded.length;
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t point = utf16[i];
        if (IsHighSurrogate(point) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        if (point < 0x80) {
            out.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (point >> 6)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (point >> 12)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (point >> 18)));
            out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }
    return out;
}

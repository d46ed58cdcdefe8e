#include "output/desktop_item.h"

#include <algorithm>

namespace {

// The upper case of a letter of the Latin (Basic, Latin-1 and Extended-A), Greek or Cyrillic
// alphabets; any other character as it is. Letters without a single upper-case letter of
// their own (the sharp s, the dotless i, the long s) are left alone.
char16_t UpperCase(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    // Latin Extended-A pairs each capital with the small letter right after it, the capital on
    // an even code from 0x100 and on an odd one from 0x139; three letters break the pattern.
    if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x178) {
        const bool capitalsEven = c < 0x139 || (c >= 0x14A && c <= 0x177);
        const bool isSmall = (c % 2 == 1) == capitalsEven;
        return isSmall ? static_cast<char16_t>(c - 1) : c;
    }
    if (c == 0x3C2) {  // the final sigma
        return 0x3A3;
    }
    if ((c >= 0x3B1 && c <= 0x3CB) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == 0x3AC) {
        return 0x386;
    }
    if (c >= 0x3AD && c <= 0x3AF) {
        return static_cast<char16_t>(c - 0x25);
    }
    if (c == 0x3CC) {
        return 0x38C;
    }
    if (c == 0x3CD || c == 0x3CE) {
        return static_cast<char16_t>(c - 0x3F);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 0x50);
    }
    return c;
}

}  // namespace

bool SamePathIgnoringCase(std::u16string_view left, std::u16string_view right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [](char16_t a, char16_t b) { return UpperCase(a) == UpperCase(b); });
}

bool IsProgramItem(int itemType, std::u16string_view source, std::u16string_view framePath) {
    return itemType == kPictureItemType && SamePathIgnoringCase(source, framePath);
}

NewDesktopItem NewProgramItem(std::u16string_view framePath) {
    NewDesktopItem item;
    item.friendlyName = framePath;
    item.source = framePath;
    item.subscribedUrl = framePath;
    return item;
}

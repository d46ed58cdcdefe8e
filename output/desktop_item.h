// The program's Active Desktop item, as far as it can be told without the shell: which of the
// desktop's items are the program's, and what a new one holds.
//
// The program does not remember its items. It recognises them on the desktop by what it gave
// them: the picture type and, as the source, the full path of "current.bmp". The shell keeps the
// path as it was given, and the same folder may be reached under names that differ in letter
// case, so the source is compared without regard to case, as Windows compares file names. Any
// number of such items may exist; they are all treated alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Item types and states of the shell's item record.
inline constexpr int kPictureItemType = 1;              // COMP_TYPE_PICTURE
inline constexpr std::uint32_t kNormalItemState = 1;    // IS_NORMAL
inline constexpr int kDesktopChoosesPosition = 0xFFFF;  // COMPONENT_DEFAULT_LEFT and _TOP

// Whether an item of this type and source is the program's: a picture whose source is the
// frame's full path, letter case aside.
bool IsProgramItem(int itemType, std::u16string_view source, std::u16string_view framePath);

// Whether two paths are the same text once every letter is in its upper case, as Windows
// compares file names. Letters of the Latin, Greek and Cyrillic alphabets are folded (the
// letters of European languages); any other character must match exactly.
bool SamePathIgnoringCase(std::u16string_view left, std::u16string_view right);

// The fields of a new item that the program sets. The shell's record has more; those stay
// zero. Sizes are in pixels, the preferred position in percent of the desktop.
struct NewDesktopItem {
    int type = kPictureItemType;
    bool checked = true;  // shown
    bool dirty = true;
    bool noScroll = false;
    int left = kDesktopChoosesPosition;
    int top = kDesktopChoosesPosition;
    std::uint32_t width = 320;
    std::uint32_t height = 240;
    int zIndex = 1000;
    bool canResize = true;
    bool canResizeX = true;
    bool canResizeY = true;
    int preferredLeftPercent = 20;
    int preferredTopPercent = 20;
    std::u16string friendlyName;
    std::u16string source;
    std::u16string subscribedUrl;
    std::uint32_t itemState = kNormalItemState;
};

// A small, resizable, shown picture item of the frame, placed by the desktop; the frame's full
// path is its name, its source and its subscribed address.
NewDesktopItem NewProgramItem(std::u16string_view framePath);

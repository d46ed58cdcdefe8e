// Which desktop items are the program's, the path-length rule of the frame's full path, and the
// fields of a new item.
#include "output/desktop_item.h"

#include <gtest/gtest.h>

#include "output/frame_path.h"

namespace {

constexpr char16_t kFramePath[] = u"C:\\Programs\\Orbiscape\\current.bmp";

TEST(DesktopItemTest, AProgramItemIsAPictureOfTheFramesPathInAnyLetterCase) {
    EXPECT_TRUE(IsProgramItem(kPictureItemType, kFramePath, kFramePath));
    EXPECT_TRUE(IsProgramItem(kPictureItemType, u"c:\\PROGRAMS\\orbiscape\\CURRENT.BMP", kFramePath));

    // Other types of item with the same source are someone else's: a web page, an HTML document.
    EXPECT_FALSE(IsProgramItem(2, kFramePath, kFramePath));
    EXPECT_FALSE(IsProgramItem(0, kFramePath, kFramePath));
    // Other sources: a prefix, a longer path, another file, another folder, nothing.
    EXPECT_FALSE(IsProgramItem(kPictureItemType, u"C:\\Programs\\Orbiscape\\current.bm", kFramePath));
    EXPECT_FALSE(IsProgramItem(kPictureItemType, u"C:\\Programs\\Orbiscape\\current.bmp.old", kFramePath));
    EXPECT_FALSE(IsProgramItem(kPictureItemType, u"C:\\Programs\\Orbiscape\\preview.bmp", kFramePath));
    EXPECT_FALSE(IsProgramItem(kPictureItemType, u"D:\\Programs\\Orbiscape\\current.bmp", kFramePath));
    EXPECT_FALSE(IsProgramItem(kPictureItemType, u"", kFramePath));
}

TEST(DesktopItemTest, LettersOfEuropeanAlphabetsCompareWithoutRegardToCase) {
    const std::pair<std::u16string_view, std::u16string_view> same[] = {
        {u"C:\\Users\\J\u00FCrgen \u00E9t\u00E9 \u00FF", u"c:\\users\\J\u00DCRGEN \u00C9T\u00C9 \u0178"},
        {u"\u0141\u00F3d\u017A \u0159\u0115\u0148 \u0133", u"\u0142\u00D3D\u0179 \u0158\u0114\u0147 \u0132"},
        {u"\u0391\u03B8\u03AE\u03BD\u03B1 \u03C2", u"\u03B1\u0398\u0389\u039D\u0391 \u03A3"},
        {u"\u041C\u043E\u0441\u043A\u0432\u0430 \u0451\u0436",
         u"\u043C\u041E\u0421\u041A\u0412\u0410 \u0401\u0416"},
    };
    for (const auto& [left, right] : same) {
        EXPECT_TRUE(SamePathIgnoringCase(left, right));
        EXPECT_TRUE(SamePathIgnoringCase(right, left));
    }
    // Neighbours that are not one letter in two cases stay apart: division and multiplication
    // signs, the sharp s and the capital beside it, the dotless i, the long s, digits and
    // punctuation thirty-two codes apart, a Latin and a Cyrillic a.
    const std::pair<std::u16string_view, std::u16string_view> different[] = {
        {u"\u00F7", u"\u00D7"}, {u"\u00DF", u"\u00BF"}, {u"\u0131", u"I"}, {u"\u017F", u"S"},
        {u"\u0138", u"\u0137"}, {u"1", u"\u0011"},      {u"[", u"{"},      {u"a", u"\u0430"},
        {u"\u0149", u"\u0148"}, {u"ab", u"a"},
    };
    for (const auto& [left, right] : different) {
        EXPECT_FALSE(SamePathIgnoringCase(left, right)) << static_cast<int>(left[0]);
    }
}

TEST(DesktopItemTest, TheFramesPathMustFitIn260CharactersWithItsTerminator) {
    EXPECT_FALSE(FullPathFits(0)) << "the call failed";
    EXPECT_TRUE(FullPathFits(1));
    EXPECT_TRUE(FullPathFits(259));
    EXPECT_FALSE(FullPathFits(260)) << "a 260-character path needs 261 with its terminator";
    EXPECT_FALSE(FullPathFits(261));
    EXPECT_FALSE(FullPathFits(32768));
}

TEST(DesktopItemTest, ANewItemIsASmallResizableShownPictureOfTheFramePlacedByTheDesktop) {
    const NewDesktopItem item = NewProgramItem(kFramePath);
    EXPECT_EQ(item.type, 1);
    EXPECT_TRUE(item.checked);
    EXPECT_TRUE(item.dirty);
    EXPECT_FALSE(item.noScroll);
    EXPECT_EQ(item.left, 0xFFFF);
    EXPECT_EQ(item.top, 0xFFFF);
    EXPECT_EQ(item.width, 320u);
    EXPECT_EQ(item.height, 240u);
    EXPECT_EQ(item.zIndex, 1000);
    EXPECT_TRUE(item.canResize && item.canResizeX && item.canResizeY);
    EXPECT_EQ(item.preferredLeftPercent, 20);
    EXPECT_EQ(item.preferredTopPercent, 20);
    EXPECT_EQ(item.friendlyName, kFramePath);
    EXPECT_EQ(item.source, kFramePath);
    EXPECT_EQ(item.subscribedUrl, kFramePath);
    EXPECT_EQ(item.itemState, 1u);
    EXPECT_TRUE(IsProgramItem(item.type, item.source, kFramePath));
}

}  // namespace

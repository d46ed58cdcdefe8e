#include "app/working_folder_notices.h"

#include <gtest/gtest.h>

namespace {

constexpr std::u16string_view kFolder = u"C:\\Users\\\u042E\u043B\u0438\u044F\\\u5730\u7403";
constexpr std::u16string_view kReason = u"There is not enough space on the disk.";

TEST(WorkingFolderNotices, NameTheFolderAndTheReasonWithinTheShellsLimits) {
    const std::u16string message = UnwritableFolderMessage(kFolder, u"Access is denied.");
    EXPECT_NE(message.find(kFolder), std::u16string::npos);
    EXPECT_NE(message.find(u"Access is denied."), std::u16string::npos);
    EXPECT_NE(message.find(u"installer"), std::u16string::npos);

    const BalloonText shortFolder = WriteFailureBalloon(kFolder, kReason);
    EXPECT_LE(shortFolder.title.size(), kBalloonTitleLimit);
    EXPECT_EQ(shortFolder.text.find(kReason), 0u);
    EXPECT_NE(shortFolder.text.find(kFolder), std::u16string::npos);

    // A folder as long as a path can be keeps its drive and its own name, and the text fits.
    const std::u16string longFolder = u"D:\\" + std::u16string(600, u'x') + u"\\Orbiscape";
    const BalloonText shortened = WriteFailureBalloon(longFolder, kReason);
    EXPECT_EQ(shortened.text.size(), kBalloonTextLimit);
    EXPECT_NE(shortened.text.find(u"D:\\xx"), std::u16string::npos);
    EXPECT_NE(shortened.text.find(u"xx\\Orbiscape. "), std::u16string::npos);
    EXPECT_NE(shortened.text.find(u"\u2026"), std::u16string::npos);

    // So does a text whose reason alone is longer than a balloon.
    const BalloonText longReason = WriteFailureBalloon(kFolder, std::u16string(400, u'r'));
    EXPECT_LE(longReason.text.size(), kBalloonTextLimit);
}

}  // namespace

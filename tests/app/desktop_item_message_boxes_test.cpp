// What the Active Desktop item says reaches the user as message boxes with the program's caption
// and the icon and buttons asked for, and its hint as the dialog with the picture of the item;
// screenshots of each are kept in the test output.
#include "app/desktop_item_message_boxes_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <vector>

#include "tests/framework/modal_loop_support_win.h"
#include "tests/ui/dialog_answers_win.h"
#include "tests/ui/dialog_driver_win.h"

namespace {

using Icon = DesktopItemPrompts::Icon;

// Says everything the item can say, once each, answering yes to the first question and no to
// the second.
std::vector<ShownDialog> SpeakEveryPrompt(DesktopItemMessageBoxes& boxes, bool& yes, bool& no,
                                          std::function<void(HWND dialog)> observe = nullptr) {
    return AnswerDialogsOf(
        [&] {
            boxes.Tell("Could not access Active Deskop.", Icon::kError);
            boxes.Tell("Active Desktop has been enabled.", Icon::kInformation);
            yes = boxes.AskYesNo("Would you like to enable Active Desktop?", Icon::kQuestion);
            no = boxes.AskYesNo("Would you like it to be displayed?", Icon::kNone);
            boxes.ShowEnlargeHint();
        },
        {IDOK, IDOK, IDYES, IDNO, IDOK}, std::move(observe));
}

TEST(DesktopItemMessageBoxesTest, MessagesQuestionsAndTheHintAreShownAsTheUserSeesThem) {
    DrainThreadQueue();
    DesktopItemMessageBoxes boxes;
    bool yes = false;
    bool no = true;
    const char* const screenshots[] = {"item-error", "item-information", "item-question",
                                       "item-plain-question", "item-enlarge-hint"};
    std::size_t kept = 0;
    const std::vector<ShownDialog> shown = SpeakEveryPrompt(boxes, yes, no, [&](HWND dialog) {
        // Found as soon as it exists: shown and painted before the picture is taken.
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, std::chrono::seconds(10)));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (kept < std::size(screenshots)) {
            KeepScreenshot(dialog, screenshots[kept++]);
        }
    });
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    ASSERT_EQ(shown.size(), 5u);
    const char* const icons[] = {"error", "information", "question", "", ""};
    const char* const buttons[] = {"OK", "OK", "Yes No", "Yes No", "OK"};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].caption, "Orbiscape") << i;
        EXPECT_EQ(shown[i].icon, icons[i]) << i;
        EXPECT_EQ(shown[i].buttons, buttons[i]) << i;
    }
    EXPECT_EQ(shown[0].text, "Could not access Active Deskop.");
    EXPECT_EQ(
        shown[4].text,
        "The Orbiscape component has been displayed on your desktop.\n\nFirst hover over the component so "
        "its title bar is displayed, then use your mouse to maximize it as shown below.");

    // Shown again and again, they leave no GDI objects behind: a hint that kept its picture would
    // add one a round.
    ExpectGdiObjectsFlat("rounds of every prompt", 10,
                         [&](int round) { EXPECT_EQ(SpeakEveryPrompt(boxes, yes, no).size(), 5u) << round; });
}

}  // namespace

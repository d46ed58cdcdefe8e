// The Active Desktop item against a stand-in shell object that records every call (registered
// for the Active Desktop class in this process), and against Wine's own object, which answers
// E_NOTIMPL to everything the item needs. The message boxes and the hint dialog are answered
// as a user would, and each test checks what they said. Each test runs in a scratch folder,
// which makes the frame's full path known.
#include "output/desktop_item_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/com_owners_win.h"
#include "tests/output/stand_in_active_desktop_win.h"
#include "tests/render/working_folder.h"
#include "tests/ui/dialog_answers_win.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr char kQueryFailed[] = "Could not query Active Deskop component options.";
constexpr char kRequired[] =
    "Active Desktop is required for Orbiscape to function with the current configuration options.\n\nWould "
    "you like to enable Active Desktop?";
constexpr char kEnabled[] = "Active Desktop has been enabled.";
constexpr char kEnableFailed[] = "Could not enable Active Deskop.";
constexpr char kHidden[] = "The Orbiscape component is currently hidden. Would you like it to be displayed?";
constexpr char kHint[] =
    "The Orbiscape component has been displayed on your desktop.\n\nFirst hover over the component so its "
    "title bar is displayed, then use your mouse to maximize it as shown below.";

std::u16string FramePath() {
    return (std::filesystem::current_path() / "current.bmp").u16string();
}

std::u16string Uppercase(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - 0x20);
        }
    }
    return text;
}

// Runs `call`, answering the dialogs it opens with `answers` in turn; each dialog is noted with
// the shell's last call while it was open.
std::vector<ShownDialog> Answering(const StandInActiveDesktop* shell, std::vector<int> answers,
                                   const std::function<void()>& call) {
    return AnswerDialogsOf(call, std::move(answers), [shell] {
        const std::vector<std::string> calls = shell != nullptr ? shell->Calls() : std::vector<std::string>{};
        return calls.empty() ? std::string() : calls.back();
    });
}

// Every message box and dialog of the item bears the program's name as its caption.
void ExpectDialog(const ShownDialog& shown, const char* text, const char* icon, const char* buttons) {
    EXPECT_EQ(shown.caption, "Orbiscape");
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
}

class ActiveDesktopItemTest : public testing::Test {
  protected:
    // Runs `call` with the answers and forgets the calls made before it.
    std::vector<ShownDialog> Answer(std::vector<int> answers, const std::function<void()>& call) {
        shell_.ClearCalls();
        return Answering(&shell_, std::move(answers), call);
    }

    ComScope com_;  // the test thread's COM, in which the stand-in is registered
    WorkingFolder folder_;
    StandInActiveDesktop shell_;
};

TEST_F(ActiveDesktopItemTest, AnApplyAddsTheMissingItemWithTheHintAndLaterPassesRefreshIt) {
    shell_.PutItem(u"C:\\photos\\dunes.jpg", true);
    shell_.PutItem(FramePath(), true, COMP_TYPE_WEBSITE);  // not a picture: someone else's
    int result = -1;

    // A timed pass finds no item of the program's, makes none and applies the desktop as it is.
    EXPECT_THAT(Answer({}, [&] { result = ShowDesktopItem(false); }), IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                                            "GetDesktopItem 2", "ApplyChanges 0x17"));

    EXPECT_THAT(Answer({}, [&] { result = EnsureActiveDesktopOn(); }), IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItemOptions"));

    const std::vector<ShownDialog> shown = Answer({IDOK}, [&] { result = ShowDesktopItem(true); });
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                                            "GetDesktopItem 2", "AddDesktopItem", "ApplyChanges 0x7"));
    ASSERT_EQ(shown.size(), 1u);
    ExpectDialog(shown[0], kHint, "", "OK");
    EXPECT_EQ(shown[0].note, "AddDesktopItem") << "the hint comes after the item is added, before the apply";
    EXPECT_EQ(shell_.LiveObjects(), 0);

    const std::optional<COMPONENT> added = shell_.LastAdded();
    ASSERT_TRUE(added);
    EXPECT_EQ(added->dwSize, 8976u);
    EXPECT_EQ(added->dwID, 0u);
    EXPECT_EQ(added->iComponentType, COMP_TYPE_PICTURE);
    EXPECT_EQ(added->fChecked, TRUE);
    EXPECT_EQ(added->fDirty, TRUE);
    EXPECT_EQ(added->fNoScroll, FALSE);
    EXPECT_EQ(added->cpPos.dwSize, 44u);
    EXPECT_EQ(added->cpPos.iLeft, COMPONENT_DEFAULT_LEFT);
    EXPECT_EQ(added->cpPos.iTop, COMPONENT_DEFAULT_TOP);
    EXPECT_EQ(added->cpPos.dwWidth, 320u);
    EXPECT_EQ(added->cpPos.dwHeight, 240u);
    EXPECT_EQ(added->cpPos.izIndex, 1000);
    EXPECT_EQ(added->cpPos.fCanResize, TRUE);
    EXPECT_EQ(added->cpPos.fCanResizeX, TRUE);
    EXPECT_EQ(added->cpPos.fCanResizeY, TRUE);
    EXPECT_EQ(added->cpPos.iPreferredLeftPercent, 20);
    EXPECT_EQ(added->cpPos.iPreferredTopPercent, 20);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(added->wszFriendlyName)), FramePath());
    EXPECT_EQ(SourceOf(*added), FramePath());
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(added->wszSubscribedURL)), FramePath());
    EXPECT_EQ(added->dwCurItemState, static_cast<DWORD>(IS_NORMAL));
    const COMPSTATEINFO untouched{};
    EXPECT_EQ(std::memcmp(&added->csiOriginal, &untouched, sizeof untouched), 0);
    EXPECT_EQ(std::memcmp(&added->csiRestored, &untouched, sizeof untouched), 0);

    // From now on the item is there and shown: each pass re-sets its source, quietly.
    for (const bool interactive : {false, true}) {
        EXPECT_THAT(Answer({}, [&] { result = ShowDesktopItem(interactive); }), IsEmpty());
        EXPECT_EQ(result, 1);
        EXPECT_THAT(shell_.Calls(),
                    ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "GetDesktopItem 2",
                                "ModifyDesktopItem 3 0x200", "GetDesktopItem 3",
                                interactive ? "ApplyChanges 0x7" : "ApplyChanges 0x17"));
    }
    EXPECT_EQ(shell_.Items().size(), 3u);
}

TEST_F(ActiveDesktopItemTest, ActiveDesktopOffIsSwitchedOnOnlyWhenTheUserSaysYes) {
    int result = -1;
    for (const auto& [components, active] :
         {std::pair{false, false}, std::pair{false, true}, std::pair{true, false}}) {
        shell_.SetOptions(components, active);
        const std::vector<ShownDialog> shown = Answer({IDNO}, [&] { result = EnsureActiveDesktopOn(); });
        EXPECT_EQ(result, 0);
        ASSERT_EQ(shown.size(), 1u);
        ExpectDialog(shown[0], kRequired, "question", "Yes No");
        EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItemOptions"));
        EXPECT_EQ(shell_.Options().fEnableComponents, components);
        EXPECT_EQ(shell_.Options().fActiveDesktop, active);
    }

    const std::vector<ShownDialog> shown = Answer({IDYES, IDOK}, [&] { result = EnsureActiveDesktopOn(); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 2u);
    ExpectDialog(shown[0], kRequired, "question", "Yes No");
    ExpectDialog(shown[1], kEnabled, "information", "OK");
    EXPECT_EQ(shown[1].note, "ApplyChanges 0xf") << "told once the change is applied";
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItemOptions",
                            "SetDesktopItemOptions components=1 active=1", "ApplyChanges 0xf"));
    EXPECT_TRUE(shell_.Options().fEnableComponents && shell_.Options().fActiveDesktop);
    EXPECT_EQ(shell_.LiveObjects(), 0);
}

TEST_F(ActiveDesktopItemTest, AHiddenItemIsShownOnlyByAnApplyWhoseQuestionIsAnsweredYes) {
    const DWORD id = shell_.PutItem(FramePath(), false);
    int result = -1;

    EXPECT_THAT(Answer({}, [&] { result = ShowDesktopItem(false); }), IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "ApplyChanges 0x17"));

    std::vector<ShownDialog> shown = Answer({IDNO}, [&] { result = ShowDesktopItem(true); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 1u);
    ExpectDialog(shown[0], kHidden, "", "Yes No");
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "ApplyChanges 0x7"));
    EXPECT_FALSE(shell_.Items()[0].fChecked);

    shown = Answer({IDYES}, [&] { result = ShowDesktopItem(true); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 1u) << "no hint: the item was not new";
    ExpectDialog(shown[0], kHidden, "", "Yes No");
    const std::string show = "ModifyDesktopItem " + std::to_string(id) + " 0x202";
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "GetDesktopItem 0",
                            show, "GetDesktopItem 1", "ApplyChanges 0x7"));
    ASSERT_EQ(shell_.Items().size(), 1u);
    EXPECT_TRUE(shell_.Items()[0].fChecked);
    EXPECT_EQ(SourceOf(shell_.Items()[0]), FramePath());
}

TEST_F(ActiveDesktopItemTest, AllItemsOfTheFramesPathInAnyCaseAreRefreshedAndRemovedAlike) {
    shell_.PutItem(FramePath(), false);              // 1: hidden
    shell_.PutItem(Uppercase(FramePath()), true);    // 2: shown, the path in capitals
    shell_.PutItem(u"C:\\photos\\dunes.jpg", true);  // 3: someone else's
    shell_.PutItem(FramePath(), true);               // 4: shown
    int result = -1;

    // A shown item among hidden ones: no question.
    EXPECT_THAT(Answer({}, [&] { result = ShowDesktopItem(true); }), IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                            "ModifyDesktopItem 2 0x200", "GetDesktopItem 2", "GetDesktopItem 3",
                            "ModifyDesktopItem 4 0x200", "GetDesktopItem 4", "ApplyChanges 0x7"));
    EXPECT_FALSE(shell_.Items()[0].fChecked);

    // Each removal moves the later items up, so the same index is fetched again.
    EXPECT_THAT(Answer({}, [&] { RemoveDesktopItems(); }), IsEmpty());
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "RemoveDesktopItem 1", "GetDesktopItem 0",
                            "RemoveDesktopItem 2", "GetDesktopItem 0", "GetDesktopItem 1",
                            "RemoveDesktopItem 4", "GetDesktopItem 1", "ApplyChanges 0x7"));
    ASSERT_EQ(shell_.Items().size(), 1u);
    EXPECT_EQ(shell_.Items()[0].dwID, 3u);
    EXPECT_EQ(shell_.LiveObjects(), 0);
}

TEST_F(ActiveDesktopItemTest, TheFramesFullPathMustFitIn260WideCharacters) {
    // "\current.bmp" adds 12 characters to the folder's path.
    const auto enterFolderOfLength = [](std::size_t length) {
        std::filesystem::path folder = std::filesystem::current_path();
        while (folder.native().size() < length) {
            const std::size_t room = length - folder.native().size() - 1;
            folder /= std::wstring(std::min<std::size_t>(room, 100), L'd');
        }
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    };
    const std::filesystem::path scratch = std::filesystem::current_path();

    enterFolderOfLength(MAX_PATH - 1 - 12);
    ASSERT_EQ(FramePath().size(), static_cast<std::size_t>(MAX_PATH - 1));
    shell_.PutItem(FramePath(), true);
    EXPECT_EQ(Answer({}, [] { ShowDesktopItem(false); }).size(), 0u);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "ModifyDesktopItem 1 0x200",
                                            "GetDesktopItem 1", "ApplyChanges 0x17"));

    std::filesystem::current_path(scratch);
    enterFolderOfLength(MAX_PATH - 12);
    ASSERT_EQ(FramePath().size(), static_cast<std::size_t>(MAX_PATH));
    int shown = -1;
    int timed = -1;
    EXPECT_THAT(Answer({},
                       [&] {
                           shown = ShowDesktopItem(true);
                           timed = ShowDesktopItem(false);
                           RemoveDesktopItems();
                       }),
                IsEmpty());
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(timed, 0);
    EXPECT_THAT(shell_.Calls(), IsEmpty()) << "not even the object is created";
    std::filesystem::current_path(scratch);
}

TEST(ActiveDesktopItemRefusalTest, EachRefusalOfTheShellEndsAsThePartsOfTheItemSay) {
    const ComScope com;
    const WorkingFolder folder;
    struct Case {
        const char* name;
        std::function<void(StandInActiveDesktop&)> prepare;
        std::function<int()> call;
        std::vector<int> answers;
        int result;
        std::vector<std::string> texts;  // of the dialogs, in order
        std::vector<std::string> calls;  // the last ones
    };
    const std::vector<Case> cases = {
        {"no object",
         [](StandInActiveDesktop& shell) { shell.Fail("CreateInstance"); },
         EnsureActiveDesktopOn,
         {IDOK},
         0,
         {"Could not access Active Deskop."},
         {"CreateInstance"}},
        {"no options",
         [](StandInActiveDesktop& shell) { shell.Fail("GetDesktopItemOptions"); },
         EnsureActiveDesktopOn,
         {IDOK},
         0,
         {kQueryFailed},
         {"CreateInstance", "GetDesktopItemOptions"}},
        {"options not stored",
         [](StandInActiveDesktop& shell) {
             shell.SetOptions(false, false);
             shell.Fail("SetDesktopItemOptions");
         },
         EnsureActiveDesktopOn,
         {IDYES, IDOK},
         0,
         {kRequired, kEnableFailed},
         {"GetDesktopItemOptions", "SetDesktopItemOptions components=1 active=1"}},
        {"options not applied",
         [](StandInActiveDesktop& shell) {
             shell.SetOptions(false, false);
             shell.Fail("ApplyChanges");
         },
         EnsureActiveDesktopOn,
         {IDYES, IDOK},
         0,
         {kRequired, kEnableFailed},
         {"SetDesktopItemOptions components=1 active=1", "ApplyChanges 0xf"}},
        {"item not created",
         [](StandInActiveDesktop& shell) { shell.Fail("CreateInstance"); },
         [] { return ShowDesktopItem(true); },
         {},
         0,
         {},
         {"CreateInstance"}},
        {"item not added",
         [](StandInActiveDesktop& shell) { shell.Fail("AddDesktopItem"); },
         [] { return ShowDesktopItem(true); },
         {},
         0,
         {},
         {"GetDesktopItem 0", "AddDesktopItem"}},
        // A shown item whose refresh fails is still there: no second item, no question.
        {"item not refreshed",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.Fail("ModifyDesktopItem");
         },
         [] { return ShowDesktopItem(true); },
         {},
         0,
         {},
         {"ModifyDesktopItem 1 0x200", "GetDesktopItem 1"}},
        {"item refreshed, changes not applied",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.Fail("ApplyChanges");
         },
         [] { return ShowDesktopItem(false); },
         {},
         0,
         {},
         {"GetDesktopItem 1", "ApplyChanges 0x17"}},
        {"hidden item not shown",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), false);
             shell.Fail("ModifyDesktopItem");
         },
         [] { return ShowDesktopItem(true); },
         {IDYES},
         0,
         {kHidden},
         {"ModifyDesktopItem 1 0x202", "GetDesktopItem 1"}},
        {"item not removed",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.PutItem(FramePath(), true);
             shell.Fail("RemoveDesktopItem");
         },
         [] {
             RemoveDesktopItems();
             return 0;
         },
         {},
         0,
         {},
         {"RemoveDesktopItem 1", "GetDesktopItem 1", "RemoveDesktopItem 2", "GetDesktopItem 2",
          "ApplyChanges 0x7"}},
        // A shell whose removals leave the item in place must not keep the removal going for ever.
        {"removal that removes nothing",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.KeepItemsOnRemoval();
         },
         [] {
             RemoveDesktopItems();
             return 0;
         },
         {},
         0,
         {},
         {"GetDesktopItem 0", "RemoveDesktopItem 1", "ApplyChanges 0x7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandInActiveDesktop shell;
        c.prepare(shell);
        int result = -1;
        const std::vector<ShownDialog> shown = Answering(&shell, c.answers, [&] { result = c.call(); });
        EXPECT_EQ(result, c.result);
        std::vector<std::string> texts;
        for (const ShownDialog& dialog : shown) {
            EXPECT_EQ(dialog.caption, "Orbiscape");
            texts.push_back(dialog.text);
        }
        EXPECT_EQ(texts, c.texts);
        const std::vector<std::string> calls = shell.Calls();
        ASSERT_GE(calls.size(), c.calls.size());
        EXPECT_EQ(
            std::vector<std::string>(calls.end() - static_cast<std::ptrdiff_t>(c.calls.size()), calls.end()),
            c.calls);
        EXPECT_LT(calls.size(), 30000u);
    }
}

TEST(ActiveDesktopItemRefusalTest, WithoutCOMOnlyTheQuestionOfActiveDesktopSpeaks) {
    const ComScope com;
    const WorkingFolder folder;
    const StandInActiveDesktop shell;
    std::vector<ShownDialog> shown;
    int ensured = -1;
    int showed = -1;
    // A thread of the other apartment kind, on which CoInitialize fails.
    std::thread other([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        shown = Answering(nullptr, {IDOK}, [&] {
            ensured = EnsureActiveDesktopOn();
            showed = ShowDesktopItem(true);
            RemoveDesktopItems();
        });
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(ensured, 0);
    EXPECT_EQ(showed, 0);
    ASSERT_EQ(shown.size(), 1u);
    ExpectDialog(shown[0], "Could not initialize COM. This is not supposed to happen you know.", "error",
                 "OK");
    EXPECT_THAT(shell.Calls(), IsEmpty());
}

// Wine's own object: created, but every method answers E_NOTIMPL.
TEST(WineActiveDesktopTest, TheShellThatRefusesEverythingIsToldOnceAndOnlyByTheQuestionOfActiveDesktop) {
    const WorkingFolder folder;
    int ensured = -1;
    int shownInteractively = -1;
    int shownTimed = -1;
    const std::vector<ShownDialog> shown = Answering(nullptr, {IDOK}, [&] {
        ensured = EnsureActiveDesktopOn();
        shownInteractively = ShowDesktopItem(true);
        shownTimed = ShowDesktopItem(false);
        RemoveDesktopItems();
    });
    EXPECT_EQ(ensured, 0);
    EXPECT_EQ(shownInteractively, 0);
    EXPECT_EQ(shownTimed, 0);
    ASSERT_EQ(shown.size(), 1u);
    ExpectDialog(shown[0], kQueryFailed, "error", "OK");
}

}  // namespace

// The Active Desktop item against a stand-in shell object that records every call (registered
// for the Active Desktop class in this process), and against Wine's own object, which answers
// E_NOTIMPL to everything the item needs. The user is played by the test, which answers the
// questions and checks what was said and asked. Each test runs in a scratch folder, which makes
// the frame's full path known.
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
#include "tests/output/scripted_prompts.h"
#include "tests/output/stand_in_active_desktop_win.h"
#include "tests/render/working_folder.h"

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

// A user whose every prompt is noted with the shell's last call at that moment.
class UserOf : public ScriptedPrompts {
  public:
    explicit UserOf(const StandInActiveDesktop* shell)
        : ScriptedPrompts([shell] {
              const std::vector<std::string> calls =
                  shell != nullptr ? shell->Calls() : std::vector<std::string>{};
              return calls.empty() ? std::string() : calls.back();
          }) {}
};

// Runs `call` with a user who answers the questions with `answers` in turn; returns what the
// user was shown.
std::vector<Prompted> Answering(const StandInActiveDesktop* shell, std::vector<bool> answers,
                                const std::function<void(DesktopItemPrompts&)>& call) {
    UserOf user(shell);
    user.Script(std::move(answers));
    call(user);
    return user.Shown();
}

void ExpectPrompt(const Prompted& shown, const char* text, const char* icon, const char* buttons) {
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
}

class ActiveDesktopItemTest : public testing::Test {
  protected:
    // Runs `call` with the answers and forgets the calls made before it.
    std::vector<Prompted> Answer(std::vector<bool> answers,
                                 const std::function<void(DesktopItemPrompts&)>& call) {
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
    EXPECT_THAT(Answer({}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(false, user); }),
                IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                                            "GetDesktopItem 2", "ApplyChanges 0x17"));

    EXPECT_THAT(Answer({}, [&](DesktopItemPrompts& user) { result = EnsureActiveDesktopOn(user); }),
                IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItemOptions"));

    const std::vector<Prompted> shown =
        Answer({}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(true, user); });
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                                            "GetDesktopItem 2", "AddDesktopItem", "ApplyChanges 0x7"));
    ASSERT_EQ(shown.size(), 1u);
    ExpectPrompt(shown[0], kEnlargeHintShown, "", "OK");
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
        EXPECT_THAT(
            Answer({}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(interactive, user); }),
            IsEmpty());
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
        const std::vector<Prompted> shown =
            Answer({false}, [&](DesktopItemPrompts& user) { result = EnsureActiveDesktopOn(user); });
        EXPECT_EQ(result, 0);
        ASSERT_EQ(shown.size(), 1u);
        ExpectPrompt(shown[0], kRequired, "question", "Yes No");
        EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItemOptions"));
        EXPECT_EQ(shell_.Options().fEnableComponents, components);
        EXPECT_EQ(shell_.Options().fActiveDesktop, active);
    }

    const std::vector<Prompted> shown =
        Answer({true}, [&](DesktopItemPrompts& user) { result = EnsureActiveDesktopOn(user); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 2u);
    ExpectPrompt(shown[0], kRequired, "question", "Yes No");
    ExpectPrompt(shown[1], kEnabled, "information", "OK");
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

    EXPECT_THAT(Answer({}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(false, user); }),
                IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "ApplyChanges 0x17"));

    std::vector<Prompted> shown =
        Answer({false}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(true, user); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 1u);
    ExpectPrompt(shown[0], kHidden, "", "Yes No");
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1", "ApplyChanges 0x7"));
    EXPECT_FALSE(shell_.Items()[0].fChecked);

    shown = Answer({true}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(true, user); });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(shown.size(), 1u) << "no hint: the item was not new";
    ExpectPrompt(shown[0], kHidden, "", "Yes No");
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
    EXPECT_THAT(Answer({}, [&](DesktopItemPrompts& user) { result = ShowDesktopItem(true, user); }),
                IsEmpty());
    EXPECT_EQ(result, 1);
    EXPECT_THAT(shell_.Calls(),
                ElementsAre("CreateInstance", "GetDesktopItem 0", "GetDesktopItem 1",
                            "ModifyDesktopItem 2 0x200", "GetDesktopItem 2", "GetDesktopItem 3",
                            "ModifyDesktopItem 4 0x200", "GetDesktopItem 4", "ApplyChanges 0x7"));
    EXPECT_FALSE(shell_.Items()[0].fChecked);

    // Each removal moves the later items up, so the same index is fetched again.
    EXPECT_THAT(Answer({}, [&](DesktopItemPrompts&) { RemoveDesktopItems(); }), IsEmpty());
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
    EXPECT_EQ(Answer({}, [](DesktopItemPrompts& user) { ShowDesktopItem(false, user); }).size(), 0u);
    EXPECT_THAT(shell_.Calls(), ElementsAre("CreateInstance", "GetDesktopItem 0", "ModifyDesktopItem 1 0x200",
                                            "GetDesktopItem 1", "ApplyChanges 0x17"));

    std::filesystem::current_path(scratch);
    enterFolderOfLength(MAX_PATH - 12);
    ASSERT_EQ(FramePath().size(), static_cast<std::size_t>(MAX_PATH));
    int shown = -1;
    int timed = -1;
    EXPECT_THAT(Answer({},
                       [&](DesktopItemPrompts& user) {
                           shown = ShowDesktopItem(true, user);
                           timed = ShowDesktopItem(false, user);
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
        std::function<bool(DesktopItemPrompts&)> call;
        std::vector<bool> answers;
        bool result;
        std::vector<std::string> texts;  // of the prompts, in order
        std::vector<std::string> calls;  // the last ones
    };
    const std::vector<Case> cases = {
        {"no object",
         [](StandInActiveDesktop& shell) { shell.Fail("CreateInstance"); },
         EnsureActiveDesktopOn,
         {},
         false,
         {"Could not access Active Deskop."},
         {"CreateInstance"}},
        {"no options",
         [](StandInActiveDesktop& shell) { shell.Fail("GetDesktopItemOptions"); },
         EnsureActiveDesktopOn,
         {},
         false,
         {kQueryFailed},
         {"CreateInstance", "GetDesktopItemOptions"}},
        {"options not stored",
         [](StandInActiveDesktop& shell) {
             shell.SetOptions(false, false);
             shell.Fail("SetDesktopItemOptions");
         },
         EnsureActiveDesktopOn,
         {true},
         false,
         {kRequired, kEnableFailed},
         {"GetDesktopItemOptions", "SetDesktopItemOptions components=1 active=1"}},
        {"options not applied",
         [](StandInActiveDesktop& shell) {
             shell.SetOptions(false, false);
             shell.Fail("ApplyChanges");
         },
         EnsureActiveDesktopOn,
         {true},
         false,
         {kRequired, kEnableFailed},
         {"SetDesktopItemOptions components=1 active=1", "ApplyChanges 0xf"}},
        {"item not created",
         [](StandInActiveDesktop& shell) { shell.Fail("CreateInstance"); },
         [](DesktopItemPrompts& user) { return ShowDesktopItem(true, user); },
         {},
         false,
         {},
         {"CreateInstance"}},
        {"item not added",
         [](StandInActiveDesktop& shell) { shell.Fail("AddDesktopItem"); },
         [](DesktopItemPrompts& user) { return ShowDesktopItem(true, user); },
         {},
         false,
         {},
         {"GetDesktopItem 0", "AddDesktopItem"}},
        // A shown item whose refresh fails is still there: no second item, no question.
        {"item not refreshed",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.Fail("ModifyDesktopItem");
         },
         [](DesktopItemPrompts& user) { return ShowDesktopItem(true, user); },
         {},
         false,
         {},
         {"ModifyDesktopItem 1 0x200", "GetDesktopItem 1"}},
        {"item refreshed, changes not applied",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.Fail("ApplyChanges");
         },
         [](DesktopItemPrompts& user) { return ShowDesktopItem(false, user); },
         {},
         false,
         {},
         {"GetDesktopItem 1", "ApplyChanges 0x17"}},
        {"hidden item not shown",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), false);
             shell.Fail("ModifyDesktopItem");
         },
         [](DesktopItemPrompts& user) { return ShowDesktopItem(true, user); },
         {true},
         false,
         {kHidden},
         {"ModifyDesktopItem 1 0x202", "GetDesktopItem 1"}},
        {"item not removed",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.PutItem(FramePath(), true);
             shell.Fail("RemoveDesktopItem");
         },
         [](DesktopItemPrompts&) {
             RemoveDesktopItems();
             return false;
         },
         {},
         false,
         {},
         {"RemoveDesktopItem 1", "GetDesktopItem 1", "RemoveDesktopItem 2", "GetDesktopItem 2",
          "ApplyChanges 0x7"}},
        // A shell whose removals leave the item in place must not keep the removal going for ever.
        {"removal that removes nothing",
         [](StandInActiveDesktop& shell) {
             shell.PutItem(FramePath(), true);
             shell.KeepItemsOnRemoval();
         },
         [](DesktopItemPrompts&) {
             RemoveDesktopItems();
             return false;
         },
         {},
         false,
         {},
         {"GetDesktopItem 0", "RemoveDesktopItem 1", "ApplyChanges 0x7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandInActiveDesktop shell;
        c.prepare(shell);
        bool result = !c.result;
        const std::vector<Prompted> shown =
            Answering(&shell, c.answers, [&](DesktopItemPrompts& user) { result = c.call(user); });
        EXPECT_EQ(result, c.result);
        std::vector<std::string> texts;
        for (const Prompted& prompt : shown) {
            texts.push_back(prompt.text);
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
    std::vector<Prompted> shown;
    int ensured = -1;
    int showed = -1;
    // A thread of the other apartment kind, on which CoInitialize fails.
    std::thread other([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        shown = Answering(nullptr, {}, [&](DesktopItemPrompts& user) {
            ensured = EnsureActiveDesktopOn(user);
            showed = ShowDesktopItem(true, user);
            RemoveDesktopItems();
        });
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(ensured, 0);
    EXPECT_EQ(showed, 0);
    ASSERT_EQ(shown.size(), 1u);
    ExpectPrompt(shown[0], "Could not initialize COM. This is not supposed to happen you know.", "error",
                 "OK");
    EXPECT_THAT(shell.Calls(), IsEmpty());
}

// Wine's own object: created, but every method answers E_NOTIMPL.
TEST(WineActiveDesktopTest, TheShellThatRefusesEverythingIsToldOnceAndOnlyByTheQuestionOfActiveDesktop) {
    const WorkingFolder folder;
    int ensured = -1;
    int shownInteractively = -1;
    int shownTimed = -1;
    const std::vector<Prompted> shown = Answering(nullptr, {}, [&](DesktopItemPrompts& user) {
        ensured = EnsureActiveDesktopOn(user);
        shownInteractively = ShowDesktopItem(true, user);
        shownTimed = ShowDesktopItem(false, user);
        RemoveDesktopItems();
    });
    EXPECT_EQ(ensured, 0);
    EXPECT_EQ(shownInteractively, 0);
    EXPECT_EQ(shownTimed, 0);
    ASSERT_EQ(shown.size(), 1u);
    ExpectPrompt(shown[0], kQueryFailed, "error", "OK");
}

}  // namespace

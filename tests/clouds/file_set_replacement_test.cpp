#include "clouds/file_set_replacement.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "cloud_test_support.h"
#include "tests/render/working_folder.h"

namespace {

void Write(const char* name, const char* text) {
    std::ofstream(name, std::ios::binary) << text;
}

std::set<std::string> FolderEntries() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Three names in use: "a" and "c" hold files, "b" none yet.
constexpr std::array<FileToReplace, 3> kSet = {{
    {"a", "a-new", "a-old"},
    {"b", "b-new", "b-old"},
    {"c", "c-new", "c-old"},
}};

void WriteOldSet() {
    Write("a", "old a");
    Write("c", "old c");
}

void WriteNewFiles() {
    Write("a-new", "new a");
    Write("b-new", "new b");
    Write("c-new", "new c");
}

bool HoldsOldSet() {
    return FileText("a") == "old a" && !std::filesystem::exists("b") && FileText("c") == "old c" &&
           FolderEntries() == std::set<std::string>{"a", "c"};
}

bool HoldsNewSet() {
    return FileText("a") == "new a" && FileText("b") == "new b" && FileText("c") == "new c" &&
           FolderEntries() == std::set<std::string>{"a", "b", "c"};
}

// How a process's end looks from inside: nothing after it runs.
struct ProcessEnded {};

// A replacement of kSet that its process's end cuts off before its change number cutAt.
void ReplaceCutOffAt(int cutAt) {
    int changes = 0;
    EXPECT_THROW(ReplaceFilesAsOne(kSet,
                                   [&] {
                                       if (++changes == cutAt) {
                                           throw ProcessEnded{};
                                       }
                                   }),
                 ProcessEnded);
}

TEST(ReplaceFilesAsOne, EveryFileOrNone) {
    WorkingFolder folder;
    WriteOldSet();
    Write("a-new", "new a");
    Write("b-new", "new b");

    // The last new file is missing: the first two, moved in already, go back, and "b" is empty
    // again.
    EXPECT_FALSE(ReplaceFilesAsOne(kSet));
    EXPECT_TRUE(HoldsOldSet());

    WriteNewFiles();
    EXPECT_TRUE(ReplaceFilesAsOne(kSet));
    EXPECT_TRUE(HoldsNewSet());
    EXPECT_EQ(FinishOrUndoReplacement(kSet), ReplacementOutcome::NoneCutOff);
    EXPECT_TRUE(HoldsNewSet());
}

TEST(ReplaceFilesAsOne, ANameInUseNeverStandsEmpty) {
    WorkingFolder folder;
    WriteOldSet();
    WriteNewFiles();
    int changes = 0;
    EXPECT_TRUE(ReplaceFilesAsOne(kSet, [&changes] {
        ++changes;
        EXPECT_TRUE(std::filesystem::exists("a")) << changes;
        EXPECT_TRUE(std::filesystem::exists("c")) << changes;
    }));
    EXPECT_TRUE(HoldsNewSet());
}

// A replacement cut off at each of its changes in turn, and the next start's recovery: the names
// in use hold the whole old set or the whole new one, and nothing else is left. Cut before its
// last move it is undone; after, finished.
TEST(FinishOrUndoReplacement, LeavesTheOldOrTheNewSetWhereverAReplacementWasCutOff) {
    int changesOfAWholeReplacement = 0;
    {
        WorkingFolder folder;
        WriteOldSet();
        WriteNewFiles();
        ASSERT_TRUE(ReplaceFilesAsOne(kSet, [&] { ++changesOfAWholeReplacement; }));
    }
    // Keep aside and move in, three times, then clear the three kept files away.
    ASSERT_EQ(changesOfAWholeReplacement, 9);
    const int lastMove = 6;
    for (int cutAt = 1; cutAt <= changesOfAWholeReplacement; ++cutAt) {
        SCOPED_TRACE(cutAt);
        WorkingFolder folder;
        WriteOldSet();
        WriteNewFiles();
        ReplaceCutOffAt(cutAt);
        const ReplacementOutcome outcome = FinishOrUndoReplacement(kSet);
        if (cutAt <= lastMove) {
            EXPECT_EQ(outcome, ReplacementOutcome::Undone);
            EXPECT_TRUE(HoldsOldSet());
        } else {
            EXPECT_EQ(outcome, ReplacementOutcome::Finished);
            EXPECT_TRUE(HoldsNewSet());
        }
        // A second start finds nothing more to do.
        EXPECT_EQ(FinishOrUndoReplacement(kSet), ReplacementOutcome::NoneCutOff);
    }
}

TEST(FinishOrUndoReplacement, UndoesAReplacementCutOffWhileItPutFilesBack) {
    // "c" cannot be kept aside, a folder taking its kept name: "a" and "b" are put back.
    int changesOfAFailedReplacement = 0;
    {
        WorkingFolder folder;
        WriteOldSet();
        WriteNewFiles();
        std::filesystem::create_directories("c-old/taken");
        ASSERT_FALSE(ReplaceFilesAsOne(kSet, [&] { ++changesOfAFailedReplacement; }));
        std::filesystem::remove_all("c-old");
        EXPECT_TRUE(HoldsOldSet());
    }
    for (int cutAt = 1; cutAt <= changesOfAFailedReplacement; ++cutAt) {
        SCOPED_TRACE(cutAt);
        WorkingFolder folder;
        WriteOldSet();
        WriteNewFiles();
        std::filesystem::create_directories("c-old/taken");
        ReplaceCutOffAt(cutAt);
        std::filesystem::remove_all("c-old");
        FinishOrUndoReplacement(kSet);
        EXPECT_TRUE(HoldsOldSet());
    }
}

TEST(FinishOrUndoReplacement, PutsBackAFileThatEarlierVersionsMovedAsideBeforeReplacingIt) {
    // Earlier versions moved the file in use aside before moving the new one in, so a cut between
    // the two left its name empty while the map sat under the kept name.
    WorkingFolder folder;
    Write("a-old", "old a");
    Write("c", "old c");
    WriteNewFiles();
    EXPECT_EQ(FinishOrUndoReplacement(kSet), ReplacementOutcome::Undone);
    EXPECT_TRUE(HoldsOldSet());
}

}  // namespace

#include "image/file_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "bitmap_test_support.h"
#include "framework/path_text.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned long OwnProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

TEST(FileIoTest, ReadsWholeFilesWithinTheLimit) {
    ScratchFolder folder;
    const std::string name = folder.File("data.bin");
    Bytes big(3 * 1024 * 1024 + 17);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>(i * 7);
    }
    WriteBytes(name, big);
    EXPECT_EQ(ReadWholeFile(name.c_str(), big.size()), big);
    EXPECT_FALSE(ReadWholeFile(name.c_str(), big.size() - 1));
    WriteBytes(name, {});
    EXPECT_EQ(ReadWholeFile(name.c_str(), 10), Bytes{});
    EXPECT_FALSE(ReadWholeFile(folder.File("missing").c_str(), 10));
}

TEST(FileIoTest, ReplacementWritesThePiecesInOrder) {
    ScratchFolder folder;
    const std::string name = folder.File("out.bin");
    WriteBytes(name, Bytes(1000, 9));
    const Bytes first = {1, 2, 3};
    const Bytes second = {4, 5};
    ASSERT_TRUE(ReplaceFileContents(name.c_str(), {first, {}, second}));
    EXPECT_EQ(ReadBytes(name), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.bin"});
}

TEST(FileIoTest, FilesInAFolderNamedInAnyScriptAndTheReasonsOfFailedWrites) {
    ScratchFolder folder;
    // "Юлия 地球": letters of no single ANSI code page.
    const std::string folderName = "\xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F \xE5\x9C\xB0\xE7\x90\x83";
    const std::filesystem::path unicodeFolder = PathOf(folder.File("")) / PathOf(folderName);
    ASSERT_TRUE(std::filesystem::create_directory(unicodeFolder));
    const std::string name = folder.File("") + "/" + folderName + "/current.bmp";
    TakeWriteFailure();

    ASSERT_TRUE(ReplaceFileContents(name.c_str(), {Bytes{1, 2, 3}}));
    EXPECT_EQ(ReadWholeFile(name.c_str(), 10), (Bytes{1, 2, 3}));
    ASSERT_TRUE(ReplaceFileContents(name.c_str(), {Bytes{4}}));
    EXPECT_EQ(ReadWholeFile(name.c_str(), 10), Bytes{4});
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(unicodeFolder)) {
        entries.push_back(PathText(entry.path().filename()));
    }
    EXPECT_EQ(entries, std::vector<std::string>{"current.bmp"});
    EXPECT_FALSE(TakeWriteFailure());

    // A file that cannot even be created is reported once, with its name and the system's reason.
    const std::string unwritable = folder.File("no-such-folder/current.bmp");
    EXPECT_FALSE(ReplaceFileContents(unwritable.c_str(), {Bytes{1}}));
    const std::optional<WriteFailure> failure = TakeWriteFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->File, unwritable);
    EXPECT_NE(failure->Error, 0u);
    EXPECT_FALSE(TakeWriteFailure());
}

TEST(FileIoTest, TemporaryNamesAreBesideTheTargetAndDifferPerThread) {
    EXPECT_EQ(TemporaryNameBeside("dir/current.bmp", 12, 34), "dir/current.bmp.12-34.tmp");
    EXPECT_NE(TemporaryNameBeside("a", 1, 2), TemporaryNameBeside("a", 1, 3));
    EXPECT_NE(TemporaryNameBeside("a", 1, 2), TemporaryNameBeside("a", 2, 2));
    EXPECT_EQ(TemporaryNamePattern("dir/current.bmp"), "dir/current.bmp.*-*.tmp");
    EXPECT_EQ(TemporaryFileWriter("dir/current.bmp", "dir/current.bmp.12-34.tmp"), 12u);
    for (const char* other :
         {"dir/current.bmp.12-.tmp", "dir/current.bmp.-34.tmp", "dir/current.bmp.1x-34.tmp",
          "dir/current.bmp.12-34.tmpx", "dir/current-day.bmp.12-34.tmp", "dir/current.bmp.99999999999-1.tmp",
          "current.bmp.12-34.tmp"}) {
        EXPECT_FALSE(TemporaryFileWriter("dir/current.bmp", other)) << other;
    }
}

TEST(FileIoTest, LeftoverTemporariesGoOnlyWhenTheirWriterHasEnded) {
    ScratchFolder folder;
    const std::string frame = folder.File("current.bmp");
    for (const unsigned long writer : {7ul, 8ul}) {
        WriteBytes(TemporaryNameBeside(frame.c_str(), writer, 1), {1});
    }
    WriteBytes(folder.File("current.bmp.notes.tmp"), {2});
    RemoveLeftoverTemporaries(frame.c_str(), [](unsigned long writer) { return writer == 8; });
    std::vector<std::string> left = folder.Entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"current.bmp.8-1.tmp", "current.bmp.notes.tmp"}));
    // This process counts as ended, and so does one long gone.
    EXPECT_FALSE(OtherProcessRuns(OwnProcessId()));
    EXPECT_FALSE(OtherProcessRuns(0xFFFFFFF0ul));
}

TEST(FileIoTest, ASecondNameKeepsTheOldContentWhenANewFileTakesTheFirst) {
    ScratchFolder folder;
    const std::string inUse = folder.File("in-use");
    const std::string kept = folder.File("kept");
    const std::string made = folder.File("made");
    WriteBytes(inUse, {1, 2, 3});
    WriteBytes(kept, {9});
    WriteBytes(made, {4, 5});
    ASSERT_TRUE(KeepUnderSecondName(inUse.c_str(), kept.c_str()));
    EXPECT_EQ(ReadBytes(inUse), (Bytes{1, 2, 3}));
    ASSERT_TRUE(MoveFileOver(made.c_str(), inUse.c_str()));
    EXPECT_EQ(ReadBytes(inUse), (Bytes{4, 5}));
    EXPECT_EQ(ReadBytes(kept), (Bytes{1, 2, 3}));
    // The copy a volume without links gets instead.
    ASSERT_TRUE(CopyFileContents(inUse.c_str(), made.c_str()));
    EXPECT_EQ(ReadBytes(made), (Bytes{4, 5}));
    EXPECT_FALSE(KeepUnderSecondName(folder.File("missing").c_str(), kept.c_str()));
}

}  // namespace

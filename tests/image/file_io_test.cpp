#include "image/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "bitmap_test_support.h"
#include "framework/path_text.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

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
}

}  // namespace

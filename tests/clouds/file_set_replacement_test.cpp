#include "clouds/file_set_replacement.h"

#include <array>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "cloud_test_support.h"
#include "tests/render/working_folder.h"

namespace {

void Write(const char* name, const char* text) {
    std::ofstream(name, std::ios::binary) << text;
}

// Three names in use: "a" and "c" hold files, "b" none yet.
constexpr std::array<FileToReplace, 3> kSet = {{
    {"a", "a-new", "a-old"},
    {"b", "b-new", "b-old"},
    {"c", "c-new", "c-old"},
}};

TEST(ReplaceFilesAsOne, EveryFileOrNone) {
    WorkingFolder folder;
    Write("a", "old a");
    Write("c", "old c");
    Write("a-new", "new a");
    Write("b-new", "new b");

    // The last new file is missing: the first two, moved in already, go back, and "b" is empty
    // again.
    EXPECT_FALSE(ReplaceFilesAsOne(kSet));
    EXPECT_EQ(FileText("a"), "old a");
    EXPECT_FALSE(std::filesystem::exists("b"));
    EXPECT_EQ(FileText("c"), "old c");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              2)
        << "nothing made or kept aside is left";

    Write("a-new", "new a");
    Write("b-new", "new b");
    Write("c-new", "new c");
    EXPECT_TRUE(ReplaceFilesAsOne(kSet));
    EXPECT_EQ(FileText("a"), "new a");
    EXPECT_EQ(FileText("b"), "new b");
    EXPECT_EQ(FileText("c"), "new c");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              3);
}

}  // namespace

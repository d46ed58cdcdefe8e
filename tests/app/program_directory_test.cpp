#include "app/program_directory.h"

#include <gtest/gtest.h>

TEST(DirectoryOfPath, KeepsEverythingUpToAndIncludingTheLastBackslash) {
    EXPECT_EQ(DirectoryOfPath("C:\\Orbiscape\\orbiscape.exe"), "C:\\Orbiscape\\");
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\Orbiscape 2\\orbiscape.exe"),
              "C:\\Program Files\\Orbiscape 2\\");
    EXPECT_EQ(DirectoryOfPath("C:\\orbiscape.exe"), "C:\\");
    EXPECT_EQ(DirectoryOfPath("\\\\server\\share\\orbiscape.exe"), "\\\\server\\share\\");
}

TEST(DirectoryOfPath, IsEmptyWithoutABackslash) {
    EXPECT_EQ(DirectoryOfPath("orbiscape.exe"), "");
    EXPECT_EQ(DirectoryOfPath(""), "");
    // Forward slashes are not the separator the system reports module paths with.
    EXPECT_EQ(DirectoryOfPath("C:/Orbiscape/orbiscape.exe"), "");
}

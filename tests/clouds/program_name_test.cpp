#include <gtest/gtest.h>

#include "clouds/program_name.h"

namespace {

TEST(ProgramName, FolderAndExtensionAreDropped) {
    EXPECT_EQ(ProgramNameOfPath("C:\\Program Files\\Orbiscape\\orbiscape.exe"), "orbiscape");
    EXPECT_EQ(ProgramNameOfPath("Z:\\tmp\\build/cloud_download_test.exe"), "cloud_download_test");
    EXPECT_EQ(ProgramNameOfPath("orbiscape.exe"), "orbiscape");
}

TEST(ProgramName, OnlyTheLastExtensionOfTheFileNameGoes) {
    EXPECT_EQ(ProgramNameOfPath("C:\\my.tools\\orbiscape"), "orbiscape");
    EXPECT_EQ(ProgramNameOfPath("C:\\tools\\orbiscape.2.1.exe"), "orbiscape.2.1");
    EXPECT_EQ(ProgramNameOfPath(""), "");
}

}  // namespace

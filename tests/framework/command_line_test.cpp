#include "framework/command_line.h"

#include <gtest/gtest.h>

TEST(ArgumentsAfterProgramName, SkipsAnUnquotedNameAndTheBlanksAfterIt) {
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe /install"), "/install");
    EXPECT_EQ(ArgumentsAfterProgramName("C:\\Orbiscape\\orbiscape.exe \t  /uninstall"), "/uninstall");
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe\t/install"), "/install");
}

TEST(ArgumentsAfterProgramName, SkipsAQuotedNameWithBlanksInside) {
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Program Files\\Orbiscape\\orbiscape.exe\" /install"),
              "/install");
    // The CRT's rule: the name ends at the closing quote even without a blank after it.
    EXPECT_EQ(ArgumentsAfterProgramName("\"orbiscape.exe\"/install"), "/install");
}

TEST(ArgumentsAfterProgramName, KeepsTheArgumentsExactly) {
    // A trailing blank makes the text differ from the switch, so it must survive.
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe /install "), "/install ");
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe /Install  \"two words\" x"),
              "/Install  \"two words\" x");
}

TEST(ArgumentsAfterProgramName, IsEmptyWithoutArguments) {
    EXPECT_EQ(ArgumentsAfterProgramName(""), "");
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("orbiscape.exe   "), "");
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Orbiscape\\orbiscape.exe\""), "");
    // An unterminated quote runs to the end of the line: all of it is the name.
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Orbiscape\\orbiscape.exe /install"), "");
}

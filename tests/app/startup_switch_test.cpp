#include "app/startup_switch.h"

#include <gtest/gtest.h>

TEST(ParseStartupSwitch, KnowsBothSwitchesInAnyCase) {
    EXPECT_EQ(ParseStartupSwitch("/install"), StartupSwitch::kInstall);
    EXPECT_EQ(ParseStartupSwitch("/INSTALL"), StartupSwitch::kInstall);
    EXPECT_EQ(ParseStartupSwitch("/InStAlL"), StartupSwitch::kInstall);
    EXPECT_EQ(ParseStartupSwitch("/uninstall"), StartupSwitch::kUninstall);
    EXPECT_EQ(ParseStartupSwitch("/UnInstall"), StartupSwitch::kUninstall);
}

TEST(ParseStartupSwitch, AnythingButTheWholeSwitchIsANormalStart) {
    EXPECT_EQ(ParseStartupSwitch(""), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch("/install "), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch(" /install"), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch("/uninstall now"), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch("/instal"), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch("-install"), StartupSwitch::kNormalStart);
    EXPECT_EQ(ParseStartupSwitch("\"/install\""), StartupSwitch::kNormalStart);
    // Bytes that a case-folding locale might take for letters of the switch.
    EXPECT_EQ(ParseStartupSwitch("/\xC9NSTALL"), StartupSwitch::kNormalStart);
}

#include "app/startup_switch.h"

#include <algorithm>

namespace {

constexpr std::string_view kInstallSwitch = "/install";
constexpr std::string_view kUninstallSwitch = "/uninstall";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compared byte by byte in ASCII: the switches are ASCII, and a locale-dependent comparison
// could match them with text that is not the switch.
bool EqualIgnoringCase(std::string_view text, std::string_view lowerCaseWord) {
    return text.size() == lowerCaseWord.size() &&
           std::equal(text.begin(), text.end(), lowerCaseWord.begin(),
                      [](char left, char right) { return LowerAscii(left) == right; });
}

}  // namespace

StartupSwitch ParseStartupSwitch(std::string_view arguments) {
    if (EqualIgnoringCase(arguments, kInstallSwitch)) {
        return StartupSwitch::kInstall;
    }
    if (EqualIgnoringCase(arguments, kUninstallSwitch)) {
        return StartupSwitch::kUninstall;
    }
    return StartupSwitch::kNormalStart;
}

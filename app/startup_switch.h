// The two switches the program answers on its command line. Only the whole text after the
// program name counts, in any mix of upper and lower case: "/install " with a trailing blank, or
// "/install now", is a normal start, so that nothing unexpected on a command line ever installs
// or uninstalls.
#pragma once

#include <string_view>

enum class StartupSwitch {
    kNormalStart,
    kInstall,    // "/install": start again from the program's own directory
    kUninstall,  // "/uninstall": stop a running copy and remove what the program left behind
};

// arguments is the text after the program name, exactly as given.
StartupSwitch ParseStartupSwitch(std::string_view arguments);

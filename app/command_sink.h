// The title of the program's hidden main window. A running copy is found by it, and closing
// that window ends the copy; "/uninstall" stops the program this way.
#pragma once

inline constexpr char kCommandSinkTitle[] = "OrbiscapeCommandSink";

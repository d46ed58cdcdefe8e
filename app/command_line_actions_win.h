// What the two command-line switches do. Neither starts the program proper: each does its work
// and the start-up ends.
#pragma once

// "/install": starts the program again, from its own file, with its own directory as the
// working directory, which is where it finds its pictures and keeps its working files.
// Nothing is reported; the new copy starts normally.
void StartFromProgramDirectory();

// "/uninstall": ends a running copy by closing its hidden window "OrbiscapeCommandSink" and
// waits, bounded, for its process to end (a copy that hangs is ended by force), takes the
// program's picture off the desktop, and deletes the working files from the program's
// directory, with what interrupted replacements of them left behind. The source pictures, the
// seed cloud map and the stored settings stay. The files are deleted only when the program's
// directory could be made the current directory: the names are relative, and anywhere else they
// could name someone else's files.
void UninstallFromDesktop();

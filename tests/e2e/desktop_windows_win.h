// What a user sees of the program's windows, looked at from another process on the same Wine
// desktop: whether a window exists, the message box that a second copy shows, and the taskbar.
#pragma once

#include <string>

// Whether a top-level window with exactly this title exists.
bool TopLevelWindowExists(const char* title);

// Waits up to timeoutMs for a message box with this caption, reads its text into text and
// presses its OK button, as a user would. False when no such box appeared, or when it could not
// be answered (it was still there a few seconds after the press).
bool AnswerMessageBox(const char* caption, unsigned timeoutMs, std::string& text);

// Chooses "E&xit" for the program as its tray menu does: the menu's command, posted to the
// program's tray window. False when that window is not found.
bool ChooseTrayExit();

// Repaints the taskbar with everything on it. Wine paints a newly set wallpaper over the
// taskbar of its virtual desktop, tray icons included, until the taskbar repaints itself; a
// screenshot therefore asks for that first. False when there is no taskbar.
bool RepaintTaskbar();

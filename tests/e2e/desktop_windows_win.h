// What a user sees of the program's windows, looked at from another process on the same Wine
// desktop: whether a window exists, the message box that a second copy shows, and the taskbar.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Whether a top-level window with exactly this title exists.
bool TopLevelWindowExists(const char* title);

// Waits up to timeoutMs for a message box with this caption, reads its text into text and
// presses its OK button, as a user would. False when no such box appeared, or when it could not
// be answered (it was still there a few seconds after the press).
bool AnswerMessageBox(const char* caption, unsigned timeoutMs, std::string& text);

// Chooses a command of the program's tray menu as the menu does: the command, posted to the
// program's tray window. False when that window is not found.
bool ChooseTrayCommand(unsigned command);

// Tells the program's tray window of a change of its session (WM_WTSSESSION_CHANGE with the
// event, WTS_SESSION_LOCK say), as the system tells a window registered for it. False when that
// window is not found or does not answer.
bool SendSessionChange(unsigned event);

// A dialog's control, driven and read as a user would from another process. Each finds the
// visible dialog with exactly that caption (the newest when there are several) and its control
// by id, and is false when either is missing.
// Clicks a button, check box or radio button (BM_CLICK, posted: the click is done a moment later).
bool ClickDialogControl(const char* caption, int id);
// Selects the first entry of a drop-down list whose text begins with `prefix`, and tells the
// dialog as the list would (CBN_SELCHANGE).
bool SelectDialogListEntry(const char* caption, int id, const char* prefix);
// Sets a control's text (an edit box notifies its dialog by itself).
bool SetDialogControlText(const char* caption, int id, const char* text);
// "enabled checked selection text": whether the control is enabled, its check state, the
// selected entry of a list (-1 without one; for a picture control 1 while it shows a bitmap)
// and its text (a list's: the selected entry's).
bool DescribeDialogControl(const char* caption, int id, std::string& description);
// Every entry of a list box or drop-down list, first to last.
bool ListDialogEntries(const char* caption, int id, std::vector<std::string>& entries);
// Where the control is on the screen (the Wine desktop), in pixels.
bool DialogControlRect(const char* caption, int id, RECT& rect);

// The texts of the balloons that the notification area shows now, one per balloon, in UTF-8.
std::vector<std::string> ShownBalloonTexts();

// Repaints the taskbar with everything on it. Wine paints a newly set wallpaper over the
// taskbar of its virtual desktop, tray icons included, until the taskbar repaints itself; a
// screenshot therefore asks for that first. False when there is no taskbar.
bool RepaintTaskbar();

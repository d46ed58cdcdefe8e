// Driving the program's dialogs in tests as a user would. The dialog runs modally on the test's
// own thread, as it does in the program, while a script on a second thread works its controls
// with the messages a user's clicks and choices produce, waits for what the dialog does (bounded
// polls, never fixed sleeps), reads the controls and the screen, and keeps screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/dialog_win.h"
#include "image/dib_image.h"

// Runs `dialog` modally on the calling thread and `script` on a second thread as soon as the
// dialog is on the screen. A dialog still open `deadline` after the start is cancelled, and the
// test fails. Returns what DoModal returns.
INT_PTR RunDriven(CDialog& dialog, const std::function<void(HWND dialog)>& script,
                  std::chrono::milliseconds deadline = std::chrono::seconds(120));

// The newest visible dialog of the thread that has this caption, waited for up to ten seconds;
// nullptr when none appeared.
HWND WaitForDialog(DWORD threadId, const char* caption);

// What a user does, by control id.
void Click(HWND dialog, int id);  // a button, check box or radio button
// Clicks a button that ends the dialog (OK, Cancel) with a posted click, as the mouse's arrives.
// A click sent from another thread is handled while the dialog's loop waits for its next
// message, and the loop, ended by the click, would take the first message posted on the way out
// (the dialog's own command to the application) and drop it.
void ClickToClose(HWND dialog, int id);
void Choose(HWND dialog, int id, int index);    // a drop-down list's or list box's entry
void Slide(HWND dialog, int id, int position);  // a trackbar, as the mouse drags it
void TypeText(HWND dialog, int id, const char* text);

// What the user sees, by control id.
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
int SelectedIndex(HWND dialog, int id);                 // of a drop-down list or list box, -1 without one
std::string SelectedText(HWND dialog, int id);          // of a drop-down list, trailing blanks removed
std::vector<std::string> Entries(HWND dialog, int id);  // of a list box, first to last

// The screen inside `rect` (screen coordinates), as the user sees it.
DibImage CaptureScreen(const RECT& rect);
// Keeps a picture of the window, as seen on the screen, as NAME.bmp in the test output folder
// (ORBISCAPE_TEST_OUTPUT, else the current directory).
void KeepScreenshot(HWND window, const std::string& name);

struct Figures {
    DWORD gdiObjects;
    std::uint64_t commitBytes;
};

// The test process's GDI objects and committed memory, to show that dialogs opened and closed
// again and again leave none behind.
Figures OwnFigures();

// How far the GDI object count wanders while windows come and go, by objects that the system
// makes and drops on its own.
inline constexpr DWORD kGdiObjectsWander = 5;

// Runs `round` `rounds` times and expects the count of GDI objects after the last round to be
// where it was after the first, give or take kGdiObjectsWander; prints both counts after `what`.
void ExpectGdiObjectsFlat(const char* what, int rounds, const std::function<void(int round)>& round);

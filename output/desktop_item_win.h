// The Active Desktop item: in Active Desktop mode the finished frame "current.bmp" is shown as a
// picture item of the desktop, which the user can move, resize or maximise, instead of as the
// wallpaper. The item is recognised on the desktop as desktop_item.h says.
//
// Each operation initialises COM on its thread, creates the shell's Active Desktop object, and
// releases both again before it returns; nothing is held between calls. Under WOW64 none of them
// touches the shell, and they report failure. Their message boxes have the caption "Orbiscape"
// and no owner.
#pragma once

// Makes sure that Active Desktop and its items are switched on, and offers to switch them on
// when they are not. Tells the user of every failure. Returns 1 when both are on at the end,
// 0 otherwise (a refused offer included).
int EnsureActiveDesktopOn();

// Refreshes the program's shown items and applies the desktop's changes. An interactive pass
// (an apply of the settings) also puts a new item on the desktop when there is none, with a
// hint dialog on how to enlarge it, or offers to show the program's items when all are hidden;
// a timed pass never creates an item and never asks. Quiet on failure. Returns 1 when the last
// call to the shell succeeded, else 0.
int ShowDesktopItem(bool interactive);

// Takes every item of the program off the desktop and applies the change. Quiet.
void RemoveDesktopItems();

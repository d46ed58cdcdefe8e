// The Active Desktop item: in Active Desktop mode the finished frame "current.bmp" is shown as a
// picture item of the desktop, which the user can move, resize or maximise, instead of as the
// wallpaper. The item is recognised on the desktop as desktop_item.h says.
//
// Each operation initialises COM on its thread, creates the shell's Active Desktop object, and
// releases both again before it returns; nothing is held between calls. Under WOW64 none of them
// touches the shell, and they report failure. What they say to the user goes through prompts.
#pragma once

#include "output/desktop_item_prompts.h"

// Makes sure that Active Desktop and its items are switched on, and offers to switch them on
// when they are not. Tells the user of every failure. True when both are on at the end (false
// after a refused offer too).
bool EnsureActiveDesktopOn(DesktopItemPrompts& prompts);

// Refreshes the program's shown items and applies the desktop's changes. An interactive pass
// (an apply of the settings) also puts a new item on the desktop when there is none, with a
// hint dialog on how to enlarge it, or offers to show the program's items when all are hidden;
// a timed pass never creates an item and never asks. Quiet on failure. True when the last call
// to the shell succeeded.
bool ShowDesktopItem(bool interactive, DesktopItemPrompts& prompts);

// Takes every item of the program off the desktop and applies the change. Quiet.
void RemoveDesktopItems();

// Taking the program's Active Desktop items off the desktop: when an apply leaves Active Desktop
// mode, and at "/uninstall" whatever the mode.
#pragma once

// Removes the items that show "current.bmp". The program cannot publish an Active Desktop item
// yet, so there is nothing of its own to remove and this does nothing; the removal joins here,
// the one place both callers go through, together with the item itself.
void RemoveProgramDesktopItems();

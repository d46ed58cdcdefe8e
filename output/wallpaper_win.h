// The regular wallpaper: the finished frame "current.bmp" in the current directory, tiled from
// the primary monitor's corner across the whole virtual screen. Failures are quiet; the desktop
// then keeps what it showed.
#pragma once

#include "image/dib_image.h"
#include "output/virtual_screen_wrap.h"

// Shifts the frame before it is saved, for a virtual screen that reaches left of or above the
// primary monitor (virtual_screen_wrap.h). Left alone while the shell reports Active Desktop
// on, since the desktop is then not drawn from a tiled wallpaper.
void WrapForVirtualScreen(DibImage& frame);

// The origin that WrapForVirtualScreen shifts for: the virtual screen's, or (0, 0) while the
// shell reports Active Desktop on.
WrapOrigin VirtualScreenWrapOrigin();

// Makes "current.bmp" the tiled wallpaper. A wallpaper that it replaces and that the user chose
// is remembered first (user_wallpaper_win.h): not the frame of this or any other copy of the
// program, nor a picture that is gone. An interactive call
// also stores the frame in the user's profile and tells every program about the change; a timed
// one changes it for this logon only. True when the tiling values were written and the
// wallpaper was set.
bool SetWallpaper(bool interactive);

// Takes the frame off the desktop, stored and told to every program: the user's remembered
// wallpaper comes back with its placement values (a value that the desktop did not have is
// removed again), or, when none is remembered or its picture is gone, no wallpaper and tiling
// off (the style kept). A picture that is gone gives way to the remembered wallpaper, and stays
// when none can come back. Any other wallpaper is left alone: the user chose it after the frame,
// or another copy of the program shows its own.
// True when the desktop no longer shows the frame, false when it could not be taken away (or the
// frame's path is too long to tell).
bool ClearWallpaper();

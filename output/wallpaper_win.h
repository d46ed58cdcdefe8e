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

// Makes "current.bmp" the tiled wallpaper. An interactive call also stores it in the user's
// profile and tells every program about the change; a timed one changes it for this logon
// only. Returns 1 when the tiling values were written and the wallpaper was set, else 0.
int SetWallpaper(bool interactive);

// Takes the wallpaper away (none afterwards; an earlier one is not restored) and turns tiling
// off, keeping the wallpaper style. Returns 1 when the tiling value was written and the
// wallpaper removed, else 0.
int ClearWallpaper();

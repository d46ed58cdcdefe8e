// The pixel work behind the wallpaper's multi-monitor wrap.
//
// Windows tiles a wallpaper from the primary monitor's top-left corner, which is the origin of
// the virtual screen's coordinates. When another monitor lies left of or above the primary one,
// the virtual screen starts at a negative origin (x0, y0), and an unwrapped frame would begin
// |x0| pixels into the picture at the virtual screen's left edge and |y0| rows into it at the
// top. Shifting the frame cyclically by that much, columns to the left and rows up, puts the
// picture's top-left pixel at the virtual screen's top-left corner instead.
//
// A frame of the virtual screen's size then shows exactly once: the pixel at (x, y) becomes
// the old pixel at ((x + |x0|) mod W, (y + |y0|) mod H). A frame of another size (the one that
// keeps its own 2:1 shape when neither bars nor cropping fit it to the screen) is tiled across
// the monitors; it is shifted by (|x0| mod width, |y0| mod height) within its own size, so that
// one of its tiles begins at the virtual screen's top-left corner just as the full-size frame
// does, and the repeats run on from there to the right and down.
#pragma once

#include "image/dib_image.h"

// The virtual screen's top-left corner in primary-monitor coordinates; (0, 0) needs no wrap.
struct WrapOrigin {
    int x = 0;
    int y = 0;
};

// How far a frame of the given size (width or height) moves for an origin: (-origin) mod size,
// never negative. Windows only reports origins at or left of and above the primary monitor,
// where this is |origin| mod size; an origin on the other side would get the shift that aligns
// the tiles with it just the same. The wrapped frame's pixel at x shows the old pixel at
// (x + shift) mod size.
int WrapShift(int origin, int size);

// Shifts the frame's pixels for a virtual screen whose top-left corner lies at (originX,
// originY) in primary-monitor coordinates. Any depth is handled; an empty frame, or an origin
// at a whole number of frame sizes from the primary monitor's corner, leaves the frame as it is.
void WrapFrameForVirtualScreen(DibImage& frame, int originX, int originY);

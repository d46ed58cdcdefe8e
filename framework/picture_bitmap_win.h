// PictureBitmap: the bitmaps a picture control (a static control with SS_BITMAP) shows, and
// who deletes them. The control never deletes a bitmap it is given, but it may show a copy of its
// own instead of the given one (comctl32 6 does so for 32-bit bitmaps), and then hands that copy
// back when the next bitmap replaces it. So after each change this object looks at what the
// control really shows: the caller's bitmap is kept alive exactly as long as the control shows
// it, and a copy the control returns, or the caller's bitmap that it did not take, is deleted at
// once. Clear() (and the destructor) take the last bitmap back, so nothing is left behind
// whichever of the two ended up holding it. Call Clear() before the control is destroyed.
#pragma once

#include <windows.h>

#include "framework/controls_win.h"
#include "framework/gdi_owners_win.h"

class PictureBitmap {
  public:
    explicit PictureBitmap(const CStatic& control) : control_(control) {}
    ~PictureBitmap() { Clear(); }
    PictureBitmap(const PictureBitmap&) = delete;
    PictureBitmap& operator=(const PictureBitmap&) = delete;

    // Shows `bitmap` in the control in place of what it showed before. Takes ownership.
    void Show(OwnedBitmap bitmap);
    // Empties the control, deleting whatever it showed. Does nothing without a control window.
    void Clear();

  private:
    // Puts `bitmap` into the control and deletes what comes back, unless it is ours.
    void Replace(HBITMAP bitmap);

    const CStatic& control_;
    OwnedBitmap shown_;  // ours, while the control shows this very handle
};

// CBitmap: the window framework's GDI bitmap. It owns one bitmap handle, or none, deletes it
// when it is emptied or ends, and cannot be copied, so a bitmap is never deleted twice or lost.
// Classes that load or make bitmaps derive from it.
#pragma once

#include <windows.h>

#include "framework/gdi_owners_win.h"

class CBitmap {
  public:
    CBitmap() = default;
    virtual ~CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Takes ownership of a bitmap. Refuses (0) a missing handle and an object that already holds
    // a bitmap, which keeps it; the caller then still owns the handle.
    int Attach(HBITMAP bitmap);
    // Gives the bitmap up without deleting it: the caller owns it now (a control it is handed
    // to, for example). The object becomes empty.
    HBITMAP Detach();
    // The bitmap held, or nullptr; it stays owned by this object.
    HBITMAP GetSafeHandle() const { return bitmap_.Get(); }
    // The bitmap's description (GetObject): size, depth, stride. 0 when empty or unreadable.
    int GetBitmap(BITMAP* info) const;
    // Deletes the bitmap held. 1 when there was one and GDI deleted it; the object is empty
    // afterwards in any case.
    int DeleteObject();

  private:
    OwnedBitmap bitmap_;
};

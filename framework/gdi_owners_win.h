// Owners of GDI resources, one small type per kind. Each says in its comment what it owns,
// releases exactly that in its destructor, and cannot be copied, so no handle is released twice
// or forgotten on an early return. Declare a selection after the device context it selects into:
// destruction runs in reverse, so the old object is back in place before the context goes.
#pragma once

#include <windows.h>

#include "framework/owned_handle_win.h"

// Owns a GDI object made by a Create* call (bitmap, pen, brush, font) and deletes it at the end.
// The object must not be selected into a device context when the owner ends, or the deletion
// fails.
template <typename Object>
using OwnedGdiObject = OwnedHandle<Object, &DeleteObject>;
using OwnedBitmap = OwnedGdiObject<HBITMAP>;
using OwnedPen = OwnedGdiObject<HPEN>;
using OwnedBrush = OwnedGdiObject<HBRUSH>;

// Owns a memory device context made with CreateCompatibleDC (compatible with the screen when
// given no context); deletes it at the end.
class OwnedMemoryDc {
  public:
    explicit OwnedMemoryDc(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~OwnedMemoryDc() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    OwnedMemoryDc(const OwnedMemoryDc&) = delete;
    OwnedMemoryDc& operator=(const OwnedMemoryDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Holds the device context that GetDC lends for a window (the whole screen when given no
// window) and gives it back with ReleaseDC, which needs the same window, at the end.
class OwnedWindowDc {
  public:
    explicit OwnedWindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~OwnedWindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    OwnedWindowDc(const OwnedWindowDc&) = delete;
    OwnedWindowDc& operator=(const OwnedWindowDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;  // we don't own it
    HDC dc_;
};

// Selects an object (bitmap, pen, brush, font; not a region, whose selection returns no object)
// into a device context and selects the previous object back at the end. Owns neither the
// context nor the objects; it keeps the context because putting the old object back needs it.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
        if (previous_ == HGDI_ERROR) {
            previous_ = nullptr;
        }
    }
    ~ScopedSelection() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    // False when the selection failed (no context, no object, or an unsuitable object).
    explicit operator bool() const { return previous_ != nullptr; }

  private:
    HDC dc_;            // we don't own it
    HGDIOBJ previous_;  // we don't own it
};

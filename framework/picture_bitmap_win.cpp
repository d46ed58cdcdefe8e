#include "framework/picture_bitmap_win.h"

void PictureBitmap::Show(OwnedBitmap bitmap) {
    if (control_.GetSafeHwnd() == nullptr) {
        return;
    }
    Replace(bitmap.Get());
    if (control_.GetBitmap() == bitmap.Get()) {
        shown_ = std::move(bitmap);  // deletes the one it replaced
    } else {
        // The control shows a copy of its own: ours is not needed; `bitmap` deletes it.
        shown_.Reset();
    }
}

void PictureBitmap::Clear() {
    if (control_.GetSafeHwnd() != nullptr) {
        Replace(nullptr);
    }
    shown_.Reset();
}

void PictureBitmap::Replace(HBITMAP bitmap) {
    const HBITMAP previous = control_.SetBitmap(bitmap);
    if (previous != nullptr && previous != shown_.Get() && previous != bitmap) {
        // A copy the control made of an earlier bitmap: nobody else holds it.
        DeleteObject(previous);
    }
}

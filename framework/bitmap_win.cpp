#include "framework/bitmap_win.h"

int CBitmap::Attach(HBITMAP bitmap) {
    if (bitmap == nullptr || bitmap_) {
        return 0;
    }
    bitmap_.Reset(bitmap);
    return 1;
}

HBITMAP CBitmap::Detach() {
    return bitmap_.Release();
}

int CBitmap::GetBitmap(BITMAP* info) const {
    if (info == nullptr || !bitmap_) {
        return 0;
    }
    return GetObjectA(bitmap_.Get(), sizeof(BITMAP), info) == sizeof(BITMAP) ? 1 : 0;
}

int CBitmap::DeleteObject() {
    const HBITMAP bitmap = bitmap_.Release();
    return bitmap != nullptr && ::DeleteObject(bitmap) ? 1 : 0;
}

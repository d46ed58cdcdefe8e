#include "image/picture_file_win.h"

#include <olectl.h>

#include "framework/com_owners_win.h"
#include "framework/wide_text_win.h"
#include "image/image_type.h"
#include "image/pixel_buffer.h"

namespace {

// The full path is limited to this many characters.
constexpr DWORD kMaxPathCharacters = 1024;

// Picture sizes come in hundredths of a millimetre.
constexpr int kHimetricPerInch = 2540;

OwnedBitmap LoadBitmapFile(const char* name) {
    // Without LR_CREATEDIBSECTION: a device-dependent bitmap of the file's own size.
    return OwnedBitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, WideFromUtf8(name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

// Paints the whole bitmap in one colour, as an opaque empty text output does.
void Fill(HDC dc, int width, int height, ColourValue colour) {
    const RECT area{0, 0, width, height};
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

// Draws the picture into a new screen-compatible bitmap of its pixel size at the screen's
// logical resolution.
OwnedBitmap RenderPicture(IPicture* picture, ColourValue background) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height))) {
        return OwnedBitmap();
    }
    const OwnedWindowDc screen(GetDesktopWindow());
    if (!screen) {
        return OwnedBitmap();
    }
    const int cx = MulDiv(width, GetDeviceCaps(screen.Get(), LOGPIXELSX), kHimetricPerInch);
    const int cy = MulDiv(height, GetDeviceCaps(screen.Get(), LOGPIXELSY), kHimetricPerInch);
    if (cx < 1 || cy < 1 || !CheckedPixelCount(cx, cy)) {
        return OwnedBitmap();
    }
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), cx, cy));
    const OwnedMemoryDc memory(screen.Get());
    if (!bitmap || !memory) {
        return OwnedBitmap();
    }
    HRESULT rendered = E_FAIL;
    {
        const ScopedSelection selection(memory.Get(), bitmap.Get());
        if (!selection) {
            return OwnedBitmap();
        }
        if (background != kNoPixel) {
            Fill(memory.Get(), cx, cy, background);
        }
        // The source rectangle starts at the bottom and runs upward (HIMETRIC's y axis points
        // up), so the picture stands upright in the bitmap.
        rendered = picture->Render(memory.Get(), 0, 0, cx, cy, 0, height, width, -height, nullptr);
    }
    if (FAILED(rendered)) {
        return OwnedBitmap();
    }
    return bitmap;
}

OwnedBitmap LoadPictureFile(const char* name, ColourValue background) {
    // The picture loader wants a full path; the wide one names the file in any folder.
    wchar_t widePath[kMaxPathCharacters];
    const DWORD length = GetFullPathNameW(WideFromUtf8(name).c_str(), kMaxPathCharacters, widePath, nullptr);
    if (length == 0 || length >= kMaxPathCharacters) {
        return OwnedBitmap();
    }
    // A thread already in the multithreaded apartment can load pictures as well.
    const ComScope com;
    if (!com && com.Result() != RPC_E_CHANGED_MODE) {
        return OwnedBitmap();
    }
    OwnedComInterface<IPicture> picture;
    if (FAILED(OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture, picture.Receive())) || !picture) {
        return OwnedBitmap();
    }
    return RenderPicture(picture.Get(), background);
}

}  // namespace

OwnedBitmap DecodePictureFile(const char* name, ColourValue background) {
    if (name == nullptr) {
        return OwnedBitmap();
    }
    switch (ImageTypeOf(name)) {
        case kImageBitmap:
            return LoadBitmapFile(name);
        case kImageIcon:
        case kImageJpeg:
        case kImageGif:
            return LoadPictureFile(name, background);
        case kImageUnsupported:
            break;
    }
    return OwnedBitmap();
}

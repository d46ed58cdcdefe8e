#include "image/en_bitmap_win.h"

#include "image/gdi_pixels_win.h"
#include "image/image_resizer.h"
#include "image/last_error.h"
#include "image/picture_file_win.h"
#include "image/processor_chain.h"

int CEnBitmap::LoadImageFile(const char* name) {
    if (GetSafeHandle() != nullptr) {
        SetImageLastError(LastError::AlreadyInitialized);
        return 0;
    }
    OwnedBitmap bitmap = DecodePictureFile(name, backgroundColour_);
    if (!bitmap || !Attach(bitmap.Get())) {
        return 0;
    }
    bitmap.Release();  // owned by this object now
    return 1;
}

int CEnBitmap::ResizeImage(double factor) {
    CImageResizer resizer(factor);
    return ProcessImage({&resizer});
}

int CEnBitmap::ProcessImage(const std::vector<C32BitImageProcessor*>& processors) {
    if (GetSafeHandle() == nullptr) {
        SetImageLastError(LastError::InvalidHandle);
        return 0;
    }
    if (processors.empty()) {
        return 1;
    }
    PixelBuffer pixels;
    if (!ReadBitmapPixels(GetSafeHandle(), pixels) ||
        !RunProcessorChain(pixels, processors, backgroundColour_)) {
        return 0;
    }
    OwnedBitmap result = MakeScreenBitmap(pixels);
    if (!result) {
        return 0;
    }
    DeleteObject();
    if (!Attach(result.Get())) {
        return 0;
    }
    result.Release();  // owned by this object now
    return 1;
}

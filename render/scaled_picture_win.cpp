#include "render/scaled_picture.h"

#include <windows.h>

#include "image/dib_image_gdi.h"
#include "image/en_bitmap_win.h"
#include "render/scale_image_file.h"

int LoadScaledPicture(const char* sourceFile, int targetWidth, int targetHeight, bool crop,
                      DibImage& scaled) {
    CEnBitmap bitmap;
    BITMAP description{};
    if (!bitmap.LoadImageFile(sourceFile) || !bitmap.GetBitmap(&description)) {
        return 0;
    }
    const double factor =
        ScaleFactorFor(description.bmWidth, description.bmHeight, targetWidth, targetHeight, crop);
    if (!bitmap.ResizeImage(factor)) {
        return 0;
    }
    return FromGdiBitmap(scaled, bitmap.GetSafeHandle());
}

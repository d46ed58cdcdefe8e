#include "render/scale_image_file.h"

#include <algorithm>
#include <utility>

#include "image/last_error.h"
#include "render/scaled_picture.h"

double ScaleFactorFor(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, bool crop) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) {
        return 0.0;
    }
    const double widthRatio = static_cast<double>(targetWidth) / sourceWidth;
    const double heightRatio = static_cast<double>(targetHeight) / sourceHeight;
    return crop ? std::max(widthRatio, heightRatio) : std::min(widthRatio, heightRatio);
}

bool ScaleImageFile(const char* sourceFile, DibImage* destination, int targetWidth, int targetHeight,
                    const char* outputFile, bool crop) {
    if (sourceFile == nullptr || targetWidth <= 0 || targetHeight <= 0 ||
        (destination == nullptr && outputFile == nullptr)) {
        SetImageLastError(LastError::InvalidParameter);
        return false;
    }
    if (destination != nullptr && destination->HasPixels()) {
        SetImageLastError(LastError::AlreadyInitialized);
        return false;
    }
    DibImage scaled;
    if (!LoadScaledPicture(sourceFile, targetWidth, targetHeight, crop, scaled)) {
        return false;
    }
    if (destination != nullptr) {
        *destination = std::move(scaled);
        return true;
    }
    return scaled.SaveBmpFile(outputFile) != 0;
}

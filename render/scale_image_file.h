// Loading a picture file of any supported type and scaling it for a target size, either to fit
// inside it (the whole picture shows) or to cover it (the target is filled and the picture is
// cropped later). The result keeps the source's shape, so it can differ from the target in one
// dimension; its size is the source size times the factor as the resizer computes it.
#pragma once

#include "image/dib_image.h"

// The factor that fits a source into the target (without crop: the smaller of the two ratios) or
// covers the target with it (with crop: the larger). 0 for a size that is not positive.
double ScaleFactorFor(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, bool crop);

// Loads sourceFile (the decoder is chosen by its name), scales it by ScaleFactorFor and puts
// the result, a 32-bit bottom-up image as a screen-compatible bitmap gives, into destination,
// which must be empty; or, with no destination, writes it as a bitmap file under outputFile,
// replacing any earlier file in one step. False on failure (an unreadable source, a target size
// that is not positive, neither destination nor output file, a failed write): the destination
// stays empty and an earlier output file stays as it was.
bool ScaleImageFile(const char* sourceFile, DibImage* destination, int targetWidth, int targetHeight,
                    const char* outputFile, bool crop);

// A frame rendered from the prepared bitmap files (prepared_source.h, which may hold only the
// part of each map that frames show) straight into the frame file, row by row: the sources are
// read a row at a time, only the pixels that the fitted frame keeps are composed,
// each straight into its place in the fitted and wrapped frame, and the rows go to the file as
// they are made. A frame of any size thus needs a few rows of memory, and no whole-frame copy
// is ever made. The file is byte for byte what composing into a copy of the day image, fitting
// (FitFrameToOutput), wrapping (WrapFrameForVirtualScreen) and saving would give.
//
// Rows are split over one or two threads, each with its own row buffers, writing its own part
// of the file.
#pragma once

#include <ctime>

struct FileFrameJob {
    const char* dayFile;
    const char* nightFile;   // nullptr: no night image
    const char* cloudsFile;  // nullptr: no clouds
    std::tm utc;             // the moment: zero-based month, years since 1900
    double centreLongitude;  // degrees
    bool darkenedDay;        // the night side from the day image at a quarter of its brightness
    int cloudFactor;
    // Centre the frame on a black canvas of the output size, cropping or framing it with bars,
    // unless it already has that size.
    bool fit;
    int outputWidth;
    int outputHeight;
    // An unfitted frame goes out under the day image's own header, as when composing into a copy
    // of it; or, with this set, under the header of a new 32-bit bottom-up plain RGB bitmap.
    bool newFrameHeader;
    // The virtual screen's origin, for the wallpaper's wrap; 0 and 0 leave the frame unwrapped.
    int wrapOriginX;
    int wrapOriginY;
    const char* outputFile;
};

enum class FileFrameResult {
    Written,
    Failed,         // nothing written: the previous output file is untouched; also for a damaged source
    NotStreamable,  // a source is not in the prepared files' form (BmpRowFile); nothing written
    // A source holds only a part of its map (prepared_source.h), and not all of what this frame
    // shows: it was prepared for another output shape or centre. Nothing written.
    MissingPart,
};

FileFrameResult RenderFileFrame(const FileFrameJob& job, int threadCount);

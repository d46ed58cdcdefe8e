// Fitting a composed frame to the output size: the frame is centred on a black canvas of that
// size, so a larger frame is cropped evenly on both sides and a smaller one is framed by black
// bars. The canvas has the form a screen-compatible 32-bit bitmap converts to (32 bits,
// bottom row first, the default bit-field masks).
#pragma once

#include "image/dib_image.h"

// Where a frame of frameSize starts on a canvas of outputSize: (output - frame) / 2, truncated
// toward zero; negative when the frame is larger and loses that many columns or rows.
int FrameOffset(int outputSize, int frameSize);

// Replaces frame by the canvas with the frame copied onto it at (FrameOffset(width),
// FrameOffset(height)); pixels keep their colour whatever the frame's depth or row order.
// Returns 1, or 0 for an empty frame, an output size that is not positive or a canvas that
// cannot be made; the frame is then left as it was.
int FitFrameToOutput(DibImage& frame, int outputWidth, int outputHeight);

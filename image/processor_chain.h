// The processing chain: runs pixel processors one after the other over a picture, each one's
// output being the next one's input.
//
// Output buffers start filled with the background colour (see FillWithBackground), so pixels a
// processor leaves alone show it. The chain holds two buffers of the largest size any step has,
// besides the picture itself.
#pragma once

#include <vector>

#include "image/image_processor.h"
#include "image/pixel_buffer.h"

// Replaces image by the chain's result and returns 1, or returns 0 and leaves image as it was:
// when the image is not consistent, a processor is missing, a step's size is empty or too
// large, a buffer cannot be allocated, or a processor fails. An empty chain succeeds and
// changes nothing.
int RunProcessorChain(PixelBuffer& image, const std::vector<C32BitImageProcessor*>& processors,
                      ColourValue background);

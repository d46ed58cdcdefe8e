#include "image/image_processor.h"

#include <algorithm>
#include <optional>

ImageSize C32BitImageProcessor::CalcDestSize(int width, int height) const {
    return {width, height};
}

int C32BitImageProcessor::ProcessPixels(std::span<const std::uint32_t> source, int sourceWidth,
                                        int sourceHeight, std::span<std::uint32_t> dest, int destWidth,
                                        int destHeight) const {
    if (!BuffersHold(source, sourceWidth, sourceHeight, dest, destWidth, destHeight)) {
        return 0;
    }
    const std::size_t count = std::size_t(destWidth) * std::size_t(destHeight);
    // The copy takes the destination's pixel count from the source; a source picture smaller
    // than that has no pixels to give.
    if (count > std::size_t(sourceWidth) * std::size_t(sourceHeight)) {
        return 0;
    }
    std::copy_n(source.begin(), count, dest.begin());
    return 1;
}

bool C32BitImageProcessor::BuffersHold(std::span<const std::uint32_t> source, int sourceWidth,
                                       int sourceHeight, std::span<std::uint32_t> dest, int destWidth,
                                       int destHeight) {
    const std::optional<std::size_t> sourceCount = CheckedPixelCount(sourceWidth, sourceHeight);
    const std::optional<std::size_t> destCount = CheckedPixelCount(destWidth, destHeight);
    return sourceCount && destCount && source.size() >= *sourceCount && dest.size() >= *destCount;
}

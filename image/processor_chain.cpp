#include "image/processor_chain.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "image/last_error.h"

namespace {

// The size of every step's output, computed once so that the buffers are sized for exactly the
// sizes the processors are later called with; nothing when any of them cannot be held.
std::optional<std::vector<ImageSize>> StepSizes(const PixelBuffer& image,
                                                const std::vector<C32BitImageProcessor*>& processors) {
    std::vector<ImageSize> sizes;
    sizes.reserve(processors.size());
    ImageSize current{image.width, image.height};
    for (const C32BitImageProcessor* processor : processors) {
        current = processor->CalcDestSize(current.width, current.height);
        if (current.width < 1 || current.height < 1 || !CheckedPixelCount(current.width, current.height)) {
            return std::nullopt;
        }
        sizes.push_back(current);
    }
    return sizes;
}

}  // namespace

int RunProcessorChain(PixelBuffer& image, const std::vector<C32BitImageProcessor*>& processors,
                      ColourValue background) {
    if (!IsConsistent(image) ||
        std::any_of(processors.begin(), processors.end(), [](auto* p) { return p == nullptr; })) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    if (processors.empty()) {
        return 1;
    }
    const std::optional<std::vector<ImageSize>> sizes = StepSizes(image, processors);
    if (!sizes) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    int largestWidth = image.width;
    int largestHeight = image.height;
    for (const ImageSize& size : *sizes) {
        largestWidth = std::max(largestWidth, size.width);
        largestHeight = std::max(largestHeight, size.height);
    }
    const std::optional<std::size_t> largestCount = CheckedPixelCount(largestWidth, largestHeight);
    if (!largestCount) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }

    try {
        std::vector<std::uint32_t> dest(*largestCount);
        std::vector<std::uint32_t> previous;  // the source from the second step on
        ImageSize current{image.width, image.height};
        for (std::size_t step = 0; step < processors.size(); ++step) {
            if (step == 1) {
                previous.resize(*largestCount);
            }
            if (step > 0) {
                std::swap(previous, dest);
            }
            FillWithBackground(dest, background);
            // The first step reads the picture itself, which stays untouched until the end.
            const std::span<const std::uint32_t> source = step == 0 ? image.pixels : previous;
            const ImageSize& next = (*sizes)[step];
            if (!processors[step]->ProcessPixels(source, current.width, current.height, dest, next.width,
                                                 next.height)) {
                return 0;
            }
            current = next;
        }
        dest.resize(std::size_t(current.width) * std::size_t(current.height));
        image = PixelBuffer{current.width, current.height, std::move(dest)};
        return 1;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }
}

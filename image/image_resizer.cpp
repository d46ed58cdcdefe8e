#include "image/image_resizer.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <optional>

#include "image/resize_plan.h"

namespace {

int TruncatedProduct(int length, double factor) {
    const double product = std::trunc(double(length) * factor);
    if (!(product >= double(INT_MIN) && product <= double(INT_MAX))) {
        return 0;
    }
    return int(product);
}

}  // namespace

ImageSize CImageResizer::CalcDestSize(int width, int height) const {
    return {TruncatedProduct(width, factor_), TruncatedProduct(height, factor_)};
}

int CImageResizer::ProcessPixels(std::span<const std::uint32_t> source, int sourceWidth, int sourceHeight,
                                 std::span<std::uint32_t> dest, int destWidth, int destHeight) const {
    if (!(factor_ > 0.0) || !std::isfinite(factor_)) {
        return 0;
    }
    if (factor_ == 1.0) {
        return C32BitImageProcessor::ProcessPixels(source, sourceWidth, sourceHeight, dest, destWidth,
                                                   destHeight);
    }
    if (!BuffersHold(source, sourceWidth, sourceHeight, dest, destWidth, destHeight)) {
        return 0;
    }
    std::optional<ResizePlan> plan =
        ResizePlan::Make(factor_, {sourceWidth, sourceHeight}, {destWidth, destHeight});
    if (!plan) {
        return 0;
    }
    for (int row = 0; row < destHeight; ++row) {
        plan->MakeRow(source, 0, row, 0, destWidth, dest.data() + std::size_t(row) * std::size_t(destWidth));
    }
    return 1;
}

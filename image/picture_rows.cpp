#include "image/picture_rows.h"

#include <algorithm>

#include "image/last_error.h"

namespace {

class WholePictureRows final : public PictureRows {
  public:
    explicit WholePictureRows(PixelBuffer picture)
        : PictureRows({picture.width, picture.height}), picture_(std::move(picture)) {}

    bool Read(int first, int count, std::span<std::uint32_t> into) override {
        const auto width = std::size_t(picture_.width);
        const std::size_t pixels = std::size_t(count) * width;
        if (first < 0 || count < 0 || first > picture_.height - count || into.size() < pixels) {
            SetImageLastError(LastError::InvalidParameter);
            return false;
        }
        const auto start = picture_.pixels.begin() + std::ptrdiff_t(std::size_t(first) * width);
        std::transform(start, start + std::ptrdiff_t(pixels), into.begin(),
                       [](std::uint32_t pixel) { return pixel & 0x00FFFFFFu; });
        return true;
    }

  private:
    PixelBuffer picture_;
};

}  // namespace

std::unique_ptr<PictureRows> PictureRowsOf(PixelBuffer picture) {
    if (!IsConsistent(picture)) {
        SetImageLastError(LastError::InvalidParameter);
        return nullptr;
    }
    return std::make_unique<WholePictureRows>(std::move(picture));
}

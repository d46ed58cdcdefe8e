#include "render/frame_fitting.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "image/dib_factory.h"
#include "image/last_error.h"

namespace {

constexpr std::size_t kCanvasBytesPerPixel = 4;

// The part of the canvas that the frame covers, and where in the frame it starts.
struct CopyArea {
    int canvasX, canvasY;
    int frameX, frameY;
    int width, height;  // 0 when nothing overlaps
};

CopyArea OverlapOf(const DibImage& frame, int outputWidth, int outputHeight) {
    const int offsetX = FrameOffset(outputWidth, frame.Width());
    const int offsetY = FrameOffset(outputHeight, frame.Height());
    CopyArea area{};
    area.canvasX = std::max(offsetX, 0);
    area.canvasY = std::max(offsetY, 0);
    area.frameX = area.canvasX - offsetX;
    area.frameY = area.canvasY - offsetY;
    area.width = std::max(std::min(outputWidth - area.canvasX, frame.Width() - area.frameX), 0);
    area.height = std::max(std::min(outputHeight - area.canvasY, frame.Height() - area.frameY), 0);
    return area;
}

// A 32-bit frame whose pixels are laid out like the canvas's can be copied byte for byte, as a
// block transfer between two 32-bit bitmaps does.
bool SharesCanvasLayout(const DibImage& frame, const DibImage& canvas) {
    return frame.BitsPerPixel() == 32 && frame.RedMask() == canvas.RedMask() &&
           frame.GreenMask() == canvas.GreenMask() && frame.BlueMask() == canvas.BlueMask();
}

void CopyRows(const DibImage& frame, DibImage& canvas, const CopyArea& area) {
    const std::size_t rowBytes = static_cast<std::size_t>(area.width) * kCanvasBytesPerPixel;
    for (int row = 0; row < area.height; ++row) {
        const std::uint8_t* source = frame.Row(area.frameY + row) + area.frameX * kCanvasBytesPerPixel;
        std::uint8_t* target = canvas.Row(area.canvasY + row) + area.canvasX * kCanvasBytesPerPixel;
        std::memcpy(target, source, rowBytes);
    }
}

// Any other depth or layout goes through colour values.
void ConvertRows(const DibImage& frame, DibImage& canvas, const CopyArea& area) {
    for (int row = 0; row < area.height; ++row) {
        for (int column = 0; column < area.width; ++column) {
            const ColourValue colour = frame.GetPixelColour(area.frameX + column, area.frameY + row);
            canvas.SetPixelColour(area.canvasX + column, area.canvasY + row, colour);
        }
    }
}

}  // namespace

int FrameOffset(int outputSize, int frameSize) {
    return static_cast<int>((static_cast<std::int64_t>(outputSize) - frameSize) / 2);
}

int FitFrameToOutput(DibImage& frame, int outputWidth, int outputHeight) {
    if (!frame.HasPixels() || outputWidth <= 0 || outputHeight <= 0) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    DibImage canvas;
    if (!CreateDib(canvas, outputWidth, outputHeight, 32, false, true)) {
        return 0;
    }
    const CopyArea area = OverlapOf(frame, outputWidth, outputHeight);
    if (SharesCanvasLayout(frame, canvas)) {
        CopyRows(frame, canvas, area);
    } else {
        ConvertRows(frame, canvas, area);
    }
    frame = std::move(canvas);
    return 1;
}

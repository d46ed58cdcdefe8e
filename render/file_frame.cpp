#include "render/file_frame.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "image/bmp_row_file.h"
#include "image/dib_factory.h"
#include "image/file_io.h"
#include "output/virtual_screen_wrap.h"
#include "render/compositor.h"
#include "render/frame_composer.h"
#include "render/frame_fitting.h"
#include "render/prepared_source.h"
#include "render/source_cut.h"

namespace {

constexpr std::size_t kBytesPerPixel = 4;
// Rows written with one call: few enough to keep the buffers small, enough to keep the calls few.
constexpr int kRowsPerWrite = 16;

// How the written frame's pixels relate to the composed frame.
struct FrameLayout {
    int width;  // of the written frame
    int height;
    bool topDown;
    int offsetX;  // where the composed frame starts on the written one before the wrap
    int offsetY;
    int shiftX;  // the wrap: written pixel (x, y) shows pixel ((x + shiftX) mod width, ...)
    int shiftY;
};

struct Sources {
    PreparedSource day;
    std::optional<PreparedSource> night;
    std::optional<PreparedSource> clouds;
};

struct RenderContext {
    const FrameComposer& composer;
    Sources& sources;
    const FrameLayout& layout;
    FileReplacement& output;
    std::uint64_t pixelsStart;  // where the rows begin in the output file
};

// One thread's row buffers.
class RowBuffers {
  public:
    RowBuffers(const RenderContext& context)
        : context_(context),
          rowBytes_(kBytesPerPixel * static_cast<std::size_t>(context.layout.width)),
          sourceBytes_(kBytesPerPixel * static_cast<std::size_t>(context.composer.Width())) {
        day_.resize(sourceBytes_);
        if (context.sources.night) {
            night_.resize(sourceBytes_);
        }
        if (context.sources.clouds) {
            clouds_.resize(sourceBytes_);
        }
        band_.resize(rowBytes_ * kRowsPerWrite);
    }

    // Renders the rows stored at firstStored .. endStored - 1 of the file.
    bool Render(int firstStored, int endStored) {
        for (int bandStart = firstStored; bandStart < endStored; bandStart += kRowsPerWrite) {
            const int bandRows = std::min(kRowsPerWrite, endStored - bandStart);
            for (int index = 0; index < bandRows; ++index) {
                const int stored = bandStart + index;
                const int y = context_.layout.topDown ? stored : context_.layout.height - 1 - stored;
                if (!RenderRow(y, band_.data() + rowBytes_ * static_cast<std::size_t>(index))) {
                    return false;
                }
            }
            const std::uint64_t at = context_.pixelsStart + rowBytes_ * static_cast<std::uint64_t>(bandStart);
            if (!context_.output.WriteAt(
                    at, std::span(band_.data(), rowBytes_ * static_cast<std::size_t>(bandRows)))) {
                return false;
            }
        }
        return true;
    }

  private:
    // Row y of the written frame, from the top.
    bool RenderRow(int y, std::uint8_t* out) {
        const FrameLayout& layout = context_.layout;
        std::memset(out, 0, rowBytes_);  // black where the composed frame does not reach
        const int row = (y + layout.shiftY) % layout.height - layout.offsetY;
        if (row < 0 || row >= context_.composer.Height()) {
            return true;
        }
        const SourceRows sources{ReadSourceRows(row)};
        if (sources.day == nullptr) {
            return false;
        }
        // Written columns 0 .. width - shiftX - 1 show the fitted frame's columns from shiftX on,
        // the rest its columns from 0 on.
        const int firstRun = layout.width - layout.shiftX;
        ComposeRun(row, sources, 0, layout.shiftX, firstRun, out);
        ComposeRun(row, sources, firstRun, 0, layout.shiftX, out);
        return true;
    }

    // Written columns x .. x + count - 1, showing fitted columns from fittedX on.
    void ComposeRun(int row, const SourceRows& sources, int x, int fittedX, int count,
                    std::uint8_t* out) const {
        const int composedWidth = context_.composer.Width();
        const int first = std::max(fittedX, context_.layout.offsetX);
        const int end = std::min(fittedX + count, context_.layout.offsetX + composedWidth);
        if (first < end) {
            context_.composer.ComposeRow(
                row, sources, first - context_.layout.offsetX, end - first,
                out + kBytesPerPixel * static_cast<std::size_t>(x + first - fittedX));
        }
    }

    SourceRows ReadSourceRows(int row) {
        Sources& files = context_.sources;
        if (!files.day.ReadMapRow(row, day_)) {
            return {};
        }
        const bool nightRead = !files.night || ReadOrWhite(*files.night, row, night_);
        const bool cloudsRead = !files.clouds || ReadOrWhite(*files.clouds, row, clouds_);
        if (!nightRead || !cloudsRead) {
            return {};
        }
        return {day_.data(), files.night ? night_.data() : nullptr, files.clouds ? clouds_.data() : nullptr};
    }

    // A row of a night or cloud map, which may be narrower or lower than the frame: beyond its
    // edges it counts as white, as pixel reads outside an image give.
    static bool ReadOrWhite(PreparedSource& file, int row, std::vector<std::uint8_t>& into) {
        if (row >= file.Cut().map.height) {
            std::memset(into.data(), 0xFF, into.size());
            return true;
        }
        return file.ReadMapRow(row, into);
    }

    const RenderContext& context_;
    std::size_t rowBytes_;
    std::size_t sourceBytes_;
    std::vector<std::uint8_t> day_, night_, clouds_, band_;
};

bool RenderStoredRows(const RenderContext& context, int firstStored, int endStored) {
    try {
        RowBuffers buffers(context);
        return buffers.Render(firstStored, endStored);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Opens a night or cloud map when one is named.
PreparedSourceState OpenOptional(const char* name, std::optional<PreparedSource>& file) {
    if (name == nullptr) {
        return PreparedSourceState::Opened;
    }
    file.emplace();
    return file->Open(name);
}

}  // namespace

FileFrameResult RenderFileFrame(const FileFrameJob& job, int threadCount) {
    Sources sources;
    const PreparedSourceState opened[] = {
        sources.day.Open(job.dayFile),
        OpenOptional(job.darkenedDay ? nullptr : job.nightFile, sources.night),
        OpenOptional(job.cloudsFile, sources.clouds),
    };
    if (std::ranges::find(opened, PreparedSourceState::Damaged) != std::end(opened)) {
        return FileFrameResult::Failed;
    }
    if (std::ranges::count(opened, PreparedSourceState::Opened) != std::ssize(opened)) {
        return FileFrameResult::NotStreamable;
    }
    const ImageSize frameMap = sources.day.Cut().map;
    const int width = frameMap.width;
    const int height = frameMap.height;

    const bool fitted = job.fit && !(width == job.outputWidth && height == job.outputHeight);
    if (fitted && (job.outputWidth <= 0 || job.outputHeight <= 0)) {
        return FileFrameResult::Failed;
    }
    const FrameShows shows = WhatFrameShows(frameMap, job.outputWidth, job.outputHeight, fitted,
                                            ColumnShift(width, job.centreLongitude));
    for (const PreparedSource* source : {&sources.day, sources.night ? &*sources.night : nullptr,
                                         sources.clouds ? &*sources.clouds : nullptr}) {
        if (source != nullptr && !PartHolds(source->Cut().map, source->Cut().part, frameMap, shows)) {
            return FileFrameResult::MissingPart;
        }
    }
    FrameLayout layout{};
    std::vector<std::uint8_t> header;
    if (fitted || job.newFrameHeader) {
        // The canvas of FitFrameToOutput, or a new frame of the day image's size.
        header = fitted ? NewDibHeader(job.outputWidth, job.outputHeight, 32, false, true)
                        : NewDibHeader(width, height, 32, false, false);
        if (header.empty()) {
            return FileFrameResult::Failed;
        }
        layout = fitted ? FrameLayout{job.outputWidth,
                                      job.outputHeight,
                                      false,
                                      FrameOffset(job.outputWidth, width),
                                      FrameOffset(job.outputHeight, height),
                                      0,
                                      0}
                        : FrameLayout{width, height, false, 0, 0, 0, 0};
    } else {
        const std::span<const std::uint8_t> dayHeader = sources.day.HeaderBytes();
        header.assign(dayHeader.begin(), dayHeader.end());
        BitmapInfoHeader info;
        std::memcpy(&info, header.data(), sizeof info);
        layout = {width, height, info.height < 0, 0, 0, 0, 0};
    }
    layout.shiftX = WrapShift(job.wrapOriginX, layout.width);
    layout.shiftY = WrapShift(job.wrapOriginY, layout.height);

    FrameComposer composer;
    const CompositionSettings settings{
        job.utc,
        width,
        height,
        job.darkenedDay || sources.night.has_value(),
        job.darkenedDay,
        job.cloudFactor,
        job.centreLongitude,
    };
    if (!composer.Prepare(settings)) {
        return FileFrameResult::Failed;
    }

    const std::uint64_t pixelsStart = kBmpFileHeaderSize + header.size();
    const std::uint64_t rowBytes = kBytesPerPixel * static_cast<std::uint64_t>(layout.width);
    FileReplacement output(job.outputFile);
    if (!output.Write(BmpFileHeader(header.size() + rowBytes * static_cast<std::uint64_t>(layout.height),
                                    header.size())) ||
        !output.Write(header)) {
        return FileFrameResult::Failed;
    }
    const RenderContext context{composer, sources, layout, output, pixelsStart};
    bool rendered;
    if (std::clamp(threadCount, 1, 2) == 1 || layout.height < 2) {
        rendered = RenderStoredRows(context, 0, layout.height);
    } else {
        const int middle = layout.height / 2;
        std::atomic<bool> secondHalf{false};
        std::optional<std::thread> helper;
        try {
            helper.emplace([&] { secondHalf = RenderStoredRows(context, middle, layout.height); });
        } catch (const std::exception&) {
            // No second thread to be had: this thread renders both halves.
        }
        rendered = RenderStoredRows(context, 0, middle);
        if (helper) {
            helper->join();
        } else {
            secondHalf = RenderStoredRows(context, middle, layout.height);
        }
        rendered = rendered && secondHalf;
    }
    return rendered && output.Commit() ? FileFrameResult::Written : FileFrameResult::Failed;
}

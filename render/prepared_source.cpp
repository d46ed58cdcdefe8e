#include "render/prepared_source.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "image/dib_factory.h"
#include "image/file_io.h"
#include "image/image_resizer.h"
#include "image/last_error.h"
#include "image/picture_rows.h"
#include "image/resize_plan.h"
#include "render/scale_image_file.h"
#include "render/scaled_picture.h"

namespace {

constexpr std::size_t kBytesPerPixel = 4;
// The rows made and written at a time: enough to keep the writes few, few enough that the band
// stays small whatever the output's size (a single wider row is still made whole).
constexpr std::size_t kBandBytes = std::size_t{1} << 20;

// The record after the pixels of a part: a tag, then the whole map's width and height and the
// part's left column and top row, each a 32-bit little-endian integer.
constexpr std::array<std::uint8_t, 8> kRecordTag = {'M', 'A', 'P', ' ', 'P', 'A', 'R', 'T'};
constexpr std::size_t kRecordSize = kRecordTag.size() + 4 * 4;
using Record = std::array<std::uint8_t, kRecordSize>;

Record RecordOf(const PreparedCut& cut) {
    Record record{};
    std::copy(kRecordTag.begin(), kRecordTag.end(), record.begin());
    const std::int32_t fields[] = {cut.map.width, cut.map.height, cut.part.left, cut.part.top};
    for (std::size_t field = 0; field < 4; ++field) {
        const auto value = static_cast<std::uint32_t>(fields[field]);
        for (std::size_t byte = 0; byte < 4; ++byte) {
            record[kRecordTag.size() + 4 * field + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
        }
    }
    return record;
}

bool IsRecord(const Record& record) {
    return std::equal(kRecordTag.begin(), kRecordTag.end(), record.begin());
}

// The cut a record describes, for a part of partWidth x partHeight; nothing when it describes no
// part inside a map.
std::optional<PreparedCut> CutOfRecord(const Record& record, int partWidth, int partHeight) {
    std::int32_t fields[4];
    for (std::size_t field = 0; field < 4; ++field) {
        std::uint32_t value = 0;
        for (std::size_t byte = 0; byte < 4; ++byte) {
            value |= std::uint32_t{record[kRecordTag.size() + 4 * field + byte]} << (8 * byte);
        }
        fields[field] = static_cast<std::int32_t>(value);
    }
    const PreparedCut cut{{fields[0], fields[1]}, {fields[2], fields[3], partWidth, partHeight}};
    const bool inside = cut.map.width > 0 && cut.map.height > 0 && IsRowWisePictureSize(cut.map) &&
                        cut.part.left >= 0 &&
                        cut.part.left < cut.map.width && cut.part.width <= cut.map.width &&
                        cut.part.top >= 0 && cut.part.height <= cut.map.height - cut.part.top;
    return inside ? std::optional<PreparedCut>(cut) : std::nullopt;
}

// One row of the part: the run of columns from part.left on, wrapping at the map's right edge;
// rows holds the source rows from firstRow on that the row reads.
void MakePartRow(std::span<const std::uint32_t> rows, int firstRow, ResizePlan& plan, const PreparedCut& cut,
                 int mapRow, std::uint32_t* out) {
    const int beforeWrap = std::min(cut.part.width, cut.map.width - cut.part.left);
    plan.MakeRow(rows, firstRow, mapRow, cut.part.left, beforeWrap, out);
    if (beforeWrap < cut.part.width) {
        plan.MakeRow(rows, firstRow, mapRow, 0, cut.part.width - beforeWrap, out + beforeWrap);
    }
}

// The map rows made at a time: few enough that both the band and the source rows it reads stay
// near kBandBytes, whatever the sizes (a single row is still made whole).
int BandRows(ImageSize source, const PreparedCut& cut) {
    const std::size_t byBand = kBandBytes / (kBytesPerPixel * std::size_t(cut.part.width));
    const double sourceRowsPerRow = double(source.height) / double(cut.map.height);
    const double sourceRowsInBand = double(kBandBytes / (kBytesPerPixel * std::size_t(source.width)));
    // Two rows more for the neighbours that an enlargement or a box's edge reads.
    const double bySource = (sourceRowsInBand - 2.0) / sourceRowsPerRow;
    const double rows = std::min(double(byBand), bySource);
    return int(std::clamp(rows, 1.0, double(cut.part.height)));
}

// The source rows that map rows first..last read; none (first > last) when no source row falls
// into any of them. The spans grow with the row.
ResizePlan::RowSpan SourceRowsOfBand(const ResizePlan& plan, int first, int last) {
    ResizePlan::RowSpan span{0, -1};
    for (int row = first; row <= last; ++row) {
        const ResizePlan::RowSpan rows = plan.SourceRowsOf(row);
        if (rows.first > rows.last) {
            continue;  // a row that no source row falls into
        }
        span.first = span.last < span.first ? rows.first : std::min(span.first, rows.first);
        span.last = std::max(span.last, rows.last);
    }
    return span;
}

// Writes the part a band at a time, each from the source rows it reads; false with the reason of
// the first failure as the thread's last error. The bands go from the top down, as a JPEG decoder
// delivers its rows (one that decodes in order need not go back to the start for each band), and
// each takes its place in the file, whose rows run from the bottom up.
bool WritePart(PictureRows& picture, ResizePlan& plan, const PreparedCut& cut, const char* preparedFile) {
    const DibBlock header = NewDibHeader(cut.part.width, cut.part.height, 32, false, true);
    if (header.empty()) {
        return false;
    }
    const ImageSize source = picture.Size();
    const std::size_t rowPixels = static_cast<std::size_t>(cut.part.width);
    const std::uint64_t rowBytes = kBytesPerPixel * rowPixels;
    const int bandRows = BandRows(source, cut);
    std::vector<std::uint32_t> band(rowPixels * static_cast<std::size_t>(bandRows));
    std::vector<std::uint32_t> sourceRows;
    const bool whole = cut.part == MapPart{0, 0, cut.map.width, cut.map.height};
    const std::uint64_t pixelsAt = kBmpFileHeaderSize + header.size();
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(cut.part.height);

    std::optional<SavedThreadError> failure;
    {
        FileReplacement file(preparedFile);
        bool written = file.Write(BmpFileHeader(header.size() + pixelBytes + (whole ? 0 : kRecordSize),
                                                header.size())) &&
                       file.Write(header);
        for (int top = 0; written && top < cut.part.height; top += bandRows) {
            const int rows = std::min(bandRows, cut.part.height - top);
            const int topRow = cut.part.top + top;
            const ResizePlan::RowSpan read = SourceRowsOfBand(plan, topRow, topRow + rows - 1);
            if (read.first <= read.last) {
                const int count = read.last - read.first + 1;
                sourceRows.resize(std::size_t(count) * std::size_t(source.width));
                written = picture.Read(read.first, count, sourceRows);
                if (!written) {
                    break;
                }
            }
            // The band's lowest row first, as the file holds it.
            FillWithBackground(band, kResizeBackground);
            for (int index = 0; index < rows; ++index) {
                MakePartRow(sourceRows, read.first, plan, cut, topRow + rows - 1 - index,
                            band.data() + rowPixels * static_cast<std::size_t>(index));
            }
            written = file.WriteAt(
                pixelsAt + rowBytes * static_cast<std::uint64_t>(cut.part.height - top - rows),
                std::span(reinterpret_cast<const std::uint8_t*>(band.data()),
                          static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(rows)));
        }
        if (written && !whole) {
            written = file.WriteAt(pixelsAt + pixelBytes, RecordOf(cut));
        }
        if (!written || !file.Commit()) {
            failure.emplace();  // before the temporary file is cleared away
        }
    }
    if (failure) {
        failure->Restore();
        return false;
    }
    return true;
}

}  // namespace

bool PrepareSourceFile(const char* sourceFile, const char* preparedFile, const OutputShape& shape,
                       PreparedCut* cut) {
    if (sourceFile == nullptr || preparedFile == nullptr || shape.width <= 0 || shape.height <= 0) {
        SetImageLastError(LastError::InvalidParameter);
        return false;
    }
    try {
        std::unique_ptr<PictureRows> picture = OpenPictureRows(sourceFile);
        if (!picture) {
            return false;
        }
        const ImageSize size = picture->Size();
        const double factor = ScaleFactorFor(size.width, size.height, shape.width, shape.height, shape.crop);
        // The scaled map is never held whole, only the part of it kept: covering a very wide
        // desktop, the map may be larger than any picture held whole, while the rows it shows
        // are not.
        const ImageSize map = CImageResizer(factor).CalcDestSize(size.width, size.height);
        std::optional<ResizePlan> plan;
        std::optional<PreparedCut> made;
        if (map.width >= 1 && map.height >= 1) {
            plan = ResizePlan::Make(factor, size, map);
            made = PreparedCut{map, KeptPart(map, shape)};
        }
        if (!plan || !CheckedPixelCount(made->part.width, made->part.height)) {
            SetImageLastError(LastError::InvalidParameter);
            return false;
        }
        if (!WritePart(*picture, *plan, *made, preparedFile)) {
            return false;
        }
        if (cut != nullptr) {
            *cut = *made;
        }
        return true;
    } catch (const std::bad_alloc&) {
        SetImageLastError(LastError::OutOfMemory);
        return false;
    }
}

PreparedSourceState PreparedSource::Open(const char* name) {
    if (!file_.Open(name)) {
        return PreparedSourceState::OtherForm;
    }
    const int width = file_.Width();
    const int height = file_.Height();
    cut_ = {{width, height}, {0, 0, width, height}};
    if (width <= 0 || height <= 0) {
        return PreparedSourceState::OtherForm;
    }
    if (file_.TrailerSize() == 0) {
        return PreparedSourceState::Opened;  // a whole map
    }
    Record record;
    const std::optional<PreparedCut> cut =
        file_.ReadTrailer(record) && IsRecord(record) ? CutOfRecord(record, width, height) : std::nullopt;
    if (!cut) {
        return PreparedSourceState::Damaged;
    }
    cut_ = *cut;
    return PreparedSourceState::Opened;
}

bool PreparedSource::ReadMapRow(int y, std::span<std::uint8_t> into) {
    const MapPart& part = cut_.part;
    if (y < part.top || y >= part.top + part.height) {
        return false;
    }
    const std::size_t columns = into.size() / kBytesPerPixel;
    const auto mapWidth = static_cast<std::size_t>(cut_.map.width);
    if (columns > mapWidth) {
        std::memset(into.data() + kBytesPerPixel * mapWidth, 0xFF, kBytesPerPixel * (columns - mapWidth));
    }
    // The part's columns from part.left to the map's right edge, then those that wrapped to its
    // left edge; only those within the frame's columns are read.
    const auto left = static_cast<std::size_t>(part.left);
    const std::size_t beforeWrap = std::min<std::size_t>(part.width, mapWidth - left);
    const std::size_t wrapped = static_cast<std::size_t>(part.width) - beforeWrap;
    const std::size_t firstRun = left < columns ? std::min(beforeWrap, columns - left) : 0;
    const std::size_t secondRun = std::min(wrapped, columns);
    const int row = y - part.top;
    return (firstRun == 0 ||
            file_.ReadRow(row, into.subspan(kBytesPerPixel * left, kBytesPerPixel * firstRun))) &&
           (secondRun == 0 ||
            file_.ReadRow(row, into.first(kBytesPerPixel * secondRun), static_cast<int>(beforeWrap)));
}

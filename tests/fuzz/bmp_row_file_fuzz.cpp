// The row-by-row bitmap reader of timed redraws, against the whole-file reader (which must read
// the file as it reads the same bytes in memory): a file the row reader opens must load whole
// too, with the same size, the same bytes before the pixels and the same bytes in every row, and
// no row outside the picture may be read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "image/bmp_row_file.h"
#include "image/dib_image.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/picture_budget.h"
#include "tests/fuzz/scratch_file.h"

namespace {

// The reader opens files by name, so each input goes through a file.
void WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(ScratchFileName().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WithinPictureBudget(std::span(data, size))) {
        return -1;
    }
    WriteInput(data, size);
    // The whole-file reader takes the file as it takes its bytes.
    DibImage whole;
    DibImage fromFile;
    const int read = whole.ReadBmpBytes(std::vector<std::uint8_t>(data, data + size));
    FUZZ_CHECK(fromFile.ReadBmpFile(ScratchFileName().c_str()) == read && fromFile.Block() == whole.Block());
    BmpRowFile rows;
    if (!rows.Open(ScratchFileName().c_str())) {
        return 0;
    }
    FUZZ_CHECK(read == 1);
    FUZZ_CHECK(rows.Width() == whole.Width() && rows.Height() == whole.Height());
    FUZZ_CHECK(whole.BitsPerPixel() == 32);
    const std::span<const std::uint8_t> headerBytes = rows.HeaderBytes();
    FUZZ_CHECK(headerBytes.size() == whole.PixelDataOffset());
    FUZZ_CHECK(std::equal(headerBytes.begin(), headerBytes.end(), whole.Block().begin()));

    const std::size_t rowBytes = 4 * std::size_t(rows.Width());
    std::vector<std::uint8_t> row(rowBytes + 4);
    for (const int y : SampledPositions(rows.Height())) {
        FUZZ_CHECK(rows.ReadRow(y, std::span(row).first(rowBytes)));
        FUZZ_CHECK(std::memcmp(row.data(), whole.Row(y), rowBytes) == 0);
        FUZZ_CHECK(!rows.ReadRow(y, row));
    }
    FUZZ_CHECK(!rows.ReadRow(-1, std::span(row).first(rowBytes)));
    FUZZ_CHECK(!rows.ReadRow(rows.Height(), std::span(row).first(rowBytes)));
    return 0;
}

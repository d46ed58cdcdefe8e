// The JPEG markers read before a downloaded monthly map is decoded. Any bytes at all: what is
// read stays inside the data (the sanitizers watch), a frame's size is what its segment says, and
// the end marker is found only where the data ends with it.
#include <cstdint>
#include <span>

#include "image/jpeg_layout.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::optional<JpegLayout> layout = ReadJpegLayout(bytes);
    if (!layout) {
        return 0;
    }
    FUZZ_CHECK(size >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8);
    FUZZ_CHECK(layout->width >= 0 && layout->width <= 0xFFFF && layout->height >= 0 && layout->height <= 0xFFFF);
    FUZZ_CHECK(layout->components >= 0 && layout->components <= 0xFF);
    FUZZ_CHECK(layout->endsWithEndMarker == (bytes[size - 2] == 0xFF && bytes[size - 1] == 0xD9));
    return 0;
}

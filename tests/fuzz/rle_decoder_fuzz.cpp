// The run-length decoder on rows of any shape: it writes nothing outside the pixels of each row
// (neither the padding at a row's end nor anything past the last row), and nothing at all into
// rows smaller than they claim to be.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "image/rle_decoder.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool fourBit = input.ConsumeBool();
    const std::uint64_t width = input.ConsumeIntegralInRange<std::uint64_t>(0, 300);
    const std::uint64_t rowCount = input.ConsumeIntegralInRange<std::uint64_t>(0, 40);
    const std::uint64_t pixelBytes = fourBit ? (width + 1) / 2 : width;
    const std::uint64_t stride = pixelBytes + input.ConsumeIntegralInRange<std::uint64_t>(0, 5);
    // Sometimes more room than the rows take, sometimes less than they claim.
    const std::int64_t spare = input.ConsumeIntegralInRange<std::int64_t>(-3, 3);
    const std::uint64_t spanBytes = static_cast<std::uint64_t>(
        std::max<std::int64_t>(0, static_cast<std::int64_t>(stride * rowCount) + spare));
    const std::vector<std::uint8_t> stream = input.ConsumeRemainingBytes<std::uint8_t>();

    std::vector<std::uint8_t> pixels(spanBytes, kUntouched);
    const RleRows rows{pixels, stride, width, rowCount};
    DecodeRle(stream, fourBit ? kCompressionRle4 : kCompressionRle8, rows);

    if (spanBytes < stride * rowCount) {
        for (const std::uint8_t byte : pixels) {
            FUZZ_CHECK(byte == kUntouched);
        }
        return 0;
    }
    for (std::uint64_t at = 0; at < spanBytes; ++at) {
        const std::uint64_t row = stride == 0 ? rowCount : at / stride;
        const std::uint64_t column = stride == 0 ? 0 : at % stride;
        if (row >= rowCount || column >= pixelBytes) {
            FUZZ_CHECK(pixels[at] == kUntouched);
        } else if (fourBit && width % 2 == 1 && column == pixelBytes - 1) {
            // The low nibble of the last byte of an odd row of 4-bit pixels is padding.
            FUZZ_CHECK((pixels[at] & 0x0F) == (kUntouched & 0x0F));
        }
    }
    return 0;
}

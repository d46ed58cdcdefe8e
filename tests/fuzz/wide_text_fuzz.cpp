// Text conversion between the program's 8-bit strings and the system's UTF-16 names: any UTF-16
// goes there and back without loss, and any bytes convert to UTF-16 that converts back to text
// that converts to the same UTF-16 again.
#include <string>

#include "framework/wide_text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string units = Utf16FromUtf8(bytes);
    FUZZ_CHECK(Utf16FromUtf8(Utf8FromUtf16(units)) == units);

    std::u16string anyUnits(size / 2, u'\0');
    for (std::size_t i = 0; i < anyUnits.size(); ++i) {
        anyUnits[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    FUZZ_CHECK(Utf16FromUtf8(Utf8FromUtf16(anyUnits)) == anyUnits);
    return 0;
}

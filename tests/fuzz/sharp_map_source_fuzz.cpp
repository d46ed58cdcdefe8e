// The address patterns of the monthly maps (SharpMapSources), as a user or another program may
// store them: the input's first byte picks the month, the rest is the pattern. No placeholder is
// left in the address, the text around the placeholders stands as written, and the address
// reaches the download's address parser as any other would.
#include <cstdint>
#include <string>
#include <string_view>

#include "clouds/mirror_url.h"
#include "clouds/sharp_map_sources.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int month = data[0] % 12 + 1;
    const std::string_view pattern(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string address = SharpMapAddress(pattern, month);
    for (const std::string_view placeholder : {"{MM}", "{month}", "{record}"}) {
        FUZZ_CHECK(address.find(placeholder) == std::string::npos);
    }
    // Only placeholders change: a pattern without braces is its own address.
    if (pattern.find('{') == std::string_view::npos) {
        FUZZ_CHECK(address == pattern);
    }
    // Every replacement is at least two characters, and every placeholder at most eight.
    FUZZ_CHECK(address.size() * 4 >= pattern.size() && address.size() <= pattern.size() * 4 + 8);
    SplitMirrorUrl(address);
    return 0;
}

// Mirror addresses and the redirects that lead on from them. The input's first line is an
// address as a user might type it; each further line is the "Location" of a redirect answering
// the request before. A split address put back together splits into the same parts, and no
// redirect anywhere in the chain leads from https to http.
#include <string>
#include <string_view>
#include <tuple>

#include "clouds/mirror_url.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_lines.h"
#include "tests/fuzz/redirect_checks.h"

namespace {

auto PartsOf(const MirrorUrl& url) {
    return std::tie(url.Scheme, url.HostName, url.Port, url.UserName, url.Password, url.Path, url.Extra);
}

std::uint16_t SchemesOwnPort(const std::string& scheme) {
    return IsHttpScheme(scheme) ? 80 : IsHttpsScheme(scheme) ? 443 : 0;
}

// The address the parts spell, with the port written only where it is not the scheme's own.
std::string Joined(const MirrorUrl& url) {
    std::string address = url.Scheme + ":";
    const bool ownPort = url.Port == SchemesOwnPort(url.Scheme);
    if (!url.HostName.empty() || !url.UserName.empty() || !url.Password.empty() || !ownPort ||
        url.Path.starts_with("//")) {
        address += "//";
        if (!url.UserName.empty() || !url.Password.empty()) {
            address += url.UserName + (url.Password.empty() ? "" : ":" + url.Password) + "@";
        }
        const bool bracketed = url.HostName.find(':') != std::string::npos || url.HostName.starts_with('[');
        address += bracketed ? "[" + url.HostName + "]" : url.HostName;
        if (!ownPort) {
            address += ":" + std::to_string(url.Port);
        }
    }
    return address + url.Path + url.Extra;
}

void CheckSplit(std::string_view address) {
    const std::optional<MirrorUrl> url = SplitMirrorUrl(address);
    if (!url) {
        return;
    }
    FUZZ_CHECK(address.starts_with(url->Scheme + ":") && address.ends_with(url->Extra));
    FUZZ_CHECK(url->Extra.empty() || url->Extra.starts_with('?') || url->Extra.starts_with('#'));
    FUZZ_CHECK(url->HostName.find_first_of("/?#@") == std::string::npos);
    FUZZ_CHECK(url->UserName.find(':') == std::string::npos);
    const std::optional<MirrorUrl> again = SplitMirrorUrl(Joined(*url));
    FUZZ_CHECK(again && PartsOf(*again) == PartsOf(*url));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view address = NextLine(text);
    CheckSplit(address);
    std::optional<RequestTarget> target = MirrorRequestTarget(address);
    if (target) {
        FUZZ_CHECK(target->Port == (target->Secure ? 443 : 80) && target->Object.starts_with('/'));
    }
    while (target && !text.empty()) {
        target = CheckedRedirect(*target, NextLine(text));
    }
    return 0;
}

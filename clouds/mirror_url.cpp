#include "clouds/mirror_url.h"

#include <cctype>

namespace {

constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;
constexpr std::uint32_t kHighestPort = 65535;

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

bool IsSchemeCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

// The position of the ':' that ends the scheme, or npos when the address does not begin with one.
std::size_t SchemeEnd(std::string_view address) {
    if (address.empty() || std::isalpha(static_cast<unsigned char>(address.front())) == 0) {
        return std::string_view::npos;
    }
    std::size_t end = 1;
    while (end < address.size() && IsSchemeCharacter(address[end])) {
        ++end;
    }
    return end < address.size() && address[end] == ':' ? end : std::string_view::npos;
}

std::uint16_t DefaultPort(std::string_view scheme) {
    if (IsHttpScheme(scheme)) {
        return kHttpPort;
    }
    return IsHttpsScheme(scheme) ? kHttpsPort : 0;
}

// Digits only, at most 65535; an empty port means the scheme's own.
std::optional<std::uint16_t> ParsePort(std::string_view digits, std::uint16_t defaultPort) {
    if (digits.empty()) {
        return defaultPort;
    }
    std::uint32_t port = 0;
    for (const char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
        port = port * 10 + static_cast<std::uint32_t>(c - '0');
        if (port > kHighestPort) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint16_t>(port);
}

// Fills in the user information, host name and port of url from the part between "//" and the
// path.
bool SplitAuthority(std::string_view authority, MirrorUrl& url) {
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        url.UserName = userInfo.substr(0, colon);
        if (colon != std::string_view::npos) {
            url.Password = userInfo.substr(colon + 1);
        }
        authority.remove_prefix(at + 1);
    }

    std::string_view host = authority;
    std::string_view port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return false;
        }
        host = authority.substr(1, close - 1);
        const std::string_view afterHost = authority.substr(close + 1);
        if (!afterHost.empty() && !afterHost.starts_with(':')) {
            return false;
        }
        port = afterHost.substr(afterHost.empty() ? 0 : 1);
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    url.HostName = host;

    const std::optional<std::uint16_t> portNumber = ParsePort(port, DefaultPort(url.Scheme));
    if (!portNumber) {
        return false;
    }
    url.Port = *portNumber;
    return true;
}

bool WithinLimits(const MirrorUrl& url) {
    return url.Scheme.size() <= kMaxSchemeLength && url.HostName.size() <= kMaxHostNameLength &&
           url.UserName.size() <= kMaxUserNameLength && url.Password.size() <= kMaxPasswordLength &&
           url.Path.size() <= kMaxUrlPathLength && url.Extra.size() <= kMaxExtraInfoLength;
}

}  // namespace

std::optional<MirrorUrl> SplitMirrorUrl(std::string_view address) {
    const std::size_t schemeEnd = SchemeEnd(address);
    if (schemeEnd == std::string_view::npos) {
        return std::nullopt;
    }
    MirrorUrl url;
    url.Scheme = address.substr(0, schemeEnd);
    url.Port = DefaultPort(url.Scheme);

    // A '?' or '#' ends whatever part it appears in, the authority included.
    std::string_view rest = address.substr(schemeEnd + 1);
    if (const std::size_t extraStart = rest.find_first_of("?#"); extraStart != std::string_view::npos) {
        url.Extra = rest.substr(extraStart);
        rest = rest.substr(0, extraStart);
    }

    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t pathStart = rest.find('/');
        if (!SplitAuthority(rest.substr(0, pathStart), url)) {
            return std::nullopt;
        }
        url.Path = pathStart == std::string_view::npos ? "/" : rest.substr(pathStart);
    } else {
        url.Path = rest;
    }

    if (!WithinLimits(url)) {
        return std::nullopt;
    }
    return url;
}

bool IsHttpsScheme(std::string_view scheme) {
    return EqualsIgnoringCase(scheme, "https");
}

bool IsHttpScheme(std::string_view scheme) {
    return EqualsIgnoringCase(scheme, "http");
}

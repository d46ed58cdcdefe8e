#include "clouds/request_target.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "clouds/mirror_url.h"

namespace {

constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

// The path and the query of a split address, without its fragment.
std::string PathAndQuery(const MirrorUrl& url) {
    std::string object = url.Path.empty() ? "/" : url.Path;
    if (url.Extra.starts_with('?')) {
        object += url.Extra.substr(0, url.Extra.find('#'));
    }
    return object;
}

// Resolves "." and ".." segments of an absolute path, as a browser does before it asks.
std::string WithoutDotSegments(std::string_view path) {
    std::vector<std::string_view> kept;
    bool endsInDirectory = false;
    std::size_t at = 1;  // past the leading '/'
    while (at <= path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        const std::string_view segment = path.substr(at, slash - at);
        endsInDirectory = segment == "." || segment == "..";
        if (segment == "..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        } else if (segment != ".") {
            kept.push_back(segment);
        }
        at = slash + 1;
    }
    std::string result;
    for (const std::string_view segment : kept) {
        result += '/';
        result += segment;
    }
    if (result.empty() || endsInDirectory) {
        result += '/';
    }
    return result;
}

// Resolves a location that has neither scheme nor host against the object it answered.
std::string ResolvedObject(const std::string& base, std::string_view location) {
    const std::string basePath = base.substr(0, base.find('?'));
    if (location.starts_with('?')) {
        return basePath + std::string(location);
    }
    const std::size_t queryStart = location.find('?');
    const std::string_view path = location.substr(0, queryStart);
    const std::string_view query =
        queryStart == std::string_view::npos ? std::string_view() : location.substr(queryStart);
    std::string merged;
    if (path.starts_with('/')) {
        merged = path;
    } else {
        merged = basePath.substr(0, basePath.rfind('/') + 1) + std::string(path);
    }
    return WithoutDotSegments(merged) + std::string(query);
}

// Whether the location begins with a scheme: a letter, and a ':' before any '/' or '?'.
bool HasScheme(std::string_view location) {
    const std::size_t colon = location.find(':');
    return colon != std::string_view::npos && colon < location.find_first_of("/?") &&
           std::isalpha(static_cast<unsigned char>(location.front())) != 0;
}

}  // namespace

std::optional<RequestTarget> MirrorRequestTarget(std::string_view address) {
    const std::optional<MirrorUrl> url = SplitMirrorUrl(address);
    if (!url || url->HostName.empty()) {
        return std::nullopt;
    }
    const bool secure = IsHttpsScheme(url->Scheme);
    return RequestTarget{secure, url->HostName, secure ? kHttpsPort : kHttpPort, url->Path};
}

std::optional<RequestTarget> RedirectTarget(const RequestTarget& from, std::string_view location) {
    location = location.substr(0, location.find('#'));
    if (location.empty()) {
        return std::nullopt;
    }
    const bool schemeRelative = location.starts_with("//");
    if (schemeRelative || HasScheme(location)) {
        const std::string absolute =
            schemeRelative ? std::string(from.Secure ? "https:" : "http:") + std::string(location)
                           : std::string(location);
        const std::optional<MirrorUrl> url = SplitMirrorUrl(absolute);
        if (!url || url->HostName.empty() || url->Port == 0) {
            return std::nullopt;
        }
        const bool secure = IsHttpsScheme(url->Scheme);
        if ((!secure && !IsHttpScheme(url->Scheme)) || (from.Secure && !secure)) {
            return std::nullopt;
        }
        return RequestTarget{secure, url->HostName, url->Port, PathAndQuery(*url)};
    }
    RequestTarget target = from;
    target.Object = ResolvedObject(from.Object, location);
    return target;
}

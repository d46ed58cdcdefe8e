// What any redirect the download follows must keep, whatever the server wrote in "Location".
#pragma once

#include <optional>
#include <string_view>

#include "clouds/request_target.h"
#include "tests/fuzz/fuzz_check.h"

// Checks where a location led from, and returns the target to go on from.
inline std::optional<RequestTarget> CheckedRedirect(const RequestTarget& from, std::string_view location) {
    const std::optional<RequestTarget> to = RedirectTarget(from, location);
    if (!to) {
        return std::nullopt;
    }
    // Never from an encrypted connection to a plain one.
    FUZZ_CHECK(!from.Secure || to->Secure);
    FUZZ_CHECK(!to->HostName.empty() && to->Port != 0);
    // The GET asks for an absolute path, and a fragment is never sent.
    FUZZ_CHECK(to->Object.starts_with('/') && to->Object.find('#') == std::string::npos);
    // A new host comes from the location itself.
    FUZZ_CHECK(to->HostName == from.HostName || location.find(to->HostName) != std::string_view::npos);
    // An absolute path stays on the same server, with its "." and ".." segments resolved.
    if (location.starts_with('/') && !location.starts_with("//")) {
        FUZZ_CHECK(to->Secure == from.Secure && to->HostName == from.HostName && to->Port == from.Port);
        const std::string_view path = std::string_view(to->Object).substr(0, to->Object.find('?'));
        FUZZ_CHECK(path.find("/./") == std::string_view::npos && path.find("/../") == std::string_view::npos);
        FUZZ_CHECK(!path.ends_with("/.") && !path.ends_with("/.."));
    }
    return to;
}

// Where one request of a cloud download goes: the host, port and object of a GET, and whether
// the connection is encrypted. The first request of an attempt goes where the mirror's address
// says, by the download's own rule (plain addresses always to port 80, "https" ones encrypted to
// port 443, the path alone); every further one where a redirect of the answer before it says,
// as far as a redirect may lead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct RequestTarget {
    bool Secure = false;
    std::string HostName;
    std::uint16_t Port = 0;
    // The path, and for a redirect's target also its query: what the GET asks for.
    std::string Object;

    bool operator==(const RequestTarget&) const = default;
};

// The first request for a mirror's address: nothing when the address is malformed or names no
// host. Its port, user name, password, query and fragment are never used.
std::optional<RequestTarget> MirrorRequestTarget(std::string_view address);

// Where the "Location" of a redirect answering a request to from leads: an absolute "http" or
// "https" address (with its own port, and its query, never its fragment), one without a scheme
// ("//host/path"), an absolute path on the same host, or a path relative to the directory of
// from's object, with "." and ".." segments resolved. Nothing for a location that is empty,
// malformed, names another scheme or no host, or leads from an encrypted connection to a plain
// one (which would send in the clear what the user chose to keep private).
std::optional<RequestTarget> RedirectTarget(const RequestTarget& from, std::string_view location);

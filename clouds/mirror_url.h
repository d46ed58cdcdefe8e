// A cloud mirror's address split into its parts by the usual URL rules, with the length limits
// that WinINet's InternetCrackUrl puts on each part. The download uses only the host name,
// the path and whether the scheme asks for an encrypted connection; the port, the user name,
// the password and the extra part (query and fragment) are never sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The longest part of each kind that an address may hold; an address with a longer part is
// malformed.
inline constexpr std::size_t kMaxSchemeLength = 32;
inline constexpr std::size_t kMaxHostNameLength = 256;
inline constexpr std::size_t kMaxUserNameLength = 128;
inline constexpr std::size_t kMaxPasswordLength = 128;
inline constexpr std::size_t kMaxUrlPathLength = 2048;
inline constexpr std::size_t kMaxExtraInfoLength = 2048;

struct MirrorUrl {
    // As written, without its ':'.
    std::string Scheme;
    // Empty when the address has no "//" part or an empty one. An IPv6 literal is written in
    // brackets in the address and held here without them, as the resolver takes it.
    std::string HostName;
    // The port written in the address, else the scheme's own (80 for http, 443 for https), else 0.
    std::uint16_t Port = 0;
    std::string UserName;
    std::string Password;
    // From the first '/' after the host up to the first '?' or '#'. An address that names a host
    // but no path asks for the root, "/": the request that WinINet makes of an empty path.
    std::string Path;
    // The first '?' or '#' and everything after it.
    std::string Extra;
};

// Splits address: scheme, then "//" with an optional "user:password@", the host and an optional
// ":port", then the path and the extra part. The user information ends at the authority's last
// '@', the user name at the first ':' in it. Returns nothing for a malformed address: one that
// does not begin with a scheme (a letter, then letters, digits, '+', '-' or '.', then ':'), one
// with a part longer than its limit, an unclosed IPv6 bracket, or a port that is not a number up
// to 65535. An address without a "//" part splits with an empty host name.
std::optional<MirrorUrl> SplitMirrorUrl(std::string_view address);

// Whether scheme asks for an encrypted connection ("https", in any case).
bool IsHttpsScheme(std::string_view scheme);
// Whether scheme is plain "http", in any case.
bool IsHttpScheme(std::string_view scheme);

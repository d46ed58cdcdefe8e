// What the cloud download makes of the head of a mirror's answer. Only a 200 answer carries the
// map; a redirect is followed a few times, to where its "Location" leads; any other status is a
// failed attempt, whatever body comes with it. A "Content-Length" is a promise: a body that ends
// short of it was cut off, and one announced longer than the download would ever keep cannot
// be stored whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr std::uint32_t kHttpStatusOk = 200;
// Redirects followed within one attempt; the answer to the last request followed must be 200.
inline constexpr int kMaxCloudRedirects = 5;

// 301, 302, 303, 307 and 308: the thing asked for is elsewhere, named by "Location".
bool IsRedirectStatus(std::uint32_t status);

// The value of a "Content-Length" header, blanks around it allowed: decimal digits only, at most
// 2^64 - 1. Nothing for any other text, which makes the body's length unknowable.
std::optional<std::uint64_t> ParseContentLength(std::string_view value);

// Reading a moment typed on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Parses "YYYY-MM-DDTHH:MM[:SS]" followed by "Z", by an offset "+HH:MM" / "-HH:MM", or by
// nothing (then the time is taken as UTC). A blank may stand for the "T". Gives the moment in
// seconds since 1970-01-01 UTC, or nothing when the text is not such a time or names a day or
// time that does not exist (2023-02-29, 24:00).
std::optional<std::int64_t> ParseUtcTimestamp(std::string_view text);

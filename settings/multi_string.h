// The stored form of a list of strings (a registry multi-string): every entry followed by its
// NUL, and one more NUL closing the list, so an empty list is a single NUL byte. The mirror list
// is kept in this form, within a fixed budget of kMultiStringBufferSize bytes in all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The largest stored list that is read back, and the most that is ever written.
constexpr std::size_t kMultiStringBufferSize = 16384;

// True when data is a closed list: at least one byte, the last one NUL, and either that is the
// only byte or the one before it is NUL too. Anything else was cut short or is not a list.
bool IsClosedMultiString(std::span<const std::uint8_t> data);

// The entries of data in stored order, up to the first empty entry (which ends the list, so data
// that begins with a NUL gives no entries). A run at the end that no NUL closes is not an entry.
std::vector<std::string> SplitMultiString(std::span<const std::uint8_t> data);

// The stored form of entries. Entries are packed in order while each, with its NUL, fits in what
// is left of kMultiStringBufferSize - 1 bytes (the last byte is kept for the closing NUL); packing
// ends at the first entry that does not fit, and the entries after it are dropped too, so the
// stored list is always a leading part of the list in its own order. An entry is cut at a NUL it
// contains, since that NUL would end it in the stored form anyway.
std::vector<std::uint8_t> PackMultiString(const std::vector<std::string>& entries);

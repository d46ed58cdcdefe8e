// Whole-file reads and replacements for the working files, which one thread may rewrite while
// another reads them. A replacement is written under a temporary name beside the target and
// then renamed over it in one step: a reader sees the old file or the new one, never a part of
// either, and a failed write leaves the old file as it was.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The whole file, or nothing when it cannot be read or is larger than maxBytes (a limit that
// keeps a stray huge file from exhausting memory).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* name, std::uint64_t maxBytes);

// Replaces (or creates) the file with the pieces written one after another. False on any
// failure, with the previous file untouched and no temporary file left behind.
bool ReplaceFileContents(const char* name, std::initializer_list<std::span<const std::uint8_t>> pieces);

// The temporary name a replacement is written under: beside the target, so that the rename stays
// on one volume, and distinct per process and thread, so that two writers never share one.
std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId);

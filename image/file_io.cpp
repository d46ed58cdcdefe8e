#include "image/file_io.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <new>
#include <string_view>
#include <utility>

namespace {

std::mutex writeFailureLock;
std::optional<WriteFailure> latestWriteFailure;

constexpr char kTemporarySuffix[] = ".tmp";
// The pieces copied at a time.
constexpr std::size_t kCopyPiece = std::size_t{1} << 20;

std::string TemporaryName(const char* name, const std::string& processId, const std::string& threadId) {
    return std::string(name) + "." + processId + "-" + threadId + kTemporarySuffix;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 10 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

}  // namespace

std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId) {
    return TemporaryName(name, std::to_string(processId), std::to_string(threadId));
}

std::string TemporaryNamePattern(const char* name) {
    return TemporaryName(name, "*", "*");
}

std::optional<unsigned long> TemporaryFileWriter(const char* name, const std::string& temporary) {
    const std::string start = std::string(name) + ".";
    const std::string_view suffix = kTemporarySuffix;
    if (temporary.size() <= start.size() + suffix.size() || temporary.compare(0, start.size(), start) != 0 ||
        temporary.compare(temporary.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::string_view ids =
        std::string_view(temporary).substr(start.size(), temporary.size() - start.size() - suffix.size());
    const std::size_t dash = ids.find('-');
    if (dash == std::string_view::npos || !AllDigits(ids.substr(0, dash)) ||
        !AllDigits(ids.substr(dash + 1))) {
        return std::nullopt;
    }
    const unsigned long long processId = std::stoull(std::string(ids.substr(0, dash)));
    if (processId > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(processId);
}

void RemoveLeftoverTemporaries(const char* name, const std::function<bool(unsigned long)>& writerRuns) {
    for (const std::string& temporary : FilesMatching(TemporaryNamePattern(name))) {
        const std::optional<unsigned long> writer = TemporaryFileWriter(name, temporary);
        if (writer && !writerRuns(*writer)) {
            RemoveFile(temporary.c_str());
        }
    }
}

bool CopyFileContents(const char* from, const char* to) {
    InputFile source(from);
    const std::optional<std::uint64_t> size = source.Size();
    if (!size) {
        return false;
    }
    FileReplacement copy(to);
    std::vector<std::uint8_t> piece;
    try {
        piece.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*size, kCopyPiece)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::uint64_t offset = 0; offset < *size; offset += piece.size()) {
        piece.resize(static_cast<std::size_t>(std::min<std::uint64_t>(*size - offset, kCopyPiece)));
        if (!source.ReadAt(offset, piece) || !copy.Write(piece)) {
            return false;
        }
    }
    return copy.Commit();
}

std::optional<WriteFailure> TakeWriteFailure() {
    const std::lock_guard lock(writeFailureLock);
    return std::exchange(latestWriteFailure, std::nullopt);
}

void FileReplacement::Fail(unsigned long error) {
    // Threads writing their own parts may fail at once; the first reason is the one to tell.
    if (failed_.exchange(true)) {
        return;
    }
    error_ = error;
    const std::lock_guard lock(writeFailureLock);
    latestWriteFailure = WriteFailure{name_, error};
}

FileReplacement::~FileReplacement() {
    Discard();
}

bool FileReplacement::Write(std::span<const std::uint8_t> piece) {
    const std::uint64_t offset = end_;
    end_ += piece.size();
    return WriteAt(offset, piece);
}

bool ReplaceFileContents(const char* name, std::initializer_list<std::span<const std::uint8_t>> pieces) {
    FileReplacement replacement(name);
    for (const std::span<const std::uint8_t>& piece : pieces) {
        if (!replacement.Write(piece)) {
            return false;
        }
    }
    return replacement.Commit();
}

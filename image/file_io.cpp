#include "image/file_io.h"

#include <mutex>
#include <utility>

namespace {

std::mutex writeFailureLock;
std::optional<WriteFailure> latestWriteFailure;

std::string TemporaryName(const char* name, const std::string& processId, const std::string& threadId) {
    return std::string(name) + "." + processId + "-" + threadId + ".tmp";
}

}  // namespace

std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId) {
    return TemporaryName(name, std::to_string(processId), std::to_string(threadId));
}

std::string TemporaryNamePattern(const char* name) {
    return TemporaryName(name, "*", "*");
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

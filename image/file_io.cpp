#include "image/file_io.h"

std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId) {
    return std::string(name) + "." + std::to_string(processId) + "-" + std::to_string(threadId) + ".tmp";
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

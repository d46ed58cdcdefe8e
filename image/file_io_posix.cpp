#include <unistd.h>

#include <cstdio>
#include <new>

#include "image/file_io.h"

namespace {

// Closes the stream at the end of a scope.
class OwnedFile {
  public:
    OwnedFile(const char* name, const char* mode) : file_(std::fopen(name, mode)) {}
    ~OwnedFile() { Close(); }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;

    std::FILE* Get() const { return file_; }
    // False when the last buffered writes failed.
    bool Close() {
        const bool closed = file_ == nullptr || std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

  private:
    std::FILE* file_;
};

constexpr std::size_t kReadChunk = std::size_t{1} << 20;

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* name, std::uint64_t maxBytes) {
    OwnedFile file(name, "rb");
    if (file.Get() == nullptr) {
        return std::nullopt;
    }
    // Read to the end rather than trust a size taken before reading: the file may change.
    std::vector<std::uint8_t> contents;
    try {
        for (;;) {
            const std::size_t used = contents.size();
            contents.resize(used + kReadChunk);
            const std::size_t got = std::fread(contents.data() + used, 1, kReadChunk, file.Get());
            contents.resize(used + got);
            if (contents.size() > maxBytes) {
                return std::nullopt;
            }
            if (got < kReadChunk) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (std::ferror(file.Get())) {
        return std::nullopt;
    }
    return contents;
}

bool ReplaceFileContents(const char* name, std::initializer_list<std::span<const std::uint8_t>> pieces) {
    const std::string temporary =
        TemporaryNameBeside(name, static_cast<unsigned long>(getpid()), static_cast<unsigned long>(gettid()));
    bool written;
    {
        OwnedFile file(temporary.c_str(), "wb");
        written = file.Get() != nullptr;
        for (const std::span<const std::uint8_t>& piece : pieces) {
            written = written && (piece.empty() ||
                                  std::fwrite(piece.data(), 1, piece.size(), file.Get()) == piece.size());
        }
        written = file.Close() && written;
    }
    // No flush to the disk: the rename alone is what keeps readers from a partial file, and
    // every working file can be made again after a crash.
    if (!written || std::rename(temporary.c_str(), name) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

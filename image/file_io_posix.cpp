#include <fcntl.h>
#include <glob.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

namespace {

constexpr std::intptr_t kNoFile = -1;

int Descriptor(std::intptr_t file) {
    return static_cast<int>(file);
}

}  // namespace

InputFile::InputFile(const char* name) : file_(open(name, O_RDONLY | O_CLOEXEC)) {}

InputFile::~InputFile() {
    if (IsOpen()) {
        close(Descriptor(file_));
    }
}

bool InputFile::IsOpen() const {
    return file_ != kNoFile;
}

std::optional<std::uint64_t> InputFile::Size() const {
    struct stat status;
    if (!IsOpen() || fstat(Descriptor(file_), &status) != 0 || status.st_size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

bool InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    while (IsOpen() && !into.empty()) {
        const ssize_t got = pread(Descriptor(file_), into.data(), into.size(), static_cast<off_t>(offset));
        if (got <= 0) {
            return false;
        }
        offset += static_cast<std::uint64_t>(got);
        into = into.subspan(static_cast<std::size_t>(got));
    }
    return IsOpen();
}

FileReplacement::FileReplacement(const char* name)
    : name_(name),
      temporary_(TemporaryNameBeside(name, static_cast<unsigned long>(getpid()),
                                     static_cast<unsigned long>(gettid()))),
      file_(open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
    if (file_ == kNoFile) {
        Fail(static_cast<unsigned long>(errno));
    }
}

bool FileReplacement::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> piece) {
    while (!failed_ && !piece.empty()) {
        const ssize_t written =
            pwrite(Descriptor(file_), piece.data(), piece.size(), static_cast<off_t>(offset));
        if (written <= 0) {
            // A write that makes no progress is out of room.
            Fail(static_cast<unsigned long>(written == 0 ? ENOSPC : errno));
            break;
        }
        offset += static_cast<std::uint64_t>(written);
        piece = piece.subspan(static_cast<std::size_t>(written));
    }
    return !failed_;
}

bool FileReplacement::Commit() {
    if (file_ != kNoFile) {
        // On the disk before it takes the name, as on Windows.
        if (!failed_ && fsync(Descriptor(file_)) != 0) {
            Fail(static_cast<unsigned long>(errno));
        }
        if (close(Descriptor(file_)) != 0) {
            Fail(static_cast<unsigned long>(errno));
        }
        file_ = kNoFile;
    }
    if (!failed_ && std::rename(temporary_.c_str(), name_.c_str()) != 0) {
        Fail(static_cast<unsigned long>(errno));
    }
    if (failed_) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void FileReplacement::Discard() {
    if (file_ != kNoFile) {
        close(Descriptor(file_));
        file_ = kNoFile;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
}

std::FILE* OpenFileStream(const char* name, const char* mode) {
    return std::fopen(name, mode);
}

bool FlushFileStreamToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool PathExists(const char* name) {
    struct stat status;
    return stat(name, &status) == 0;
}

bool RemoveFile(const char* name) {
    return std::remove(name) == 0;
}

bool MoveFileOver(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

bool KeepUnderSecondName(const char* from, const char* to) {
    std::remove(to);
    return link(from, to) == 0 || CopyFileContents(from, to);
}

std::vector<std::string> FilesMatching(const std::string& pattern) {
    std::vector<std::string> names;
    glob_t found{};
    if (glob(pattern.c_str(), GLOB_NOSORT, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) {
            names.emplace_back(found.gl_pathv[i]);
        }
    }
    globfree(&found);
    return names;
}

bool OtherProcessRuns(unsigned long processId) {
    const auto id = static_cast<pid_t>(processId);
    return id > 0 && id != getpid() && (kill(id, 0) == 0 || errno == EPERM);
}

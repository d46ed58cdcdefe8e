// The Windows side. Readers open with every sharing flag, delete included, so that they never
// stand in the way of a rename that needs no more than that. Renaming over a file that a reader
// holds open fails all the same (classic rename semantics), so the rename is retried for a short
// while: readers, the program's own and those outside it (the desktop loading its wallpaper, a
// virus scanner), hold a working file only for the moment it takes to read it.
#include <windows.h>

#include <algorithm>
#include <new>

#include "image/file_io.h"

namespace {

// Waits of 5, 10, 20, 40, 80, 100, 100 ms between the attempts: about a third of a second in all.
constexpr int kRenameAttempts = 8;
constexpr DWORD kFirstRetryMilliseconds = 5;
constexpr DWORD kLongestRetryMilliseconds = 100;
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;  // per ReadFile or WriteFile call

// Closes the file handle at the end of a scope.
class OwnedFileHandle {
  public:
    explicit OwnedFileHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedFileHandle() { Close(); }
    OwnedFileHandle(const OwnedFileHandle&) = delete;
    OwnedFileHandle& operator=(const OwnedFileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const bool closed = !IsOpen() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::span<const std::uint8_t> piece) {
    while (!piece.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min(piece.size(), kMaxTransfer));
        DWORD written = 0;
        if (!WriteFile(file, piece.data(), chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        piece = piece.subspan(chunk);
    }
    return true;
}

bool IsMomentaryLock(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool RenameOver(const char* from, const char* to) {
    DWORD wait = kFirstRetryMilliseconds;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) {
            return true;
        }
        if (attempt == kRenameAttempts || !IsMomentaryLock(GetLastError())) {
            return false;
        }
        Sleep(wait);
        wait = std::min(2 * wait, kLongestRetryMilliseconds);
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* name, std::uint64_t maxBytes) {
    OwnedFileHandle file(CreateFileA(name, GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> contents;
    try {
        contents.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_OUTOFMEMORY);
        return std::nullopt;
    }
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min(contents.size() - done, kMaxTransfer));
        DWORD got = 0;
        // Fewer bytes than the size said: the file was cut short while we read it.
        if (!ReadFile(file.Get(), contents.data() + done, chunk, &got, nullptr) || got == 0) {
            return std::nullopt;
        }
        done += got;
    }
    return contents;
}

bool ReplaceFileContents(const char* name, std::initializer_list<std::span<const std::uint8_t>> pieces) {
    const std::string temporary = TemporaryNameBeside(name, GetCurrentProcessId(), GetCurrentThreadId());
    bool written;
    {
        OwnedFileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.IsOpen();
        for (const std::span<const std::uint8_t>& piece : pieces) {
            written = written && WriteAll(file.Get(), piece);
        }
        written = file.Close() && written;
    }
    if (written && RenameOver(temporary.c_str(), name)) {
        return true;
    }
    // The caller may want the reason, not the outcome of the clean-up.
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    SetLastError(error);
    return false;
}

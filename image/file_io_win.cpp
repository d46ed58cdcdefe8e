// The Windows side. Readers open with every sharing flag, delete included, so that they never
// stand in the way of a rename that needs no more than that. Renaming over a file that a reader
// holds open fails all the same (classic rename semantics), so the rename is retried for a short
// while: readers, the program's own and those outside it (the desktop loading its wallpaper, a
// virus scanner), hold a working file only for the moment it takes to read it.
//
// Names are the program's UTF-8 text and go to the wide functions, so that a folder named in
// any script works whatever the system's ANSI code page.
//
// NTFS journals a rename but not the data of the file renamed: after a power cut, a rename that
// reached the disk ahead of its file's data leaves the name holding zeros. So a replacement is
// flushed before it takes its name, and renames are written through.
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <new>

#include "framework/owned_handle_win.h"
#include "framework/wide_text_win.h"
#include "image/file_io.h"

namespace {

// Waits of 5, 10, 20, 40, 80, 160, 320, 500, 500, 500, 500 ms between the attempts: about two
// and a half seconds in all. The desktop reads a frame of 100 MB as its wallpaper in about a
// second from a slow disk, and a reader on a busy machine may wait for the processor while it
// holds a file open.
constexpr int kRenameAttempts = 12;
constexpr DWORD kFirstRetryMilliseconds = 5;
constexpr DWORD kLongestRetryMilliseconds = 500;
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;  // per ReadFile or WriteFile call

bool IsMomentaryLock(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool RenameOver(const char* from, const char* to) {
    const std::wstring wideFrom = WideFromUtf8(from);
    const std::wstring wideTo = WideFromUtf8(to);
    DWORD wait = kFirstRetryMilliseconds;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
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
    InputFile file(name);
    const std::optional<std::uint64_t> size = file.Size();
    if (!size || *size > maxBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> contents;
    try {
        contents.resize(static_cast<std::size_t>(*size));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_OUTOFMEMORY);
        return std::nullopt;
    }
    // Fewer bytes than the size said: the file was cut short while we read it.
    if (!file.ReadAt(0, contents)) {
        return std::nullopt;
    }
    return contents;
}

namespace {

const std::intptr_t kNoFile = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE Handle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

// An OVERLAPPED that only names a position: on a handle opened without FILE_FLAG_OVERLAPPED the
// call then reads or writes there and returns when done, so threads need not share a file
// pointer.
OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

}  // namespace

InputFile::InputFile(const char* name)
    : file_(reinterpret_cast<std::intptr_t>(CreateFileW(
          WideFromUtf8(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

InputFile::~InputFile() {
    if (IsOpen()) {
        CloseHandle(Handle(file_));
    }
}

bool InputFile::IsOpen() const {
    return file_ != kNoFile;
}

std::optional<std::uint64_t> InputFile::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(Handle(file_), &size) || size.QuadPart < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    while (IsOpen() && !into.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min(into.size(), kMaxTransfer));
        DWORD got = 0;
        OVERLAPPED position = At(offset);
        if (!ReadFile(Handle(file_), into.data(), chunk, &got, &position) || got == 0) {
            return false;
        }
        offset += got;
        into = into.subspan(got);
    }
    return IsOpen();
}

FileReplacement::FileReplacement(const char* name)
    : name_(name),
      temporary_(TemporaryNameBeside(name, GetCurrentProcessId(), GetCurrentThreadId())),
      file_(reinterpret_cast<std::intptr_t>(CreateFileW(WideFromUtf8(temporary_).c_str(), GENERIC_WRITE, 0,
                                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                        nullptr))) {
    if (file_ == kNoFile) {
        Fail(GetLastError());
    }
}

bool FileReplacement::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> piece) {
    while (!failed_ && !piece.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min(piece.size(), kMaxTransfer));
        DWORD written = 0;
        OVERLAPPED position = At(offset);
        if (!WriteFile(Handle(file_), piece.data(), chunk, &written, &position)) {
            Fail(GetLastError());
            break;
        }
        if (written != chunk) {
            // A write cut short is out of room.
            Fail(ERROR_DISK_FULL);
            break;
        }
        offset += written;
        piece = piece.subspan(written);
    }
    return !failed_;
}

bool FileReplacement::Commit() {
    if (file_ != kNoFile) {
        if (!failed_ && !FlushFileBuffers(Handle(file_))) {
            Fail(GetLastError());
        }
        if (!CloseHandle(Handle(file_))) {
            Fail(GetLastError());
        }
        file_ = kNoFile;
    }
    if (!failed_ && RenameOver(temporary_.c_str(), name_.c_str())) {
        temporary_.clear();
        return true;
    }
    if (!failed_) {
        Fail(GetLastError());
    }
    Discard();
    // The caller may want the reason, not the outcome of the clean-up.
    SetLastError(error_);
    return false;
}

void FileReplacement::Discard() {
    if (file_ != kNoFile) {
        CloseHandle(Handle(file_));
        file_ = kNoFile;
    }
    if (!temporary_.empty()) {
        DeleteFileW(WideFromUtf8(temporary_).c_str());
        temporary_.clear();
    }
}

std::FILE* OpenFileStream(const char* name, const char* mode) {
    return _wfopen(WideFromUtf8(name).c_str(), WideFromUtf8(mode).c_str());
}

bool FlushFileStreamToDisk(std::FILE* file) {
    // _commit is FlushFileBuffers on the stream's handle.
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool PathExists(const char* name) {
    return GetFileAttributesW(WideFromUtf8(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const char* name) {
    return DeleteFileW(WideFromUtf8(name).c_str()) != FALSE;
}

bool MoveFileOver(const char* from, const char* to) {
    return RenameOver(from, to);
}

bool KeepUnderSecondName(const char* from, const char* to) {
    const std::wstring wideTo = WideFromUtf8(to);
    DeleteFileW(wideTo.c_str());
    // A volume without links (FAT, exFAT) refuses one: a copy keeps the content all the same.
    return CreateHardLinkW(wideTo.c_str(), WideFromUtf8(from).c_str(), nullptr) || CopyFileContents(from, to);
}

std::vector<std::string> FilesMatching(const std::string& pattern) {
    const std::size_t slash = pattern.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const OwnedFindHandle search(FindFirstFileW(WideFromUtf8(pattern).c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(folder + Utf8FromWide(found.cFileName));
        }
    } while (FindNextFileW(search.Get(), &found));
    return names;
}

bool OtherProcessRuns(unsigned long processId) {
    if (processId == GetCurrentProcessId()) {
        return false;
    }
    const OwnedKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) {
        // A process of another user, which this one may not open, runs all the same.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

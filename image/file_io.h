// Whole-file reads and replacements for the working files, which one thread may rewrite while
// another reads them. A replacement is written under a temporary name beside the target and
// then renamed over it in one step: a reader sees the old file or the new one, never a part of
// either, and a failed write leaves the old file as it was. The new file reaches the disk before
// it takes the name, and the rename is written through: after a power cut the name holds the
// whole old file or the whole new one, never blocks that were not yet written (zeros).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A working file that could not be written, and the system's reason: a Windows error code, or
// errno natively.
struct WriteFailure {
    std::string File;
    unsigned long Error = 0;
};

// The latest replacement whose file could not be created, written or put in place, since the
// previous call, from any thread; nothing when none failed. The operations that write working
// files say only whether they succeeded, while the user of a full disk or of a folder they
// cannot write to needs to hear which file it was and why.
std::optional<WriteFailure> TakeWriteFailure();

// The whole file, or nothing when it cannot be read or is larger than maxBytes (a limit that
// keeps a stray huge file from exhausting memory).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const char* name, std::uint64_t maxBytes);

// Replaces (or creates) the file with the pieces written one after another. False on any
// failure, with the previous file untouched and no temporary file left behind.
bool ReplaceFileContents(const char* name, std::initializer_list<std::span<const std::uint8_t>> pieces);

// A file read in pieces at given offsets, shared with writers and renames as ReadWholeFile
// shares it. Several threads may read at once.
class InputFile {
  public:
    explicit InputFile(const char* name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const;
    // The file's size now, or nothing when it cannot be told.
    std::optional<std::uint64_t> Size() const;
    // Fills `into` from the bytes at offset; false unless every byte was read.
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into);

  private:
    std::intptr_t file_;  // file descriptor or HANDLE
};

// A replacement written in pieces, with the guarantees of ReplaceFileContents: it goes under a
// temporary name beside the target and takes the target's place only at Commit. Dropped
// without Commit (or after any failure) it leaves the previous file as it was and no
// temporary file behind.
class FileReplacement {
  public:
    explicit FileReplacement(const char* name);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends; false once any write has failed (and for every later one).
    bool Write(std::span<const std::uint8_t> piece);
    // Writes at an offset, beyond the appended pieces; several threads may write their own parts
    // at once (not together with Write).
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> piece);
    // Puts the file in place. False on any failure, the previous file untouched.
    bool Commit();

  private:
    // Marks the replacement as failed and, the first time, records the reason for
    // TakeWriteFailure.
    void Fail(unsigned long error);
    void Discard();

    std::string name_;
    std::string temporary_;
    std::intptr_t file_;  // file descriptor or HANDLE; kNoFile once closed
    std::uint64_t end_ = 0;
    std::atomic<bool> failed_{false};
    unsigned long error_ = 0;  // the first failure's reason, set once failed_ is
};

// The temporary name a replacement is written under: beside the target, so that the rename stays
// on one volume, and distinct per process and thread, so that two writers never share one.
std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId);
// A wildcard pattern ('*' for any run of characters) that every such temporary name of name
// matches: what is left of writes that were cut off, to be cleared away when nothing writes.
std::string TemporaryNamePattern(const char* name);
// The process that wrote a temporary file of name, read from the file's name; nothing when the
// name is not one that TemporaryNameBeside makes for name.
std::optional<unsigned long> TemporaryFileWriter(const char* name, const std::string& temporary);
// Whether a process other than this one runs under that id. An id that is taken again by a new
// process counts as running: its files stay until a later look.
bool OtherProcessRuns(unsigned long processId);
// Deletes the temporary files of name whose writer no longer runs (writerRuns says), which is
// what a process's end in the middle of a write leaves (a file of a frame's size each time).
// This process counts as ended, so it is called before this process writes working files.
void RemoveLeftoverTemporaries(const char* name,
                               const std::function<bool(unsigned long)>& writerRuns = OtherProcessRuns);

// Plain file operations on the working files, with names in the program's UTF-8 (the wide calls
// on Windows, so that a folder named in any script works).
//
// Opens a C stream as std::fopen does with mode; nullptr when it cannot.
std::FILE* OpenFileStream(const char* name, const char* mode);
// Writes what was written to the stream through to the disk, as a replacement's commit does
// before its rename; false when that fails.
bool FlushFileStreamToDisk(std::FILE* file);
// Whether a file or folder of that name is there.
bool PathExists(const char* name);
// Deletes the file; false when it could not (or was not there).
bool RemoveFile(const char* name);
// Gives the file from the name to, in one step, replacing a file of that name; retried for a
// moment as a replacement's rename is, and written through to the disk. False when it could not
// be done, with both as they were.
bool MoveFileOver(const char* from, const char* to);
// Gives the file named from the second name to as well (a hard link), or, on a volume that has
// no links, writes a copy of it there as a replacement is written; a file named to is replaced.
// Either way, a later MoveFileOver onto from leaves the old content under to. False when neither
// could be done.
bool KeepUnderSecondName(const char* from, const char* to);
// Writes a copy of the file as a replacement of to; false when it could not be read or written.
bool CopyFileContents(const char* from, const char* to);
// The files whose names match the pattern, a name in which '*' stands for any run of characters
// (in the last part only), with the pattern's folder before each.
std::vector<std::string> FilesMatching(const std::string& pattern);

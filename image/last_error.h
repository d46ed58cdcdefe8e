// The image toolkit reports why an operation failed through the thread's last-error code, as
// Windows does. The codes keep Windows' numeric values so that callers on Windows can read
// them with GetLastError; natively the code lives in a thread-local variable.
#pragma once

#include <cstdint>

enum class LastError : std::uint32_t {
    None = 0,
    InvalidHandle = 6,          // no block, or an empty image where pixels are needed
    OutOfMemory = 14,           // row table or image object not allocated
    InvalidParameter = 87,      // missing argument, block too small, header not 40 bytes
    BadDriverLevel = 119,       // the system delivered no pixels
    AlreadyInitialized = 1247,  // loading into an image that already holds pixels
};

void SetImageLastError(LastError code);
LastError GetImageLastError();

// The thread's error state as a whole: on Windows its last-error code, natively the toolkit's
// code and errno, which the C library's file calls set. Taken right after a failure and put back
// once the clean-up is done, it lets a caller learn the failure's reason rather than the
// clean-up's.
class SavedThreadError {
  public:
    SavedThreadError();
    void Restore() const;

  private:
    std::uint32_t code_;
    int systemError_;
};

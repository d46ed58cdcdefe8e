#include "image/last_error.h"

#include <cerrno>

namespace {
thread_local LastError threadLastError = LastError::None;
}

void SetImageLastError(LastError code) {
    threadLastError = code;
}

LastError GetImageLastError() {
    return threadLastError;
}

SavedThreadError::SavedThreadError()
    : code_(static_cast<std::uint32_t>(threadLastError)), systemError_(errno) {}

void SavedThreadError::Restore() const {
    threadLastError = static_cast<LastError>(code_);
    errno = systemError_;
}

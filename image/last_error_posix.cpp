#include "image/last_error.h"

namespace {
thread_local LastError threadLastError = LastError::None;
}

void SetImageLastError(LastError code) {
    threadLastError = code;
}

LastError GetImageLastError() {
    return threadLastError;
}

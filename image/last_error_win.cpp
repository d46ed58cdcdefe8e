#include "image/last_error.h"

#include <windows.h>

void SetImageLastError(LastError code) {
    SetLastError(static_cast<DWORD>(code));
}

LastError GetImageLastError() {
    return static_cast<LastError>(GetLastError());
}

SavedThreadError::SavedThreadError() : code_(GetLastError()), systemError_(0) {}

void SavedThreadError::Restore() const {
    SetLastError(code_);
}

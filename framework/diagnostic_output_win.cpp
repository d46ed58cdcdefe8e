#include <windows.h>

#include "framework/diagnostic_output.h"

void WriteDiagnostic(const char* text) noexcept {
    OutputDebugStringA(text);
}

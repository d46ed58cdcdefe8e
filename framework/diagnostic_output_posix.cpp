#include <cstdio>

#include "framework/diagnostic_output.h"

void WriteDiagnostic(const char* text) noexcept {
    std::fputs(text, stderr);
}

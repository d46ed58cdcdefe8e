#include "framework/exception_barrier.h"

#include <cstdio>
#include <exception>

#include "framework/diagnostic_output.h"

namespace {

// Formats into a fixed buffer: an exception may well be std::bad_alloc, so nothing here allocates.
void WriteReport(const char* where, const char* what) noexcept {
    char text[512];
    std::snprintf(text, sizeof text, "Orbiscape: exception dropped in %s: %s\n", where, what);
    WriteDiagnostic(text);
}

}  // namespace

void ReportSwallowedException(const char* where) noexcept {
    // Rethrowing the exception being handled is the one portable way to learn its type; the text
    // is formatted inside the inner handler, while the exception object is certainly alive.
    try {
        throw;
    } catch (const std::exception& exception) {
        WriteReport(where, exception.what());
    } catch (...) {
        WriteReport(where, "an exception of unknown type");
    }
}

// Windows calls the program back through window procedures, hooks and timer procedures. An
// exception that unwound into the system's own frames would end the program, or leave the system
// half-way through a change of its own state. Every such boundary therefore runs its body through
// CallWithoutThrowing, which reports the exception to the developer and answers with a fallback.
#pragma once

#include <utility>

// Tells the developer that an exception was caught at `where` (a short description of the
// boundary) and dropped, with its message when it is a std::exception. Only for use inside a
// catch block: it looks at the exception being handled.
void ReportSwallowedException(const char* where) noexcept;

// Returns body(), or, when body throws, reports the exception and returns fallback(). The fallback
// must not throw.
template <typename Body, typename Fallback>
auto CallWithoutThrowing(const char* where, Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        ReportSwallowedException(where);
        return std::forward<Fallback>(fallback)();
    }
}

#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <chrono>

#include "framework/wide_text_win.h"
#include "tools/child_process.h"

namespace {

// Quotes an argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& argument) {
    std::string quoted = "\"";
    int backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(static_cast<std::size_t>(c == '"' ? 2 * backslashes + 1 : backslashes), '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(static_cast<std::size_t>(2 * backslashes), '\\');
    return quoted + "\"";
}

double Milliseconds(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart) / 10000.0;  // 100 ns ticks
}

}  // namespace

ChildMeasure RunAndMeasure(const std::vector<std::string>& arguments) {
    ChildMeasure measure;
    std::string commandLine;
    for (const std::string& argument : arguments) {
        commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
    }
    std::wstring wideCommandLine = WideFromUtf8(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(WideFromUtf8(arguments[0]).c_str(), wideCommandLine.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &process)) {
        return measure;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    DWORD exitCode = 0;
    FILETIME created, ended, kernel, user;
    PROCESS_MEMORY_COUNTERS memory{};
    measure.started = true;
    measure.exitCode = GetExitCodeProcess(process.hProcess, &exitCode) ? static_cast<int>(exitCode) : -1;
    measure.wallMs = wall.count();
    if (GetProcessTimes(process.hProcess, &created, &ended, &kernel, &user)) {
        measure.cpuMs = Milliseconds(kernel) + Milliseconds(user);
    }
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
        measure.peakMemoryMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return measure;
}

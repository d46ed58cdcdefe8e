#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "tools/child_process.h"

ChildMeasure RunAndMeasure(const std::vector<std::string>& arguments) {
    ChildMeasure measure;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return measure;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return measure;
    }
    const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_usec) / 1000.0;
    };
    measure.started = true;
    measure.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    measure.wallMs = wall.count();
    measure.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    measure.peakMemoryMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // reported in KiB
    return measure;
}

// Runs a program to its end and measures it as a whole process, the way /usr/bin/time does:
// wall time, processor time and peak memory.
#pragma once

#include <string>
#include <vector>

struct ChildMeasure {
    bool started = false;
    int exitCode = -1;
    double wallMs = 0;
    double cpuMs = 0;          // user and system
    double peakMemoryMiB = 0;  // peak resident set (Linux) or peak working set (Windows)
};

// arguments[0] is the program's path; the rest are passed as they are. All are the program's
// 8-bit text (UTF-8), which the child reads back through ProgramArguments. On Linux the child's peak
// memory includes the peak this process had reached when it started the child (the kernel keeps
// it across the start), so measure while this process is still small.
ChildMeasure RunAndMeasure(const std::vector<std::string>& arguments);

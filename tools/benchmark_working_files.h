// What the working files cost at desktops of 1280 x 1024, 3840 x 2160, 7680 x 2160 (two 4K
// monitors) and 11520 x 2160 (three), with the program's default settings and its delivered
// maps: the preparation of the sources and one timed redraw from them, each as a process of its
// own (wall time, processor time, peak memory), the bytes of every working file, and the bytes
// written to the disk per day at the default redraw period. Both ways are measured: the sources
// scaled whole (as the program prepared them before) and cut to what the frames show; and, given
// a monthly map of 5400 x 2700 pixels, the month's sources prepared from it as from a download.
#pragma once

#include <string>
#include <vector>

// The table, with the child processes started from self (this program's path). dataFolder holds
// the delivered maps; sharpMap, unless empty, a monthly map to measure as a downloaded one. False
// when a step failed.
bool BenchmarkWorkingFiles(const std::string& self, const std::string& dataFolder, const std::string& sharpMap = {});

// The child processes' work: "--prepare-sources FOLDER WxH whole|cut|sharp" and "--redraw FOLDER WxH",
// in FOLDER; arguments as ProgramArguments gives them. Returns the exit code, or -1 when the
// arguments name neither.
int RunWorkingFilesStep(const std::vector<std::string>& arguments);

// The settings dialog's size list: the sizes an Active Desktop item can take, one per monitor
// and, with several monitors, the whole desktop. Built afresh from the monitors at each opening.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One monitor as the system lists it: the full monitor area (not the work area) and its
// device name.
struct MonitorArea {
    int width = 0;
    int height = 0;
    std::string deviceName;
};

struct SizeChoice {
    std::string text;
    std::uint32_t code = 0;  // see PackSize
};

struct SizeList {
    std::vector<SizeChoice> choices;
    std::vector<int> separators;  // entries with a line under them
    int selection = 0;
};

// A size as one 32-bit code: the height in the high 16 bits, the width in the low 16 bits,
// each cut to 16 bits.
std::uint32_t PackSize(int width, int height);
// The two halves of a code, as the settings store them (HorizontalRes, VerticalRes).
std::int32_t PackedWidth(std::uint32_t code);
std::int32_t PackedHeight(std::uint32_t code);

// The list for these monitors (in the system's order), the virtual screen's size, and the stored
// item size, which is selected when an entry has it (else the first monitor). With one monitor
// the list holds that monitor alone; with none, the stored size alone.
SizeList BuildSizeList(const std::vector<MonitorArea>& monitors, int virtualWidth, int virtualHeight,
                       std::int32_t storedWidth, std::int32_t storedHeight);

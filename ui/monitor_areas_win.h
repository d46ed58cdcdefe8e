// The monitors as the settings dialog's size list needs them.
#pragma once

#include <vector>

#include "ui/size_list.h"

// Every monitor of the desktop in the system's order, with its full area and device name; a
// monitor whose information cannot be read is left out.
std::vector<MonitorArea> ListMonitorAreas();

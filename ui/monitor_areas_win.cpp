#include "ui/monitor_areas_win.h"

#include <windows.h>

#include "framework/exception_barrier.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*clip*/, LPARAM areas) {
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& area = info.rcMonitor;
        CallWithoutThrowing(
            "the monitor enumeration",
            [&] {
                reinterpret_cast<std::vector<MonitorArea>*>(areas)->push_back(
                    {area.right - area.left, area.bottom - area.top, info.szDevice});
            },
            [] {});
    }
    return TRUE;  // the others are listed all the same
}

}  // namespace

std::vector<MonitorArea> ListMonitorAreas() {
    std::vector<MonitorArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

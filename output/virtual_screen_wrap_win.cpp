#include <windows.h>

#include "output/active_desktop_win.h"
#include "output/virtual_screen_wrap.h"
#include "output/wallpaper_win.h"

void WrapForVirtualScreen(DibImage& frame) {
    if (IsActiveDesktopOn()) {
        return;
    }
    WrapFrameForVirtualScreen(frame, GetSystemMetrics(SM_XVIRTUALSCREEN),
                              GetSystemMetrics(SM_YVIRTUALSCREEN));
}

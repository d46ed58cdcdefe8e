#include <windows.h>

#include "output/active_desktop_win.h"
#include "output/virtual_screen_wrap.h"
#include "output/wallpaper_win.h"

WrapOrigin VirtualScreenWrapOrigin() {
    if (IsActiveDesktopOn()) {
        return {};
    }
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
}

void WrapForVirtualScreen(DibImage& frame) {
    const WrapOrigin origin = VirtualScreenWrapOrigin();
    WrapFrameForVirtualScreen(frame, origin.x, origin.y);
}

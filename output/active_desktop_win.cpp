#include "output/active_desktop_win.h"

#include "output/wow64_win.h"

namespace {

// {75048700-EF1F-11D0-9888-006097DEACF9}
constexpr CLSID kActiveDesktopClass = {
    0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
// {F490EB00-1240-11D1-9888-006097DEACF9}
constexpr IID kActiveDesktopInterface = {
    0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

// The shell checks the size field against the record it knows.
constexpr DWORD kComponentsOptSize = 12;
static_assert(sizeof(COMPONENTSOPT) == kComponentsOptSize);

}  // namespace

HRESULT CreateActiveDesktop(OwnedActiveDesktop& desktop) {
    return CoCreateInstance(kActiveDesktopClass, nullptr, CLSCTX_INPROC_SERVER, kActiveDesktopInterface,
                            desktop.Receive());
}

HRESULT ReadDesktopItemOptions(IActiveDesktop& desktop, COMPONENTSOPT& options) {
    options = COMPONENTSOPT{};
    options.dwSize = kComponentsOptSize;
    return desktop.GetDesktopItemOptions(&options, 0);
}

bool IsActiveDesktopOn() {
    if (IsWow64()) {
        return false;
    }
    ComScope com;
    if (!com) {
        return false;
    }
    OwnedActiveDesktop desktop;
    if (FAILED(CreateActiveDesktop(desktop))) {
        return false;
    }
    COMPONENTSOPT options{};
    return SUCCEEDED(ReadDesktopItemOptions(*desktop.Get(), options)) && options.fActiveDesktop != FALSE;
}

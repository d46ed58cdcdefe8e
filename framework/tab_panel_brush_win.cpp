#include "framework/tab_panel_brush_win.h"

#include <commctrl.h>

namespace {

// The longest class name the system keeps.
constexpr int kClassNameLength = 260;

bool IsOfClass(HWND control, std::initializer_list<const char*> classes) {
    char className[kClassNameLength] = {};
    GetClassNameA(control, className, kClassNameLength);
    for (const char* name : classes) {
        if (lstrcmpiA(className, name) == 0) {
            return true;
        }
    }
    return false;
}

// The panel of tab, in screen coordinates.
RECT PanelOnScreen(HWND tab) {
    RECT panel = {};
    GetClientRect(tab, &panel);
    TabCtrl_AdjustRect(tab, FALSE, &panel);
    MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&panel), 2);
    return panel;
}

}  // namespace

void TabPanelBrush::TakeFrom(HWND tab) {
    tab_ = tab;
    colour_ = GetSysColor(COLOR_BTNFACE);
    RECT client = {};
    GetClientRect(tab, &client);
    RECT panel = client;
    TabCtrl_AdjustRect(tab, FALSE, &panel);
    const OwnedWindowDc screen;
    const OwnedMemoryDc memory(screen.Get());
    const OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    if (memory && bitmap && panel.right > panel.left && panel.bottom > panel.top) {
        const ScopedSelection selection(memory.Get(), bitmap.Get());
        if (selection) {
            const OwnedBrush face(CreateSolidBrush(colour_));
            FillRect(memory.Get(), &client, face.Get());
            SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_ERASEBKGND);
            const COLORREF drawn =
                GetPixel(memory.Get(), (panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2);
            if (drawn != CLR_INVALID) {
                colour_ = drawn;
            }
        }
    }
    brush_.Reset(CreateSolidBrush(colour_));
}

HBRUSH TabPanelBrush::BrushFor(HDC dc, HWND control, std::initializer_list<const char*> classes) const {
    if (!brush_ || tab_ == nullptr || !IsOfClass(control, classes)) {
        return nullptr;
    }
    const RECT panel = PanelOnScreen(tab_);
    RECT place = {};
    GetWindowRect(control, &place);
    if (place.left < panel.left || place.top < panel.top || place.right > panel.right ||
        place.bottom > panel.bottom) {
        return nullptr;
    }
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, colour_);
    return brush_.Get();
}

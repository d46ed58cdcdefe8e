#include "framework/label_background_win.h"

namespace {

// The static styles other than left-aligned and centred text (SS_RIGHT, SS_ICON, the
// rectangles and frames, SS_BITMAP...) all set one of these bits.
constexpr LONG kNonTextStaticStyles = 0xE;

// The longest class name the system keeps.
constexpr int kClassNameLength = 260;

}  // namespace

HBRUSH TransparentLabelBrush(HDC dc, HWND control, std::initializer_list<const char*> leftAlone) {
    char className[kClassNameLength] = {};
    GetClassNameA(control, className, kClassNameLength);
    for (const char* name : leftAlone) {
        if (lstrcmpiA(className, name) == 0) {
            return nullptr;
        }
    }
    if ((GetWindowLongA(control, GWL_STYLE) & kNonTextStaticStyles) != 0) {
        return nullptr;
    }
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

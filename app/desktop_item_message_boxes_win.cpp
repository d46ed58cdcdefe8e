#include "app/desktop_item_message_boxes_win.h"

#include <windows.h>

#include "ui/component_shown_dlg_win.h"

namespace {

constexpr char kCaption[] = "Orbiscape";

UINT IconStyle(DesktopItemPrompts::Icon icon) {
    switch (icon) {
        case DesktopItemPrompts::Icon::kError:
            return MB_ICONERROR;
        case DesktopItemPrompts::Icon::kInformation:
            return MB_ICONINFORMATION;
        case DesktopItemPrompts::Icon::kQuestion:
            return MB_ICONQUESTION;
        case DesktopItemPrompts::Icon::kNone:
            break;
    }
    return 0;
}

}  // namespace

void DesktopItemMessageBoxes::Tell(const char* text, Icon icon) {
    MessageBoxA(nullptr, text, kCaption, MB_OK | IconStyle(icon));
}

bool DesktopItemMessageBoxes::AskYesNo(const char* text, Icon icon) {
    return MessageBoxA(nullptr, text, kCaption, MB_YESNO | IconStyle(icon)) == IDYES;
}

void DesktopItemMessageBoxes::ShowEnlargeHint() {
    CComponentShownDlg().DoModal();
}

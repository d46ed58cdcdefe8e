#include "tests/e2e/desktop_windows_win.h"

#include <windows.h>

#include <array>

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kStaticClass[] = "Static";
constexpr char kTaskbarClass[] = "Shell_TrayWnd";
// The program's windows are all of this class; its tray window is the one without a title.
constexpr char kProgramWindowClass[] = "OrbiscapeWindow";
constexpr WPARAM kExitCommand = 57665;
constexpr DWORD kPollMs = 100;
constexpr DWORD kCloseTimeoutMs = 5000;

std::string WindowText(HWND window) {
    std::array<char, 1024> text{};
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ClassOf(HWND window) {
    std::array<char, 256> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    if (ClassOf(window) == kDialogClass && WindowText(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(const char* caption) {
    DialogSearch search{caption, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The message is the one static control with text; the icon is a static control too.
BOOL CALLBACK CollectMessage(HWND child, LPARAM parameter) {
    auto* text = reinterpret_cast<std::string*>(parameter);
    if (ClassOf(child) == kStaticClass) {
        const std::string childText = WindowText(child);
        if (!childText.empty()) {
            *text = childText;
            return FALSE;
        }
    }
    return TRUE;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0; IsWindow(window); waited += kPollMs) {
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

}  // namespace

bool TopLevelWindowExists(const char* title) {
    return FindWindowA(nullptr, title) != nullptr;
}

bool AnswerMessageBox(const char* caption, unsigned timeoutMs, std::string& text) {
    HWND box = nullptr;
    for (DWORD waited = 0; (box = FindDialog(caption)) == nullptr; waited += kPollMs) {
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    EnumChildWindows(box, &CollectMessage, reinterpret_cast<LPARAM>(&text));
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) {
        return false;
    }
    // A click on the button, as the mouse would give it; the box's owner then ends its modal loop.
    SendMessageA(ok, BM_CLICK, 0, 0);
    return WaitUntilGone(box, kCloseTimeoutMs);
}

bool ChooseTrayExit() {
    HWND tray = FindWindowA(kProgramWindowClass, "");
    return tray != nullptr && PostMessageA(tray, WM_COMMAND, kExitCommand, 0) != FALSE;
}

bool RepaintTaskbar() {
    HWND taskbar = FindWindowA(kTaskbarClass, nullptr);
    if (taskbar == nullptr) {
        return false;
    }
    return RedrawWindow(taskbar, nullptr, nullptr,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW) != FALSE;
}

#include "tests/e2e/desktop_windows_win.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdio>

#include "framework/wide_text_win.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kStaticClass[] = "Static";
constexpr char kTaskbarClass[] = "Shell_TrayWnd";
// The program's windows are all of this class; its tray window is the one without a title.
constexpr char kProgramWindowClass[] = "OrbiscapeWindow";
constexpr DWORD kPollMs = 100;
constexpr DWORD kCloseTimeoutMs = 5000;

// In UTF-8, so that a folder named in any script reads as it is named.
std::string WindowText(HWND window) {
    std::array<wchar_t, 1024> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return Utf8FromWide(text.data());
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

// The first in z-order, which is the newest of several dialogs with one caption.
HWND FindDialog(const char* caption) {
    DialogSearch search{caption, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogControl(const char* caption, int id) {
    const HWND dialog = FindDialog(caption);
    return dialog != nullptr && IsWindowVisible(dialog) ? GetDlgItem(dialog, id) : nullptr;
}

bool IsComboBox(HWND control) {
    return ClassOf(control) == "ComboBox";
}

bool IsListBox(HWND control) {
    return ClassOf(control) == "ListBox";
}

// The text of a list entry, through a combo box's or a list box's own messages; empty for an
// index that names no entry. The program's lists keep Unicode texts, which another process gets
// whole only through the Unicode messages. A drop-down list's trailing blanks are left out.
std::string ListEntry(HWND control, LRESULT index) {
    const bool combo = IsComboBox(control);
    std::array<wchar_t, 1024> entry{};
    const LRESULT length =
        SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length >= 0 && length < static_cast<LRESULT>(entry.size())) {
        SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(entry.data()));
    }
    std::array<char, 4 * 1024> text{};
    WideCharToMultiByte(CP_ACP, 0, entry.data(), -1, text.data(), static_cast<int>(text.size()), nullptr,
                        nullptr);
    std::string narrow = text.data();
    if (combo) {
        narrow.erase(narrow.find_last_not_of(' ') + 1);
    }
    return narrow;
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

// A balloon is a tooltip window of the shell in the balloon style; asked for its text it gives
// the text of the tool it shows, which from another process only a sent WM_GETTEXT reaches.
BOOL CALLBACK CollectBalloon(HWND window, LPARAM parameter) {
    auto* texts = reinterpret_cast<std::vector<std::string>*>(parameter);
    if (ClassOf(window) == TOOLTIPS_CLASSA && IsWindowVisible(window) &&
        (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0) {
        // A balloon whose text cannot be read now (its shell is busy) is there all the same.
        std::array<wchar_t, 1024> text{};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, kCloseTimeoutMs, &copied);
        texts->push_back(Utf8FromWide(text.data()));
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

bool ChooseTrayCommand(unsigned command) {
    // Said on failure, so that a scenario's log tells a program that has gone from a probe that
    // never ran.
    HWND tray = FindWindowA(kProgramWindowClass, "");
    if (tray == nullptr) {
        std::fprintf(stderr, "choose-tray-command: the program has no window\n");
        return false;
    }
    if (PostMessageA(tray, WM_COMMAND, command, 0) == FALSE) {
        std::fprintf(stderr, "choose-tray-command: the command was not posted, error %lu\n", GetLastError());
        return false;
    }
    return true;
}

bool SendSessionChange(unsigned event) {
    HWND tray = FindWindowA(kProgramWindowClass, "");
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    DWORD_PTR answer = 0;
    return tray != nullptr && SendMessageTimeoutA(tray, WM_WTSSESSION_CHANGE, event, session,
                                                  SMTO_ABORTIFHUNG, kCloseTimeoutMs, &answer) != 0;
}

bool ClickDialogControl(const char* caption, int id) {
    // Posted, as the mouse's click arrives: a click sent from another process is handled while
    // the dialog's loop waits for its next message, and a loop ended by it would take the first
    // message the program posts on the way out and drop it.
    const HWND control = FindDialogControl(caption, id);
    return control != nullptr && PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool SelectDialogListEntry(const char* caption, int id, const char* prefix) {
    const HWND control = FindDialogControl(caption, id);
    if (control == nullptr || !IsComboBox(control)) {
        return false;
    }
    const LRESULT entry =
        SendMessageA(control, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix));
    if (entry == CB_ERR || SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(entry), 0) == CB_ERR) {
        return false;
    }
    // A selection made by message is not announced; the user's would be.
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return true;
}

bool SetDialogControlText(const char* caption, int id, const char* text) {
    const HWND control = FindDialogControl(caption, id);
    return control != nullptr && SetWindowTextA(control, text) != FALSE;
}

bool DescribeDialogControl(const char* caption, int id, std::string& description) {
    const HWND control = FindDialogControl(caption, id);
    if (control == nullptr) {
        return false;
    }
    LRESULT selection = -1;
    std::string text = WindowText(control);
    if (IsComboBox(control) || IsListBox(control)) {
        selection = SendMessageA(control, IsComboBox(control) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
        text = ListEntry(control, selection);
    } else if (ClassOf(control) == kStaticClass) {
        selection = SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0 ? 1 : 0;
    }
    description = std::to_string(IsWindowEnabled(control) ? 1 : 0) + " " +
                  std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0)) + " " + std::to_string(selection) +
                  " " + text;
    return true;
}

bool ListDialogEntries(const char* caption, int id, std::vector<std::string>& entries) {
    const HWND control = FindDialogControl(caption, id);
    if (control == nullptr || !(IsComboBox(control) || IsListBox(control))) {
        return false;
    }
    const LRESULT count = SendMessageA(control, IsComboBox(control) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        entries.push_back(ListEntry(control, index));
    }
    return true;
}

bool DialogControlRect(const char* caption, int id, RECT& rect) {
    const HWND control = FindDialogControl(caption, id);
    return control != nullptr && GetWindowRect(control, &rect) != FALSE;
}

std::vector<std::string> ShownBalloonTexts() {
    std::vector<std::string> texts;
    EnumWindows(&CollectBalloon, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool RepaintTaskbar() {
    HWND taskbar = FindWindowA(kTaskbarClass, nullptr);
    if (taskbar == nullptr) {
        return false;
    }
    return RedrawWindow(taskbar, nullptr, nullptr,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW) != FALSE;
}

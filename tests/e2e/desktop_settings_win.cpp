#include "tests/e2e/desktop_settings_win.h"

#include <windows.h>

#include "framework/wide_text_win.h"

namespace {

constexpr UINT kBroadcastTimeoutMs = 5000;

}  // namespace

bool WriteUserTextUtf8(const std::string& key, const std::string& name, const std::string& text) {
    const std::wstring wideText = WideFromUtf8(text);
    return RegSetKeyValueW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), WideFromUtf8(name).c_str(), REG_SZ,
                           wideText.c_str(),
                           static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool ChangeDisplaySize(int width, int height) {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsW(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
}

bool BroadcastResume() {
    bool sent = true;
    for (const WPARAM event : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND}) {
        DWORD_PTR answer = 0;
        sent = SendMessageTimeoutW(HWND_BROADCAST, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG,
                                   kBroadcastTimeoutMs, &answer) != 0 &&
               sent;
    }
    return sent;
}

double UnixTimeNow() {
    // FILETIME counts 100-nanosecond steps from 1601; 1970 is 11644473600 seconds later.
    constexpr unsigned long long kStepsBefore1970 = 116444736000000000ULL;
    FILETIME now = {};
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long steps =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<double>(steps - kStepsBefore1970) / 1e7;
}

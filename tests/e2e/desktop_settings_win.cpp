#include "tests/e2e/desktop_settings_win.h"

#include <windows.h>

#include <vector>

namespace {

constexpr UINT kBroadcastTimeoutMs = 5000;

std::wstring Wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

}  // namespace

std::optional<std::string> ShownWallpaperUtf8() {
    wchar_t path[MAX_PATH] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) {
        return std::nullopt;
    }
    return Utf8(path);
}

std::optional<std::string> ReadUserTextUtf8(const std::string& key, const std::string& name) {
    const std::wstring wideKey = Wide(key);
    const std::wstring wideName = Wide(name);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), RRF_RT_REG_SZ, nullptr,
                     text.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return Utf8(text.data());
}

bool WriteUserTextUtf8(const std::string& key, const std::string& name, const std::string& text) {
    const std::wstring wideText = Wide(text);
    return RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(), REG_SZ, wideText.c_str(),
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

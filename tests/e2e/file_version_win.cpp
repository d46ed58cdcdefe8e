#include "tests/e2e/file_version_win.h"

#include <windows.h>

#include <cstdio>

#include "framework/wide_text_win.h"

namespace {

// The texts that Properties, Details shows.
constexpr const char* kShownTexts[] = {"CompanyName",    "FileDescription", "FileVersion",
                                       "LegalCopyright", "ProductName",     "ProductVersion"};

struct Translation {
    WORD language;
    WORD codePage;
};

}  // namespace

bool ReadFileVersion(const std::string& utf8Path, std::string& fixedVersion,
                     std::vector<std::pair<std::string, std::string>>& texts) {
    const std::wstring path = WideFromUtf8(utf8Path);
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> record(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, record.data())) {
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                  static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
                  static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
    fixedVersion = numbers;

    Translation* translations = nullptr;
    if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof(Translation)) {
        return false;
    }
    texts.clear();
    for (const char* name : kShownTexts) {
        wchar_t query[128];
        std::swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%hs", translations[0].language,
                      translations[0].codePage, name);
        wchar_t* text = nullptr;
        if (VerQueryValueW(record.data(), query, reinterpret_cast<void**>(&text), &length) && length > 0) {
            texts.emplace_back(name, Utf8FromWide(text));
        }
    }
    return true;
}

#include "app/working_folder_win.h"

#include <windows.h>

#include "app/working_folder_notices.h"
#include "image/file_io.h"
#include "render/working_files.h"

namespace {

std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace

std::optional<unsigned long> WorkingFilesRefused() {
    // A replacement of the frame, dropped unused: its temporary file is created beside the frame
    // and deleted again, as every working file is first written.
    FileReplacement probe(kCurrentFrameFile);
    if (probe.Write({})) {
        return std::nullopt;
    }
    const std::optional<WriteFailure> failure = TakeWriteFailure();
    return failure ? failure->Error : ERROR_ACCESS_DENIED;
}

void TellUnwritableFolder(unsigned long error) {
    const std::u16string message = UnwritableFolderMessage(CurrentFolder(), SystemErrorText(error));
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(message.c_str()), L"Orbiscape", MB_ICONERROR);
}

std::u16string CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) {
        return std::u16string();
    }
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    return length != 0 && length < needed ? FromWide(folder.data(), length) : std::u16string();
}

std::u16string SystemErrorText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string words = length != 0 ? FromWide(text, length) : std::u16string();
    LocalFree(text);
    while (!words.empty() && (words.back() == u'\r' || words.back() == u'\n' || words.back() == u' ')) {
        words.pop_back();
    }
    if (words.empty()) {
        const std::string number = "Error " + std::to_string(error) + ".";
        words.assign(number.begin(), number.end());
    }
    return words;
}

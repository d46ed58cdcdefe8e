#include "app/command_line_actions_win.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/command_sink.h"
#include "app/program_directory.h"
#include "framework/owned_handle_win.h"
#include "framework/wide_text_win.h"
#include "image/file_io.h"
#include "output/desktop_item_win.h"
#include "output/user_wallpaper_win.h"
#include "output/wallpaper_win.h"
#include "render/working_files.h"

namespace {

// The module path buffer's size in wide characters, as long as a path can be; a longer one is
// cut short by the system, and a cut path names no file.
constexpr DWORD kModulePathBufferSize = 32768;

// How long a running copy may take to answer the request to close, and then to end: it stops a
// running download within two seconds. A copy that has not ended by then hangs, and is ended by
// force, so that it cannot write its files again after they are deleted.
constexpr DWORD kCloseAnswerTimeoutMs = 5000;
constexpr DWORD kRunningCopyEndTimeoutMs = 15000;
constexpr DWORD kTerminationTimeoutMs = 5000;

// The program file's full path; empty when the system cannot give all of it. The wide form
// names the folder whatever letters it holds; the narrow one would turn those outside the ANSI
// code page into question marks.
std::string ProgramFilePath() {
    std::wstring path(kModulePathBufferSize, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kModulePathBufferSize);
    if (length == 0 || length >= kModulePathBufferSize) {
        return std::string();
    }
    path.resize(length);
    return Utf8FromWide(path);
}

// Closes the running copy's hidden window and waits until its process has ended.
void EndRunningCopy(HWND commandSink) {
    DWORD processId = 0;
    GetWindowThreadProcessId(commandSink, &processId);
    const OwnedKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(commandSink, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseAnswerTimeoutMs, &ignored);
    if (!process) {
        return;
    }
    if (WaitForSingleObject(process.Get(), kRunningCopyEndTimeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), kTerminationTimeoutMs);
    }
}

}  // namespace

void StartFromProgramDirectory() {
    const std::string program = ProgramFilePath();
    if (program.empty()) {
        return;
    }
    const std::wstring directory = WideFromUtf8(DirectoryOfPath(program));
    ShellExecuteW(nullptr, nullptr, WideFromUtf8(program).c_str(), nullptr,
                  directory.empty() ? nullptr : directory.c_str(), SW_SHOWNORMAL);
}

void UninstallFromDesktop() {
    if (const HWND runningCopy = FindWindowA(nullptr, kCommandSinkTitle)) {
        EndRunningCopy(runningCopy);
    }
    const std::string directory = DirectoryOfPath(ProgramFilePath());
    const bool inProgramDirectory =
        !directory.empty() && SetCurrentDirectoryW(WideFromUtf8(directory).c_str());
    RemoveDesktopItems();
    ClearWallpaper();
    if (!inProgramDirectory) {
        return;
    }
    for (const char* file : kWorkingFiles) {
        DeleteFileW(WideFromUtf8(file).c_str());
        RemoveLeftoverTemporaries(file);
    }
    // The monthly maps were downloaded, not delivered: they go too.
    for (const std::string& file : SharpMapFileNames()) {
        DeleteFileW(WideFromUtf8(file).c_str());
        RemoveLeftoverTemporaries(file.c_str());
    }
    // A copy of the user's picture that the desktop shows again stays with the wallpaper.
    RemoveUnshownAsideCopies();
}

#include "app/command_line_actions_win.h"

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <string>

#include "app/command_sink.h"
#include "app/program_directory.h"
#include "output/desktop_item_win.h"
#include "output/wallpaper_win.h"
#include "render/working_files.h"

namespace {

// The module path buffer's size; a longer path is cut short by the system, and a cut path
// names no file.
constexpr DWORD kModulePathBufferSize = 520;

// The working files, in the order they are deleted. The source pictures and the cloud maps in
// JPEG form are the program's own data and stay.
constexpr std::array<const char*, 10> kWorkingFiles = {
    kCurrentFrameFile, kCurrentDayFile,   kCurrentNightFile,  kCurrentCloudsFile, kPreviewFrameFile,
    kPreviewDayFile,   kPreviewNightFile, kPreviewCloudsFile, kDesktopCloudsFile, kSmallCloudsFile,
};

// The program file's full path; empty when the system cannot give all of it.
std::string ProgramFilePath() {
    char path[kModulePathBufferSize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kModulePathBufferSize);
    if (length == 0 || length >= kModulePathBufferSize) {
        return std::string();
    }
    return std::string(path, length);
}

}  // namespace

void StartFromProgramDirectory() {
    const std::string program = ProgramFilePath();
    if (program.empty()) {
        return;
    }
    const std::string directory = DirectoryOfPath(program);
    ShellExecuteA(nullptr, nullptr, program.c_str(), nullptr, directory.empty() ? nullptr : directory.c_str(),
                  SW_SHOWNORMAL);
}

void UninstallFromDesktop() {
    if (const HWND runningCopy = FindWindowA(nullptr, kCommandSinkTitle)) {
        SendMessageA(runningCopy, WM_CLOSE, 0, 0);
    }
    const std::string directory = DirectoryOfPath(ProgramFilePath());
    const bool inProgramDirectory = !directory.empty() && SetCurrentDirectoryA(directory.c_str());
    RemoveDesktopItems();
    ClearWallpaper();
    if (!inProgramDirectory) {
        return;
    }
    for (const char* file : kWorkingFiles) {
        DeleteFileA(file);
    }
}

// orbiscape-e2e-probe: the end-to-end scripts' eyes and hands inside the Wine desktop. Each
// command does one thing that needs Win32, prints what it found on standard output and answers
// with its exit code: 0 yes or done, 1 no or not found, 2 a failure, 64 a wrong command line.
//
//   subsolar-point                     "LATITUDE LONGITUDE" of the sun overhead now, degrees
//   bitmap-size FILE                   "WIDTH HEIGHT" of a bitmap file
//   region-means FILE X Y W H [...]    "RED GREEN BLUE" means, one line per rectangle
//   differing-pixels A X Y B X Y W H T
//                                      "COUNT TOTAL": pixels of the W x H rectangle at X Y in
//                                      bitmap A that differ by more than T in some channel from
//                                      those of the rectangle at X Y in bitmap B
//   wallpaper                          the wallpaper file the system has set, in UTF-8
//   window-exists TITLE                whether a top-level window of that title exists
//   answer-message-box CAPTION MS      waits for the box, prints its text, presses OK
//   choose-tray-exit                   the program's tray menu command "E&xit"
//   choose-tray-command ID             the program's tray menu command of that id
//   dialog-click CAPTION ID            clicks a button of the dialog with that caption
//   dialog-select CAPTION ID PREFIX    selects the first list entry beginning with PREFIX
//   dialog-set-text CAPTION ID TEXT    sets a control's text
//   dialog-control CAPTION ID          "ENABLED CHECK SELECTION TEXT" of a control
//   dialog-list CAPTION ID             every entry of a list box or drop-down list, one a line
//   dialog-rect CAPTION ID             "X Y W H" of a control on the screen, in pixels
//   registry-qword KEY VALUE           a REG_QWORD under HKEY_CURRENT_USER, in decimal
//   registry-string KEY VALUE          a REG_SZ under HKEY_CURRENT_USER, in UTF-8, or each entry
//                                      of a REG_MULTI_SZ on a line of its own
//   registry-set-text KEY VALUE TEXT   stores a REG_SZ under HKEY_CURRENT_USER, any letters
//   change-display WIDTH HEIGHT        the display's new size; prints the moment of the change
//                                      in seconds since 1970
//   broadcast-resume                   the system's wake broadcast to every top-level window;
//                                      prints the moment it was sent in seconds since 1970
//   session-change EVENT               the system's notice of a session change (7 lock, 8
//                                      unlock, ...) to the program's tray window; prints the
//                                      moment it was sent in seconds since 1970
//   repaint-taskbar                    repaints the taskbar and its tray icons
//   balloons                           the text of every balloon shown now, one a line
//   process-count EXE                  how many processes of that file name run
//   process-ids EXE                    the ids of the processes of that file name, one a line
//   process-resources EXE              handles, GDI and USER objects and memory of the one
//                                      process of that file name, "NAME VALUE" per line
//   file-version FILE                  a program file's version record as Properties, Details
//                                      shows it: "FixedFileVersion A.B.C.D", then "NAME: TEXT"
//                                      per text
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <ctime>
#include <string>
#include <vector>

#include "framework/program_arguments.h"
#include "framework/wide_text_win.h"
#include "resources/resource_ids.h"
#include "tests/e2e/bitmap_pixels_win.h"
#include "tests/e2e/desktop_settings_win.h"
#include "tests/e2e/desktop_windows_win.h"
#include "tests/e2e/file_version_win.h"
#include "tests/e2e/process_resources_win.h"
#include "tests/e2e/subsolar_point.h"

namespace {

constexpr int kYes = 0;
constexpr int kNo = 1;
constexpr int kFailure = 2;
constexpr int kUsage = 64;

// The tray menu's "E&xit".
constexpr unsigned kExitCommand = ID_APP_EXIT;

// Reads count whole numbers from texts into values; false at the first text that is not one.
bool ParseIntegers(char** texts, int count, int* values) {
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(texts[i], &end, 10);
        if (end == texts[i] || *end != '\0' || errno != 0 || value < INT_MIN || value > INT_MAX) {
            return false;
        }
        values[i] = static_cast<int>(value);
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: orbiscape-e2e-probe subsolar-point | bitmap-size FILE | region-means FILE X Y W H "
                 "[X Y W H ...] | differing-pixels A X Y B X Y W H T | wallpaper | window-exists TITLE | "
                 "answer-message-box CAPTION MS | choose-tray-exit | choose-tray-command ID | "
                 "dialog-click CAPTION ID | dialog-select CAPTION ID PREFIX | "
                 "dialog-set-text CAPTION ID TEXT | dialog-control CAPTION ID | "
                 "dialog-list CAPTION ID | dialog-rect CAPTION ID | "
                 "registry-qword KEY VALUE | registry-string KEY VALUE | registry-set-text KEY VALUE TEXT | "
                 "change-display WIDTH HEIGHT | broadcast-resume | session-change EVENT | repaint-taskbar | "
                 "balloons | "
                 "process-count EXE | process-ids EXE | process-resources EXE | file-version FILE\n");
    return kUsage;
}

// The dialog commands; `argument` is the fifth word, where the command takes one.
int DriveDialog(const std::string& command, const char* caption, int id, const char* argument, int argc) {
    if (command == "dialog-click" && argc == 4) {
        return ClickDialogControl(caption, id) ? kYes : kNo;
    }
    if (command == "dialog-select" && argc == 5) {
        return SelectDialogListEntry(caption, id, argument) ? kYes : kNo;
    }
    if (command == "dialog-set-text" && argc == 5) {
        return SetDialogControlText(caption, id, argument) ? kYes : kNo;
    }
    std::vector<std::string> entries;
    if (command == "dialog-list" && argc == 4) {
        if (!ListDialogEntries(caption, id, entries)) {
            return kNo;
        }
        for (const std::string& entry : entries) {
            std::printf("%s\n", entry.c_str());
        }
        return kYes;
    }
    RECT rect = {};
    if (command == "dialog-rect" && argc == 4) {
        if (!DialogControlRect(caption, id, rect)) {
            return kNo;
        }
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return kYes;
    }
    std::string description;
    if (command == "dialog-control" && argc == 4) {
        if (!DescribeDialogControl(caption, id, description)) {
            return kNo;
        }
        std::printf("%s\n", description.c_str());
        return kYes;
    }
    return Usage();
}

int PrintSubsolarPoint() {
    const GroundPoint point = SubsolarPoint(static_cast<std::int64_t>(std::time(nullptr)));
    std::printf("%.3f %.3f\n", point.latitude, point.longitude);
    return kYes;
}

int PrintBitmapSize(const char* file) {
    BitmapFilePixels bitmap;
    if (!bitmap.Load(file)) {
        std::fprintf(stderr, "cannot load %s as a bitmap\n", file);
        return kFailure;
    }
    std::printf("%d %d\n", bitmap.Width(), bitmap.Height());
    return kYes;
}

int PrintRegionMeans(const char* file, int count, char** rectangles) {
    if (count == 0 || count % 4 != 0) {
        return Usage();
    }
    BitmapFilePixels bitmap;
    if (!bitmap.Load(file)) {
        std::fprintf(stderr, "cannot load %s as a bitmap\n", file);
        return kFailure;
    }
    for (int i = 0; i < count; i += 4) {
        int rectangle[4] = {};
        if (!ParseIntegers(rectangles + i, 4, rectangle)) {
            return Usage();
        }
        MeanColour mean{};
        if (!bitmap.Mean(rectangle[0], rectangle[1], rectangle[2], rectangle[3], mean)) {
            std::fprintf(stderr, "rectangle %d %d %d %d lies outside the picture\n", rectangle[0],
                         rectangle[1], rectangle[2], rectangle[3]);
            return kFailure;
        }
        std::printf("%.2f %.2f %.2f\n", mean.red, mean.green, mean.blue);
    }
    return kYes;
}

// arguments: A X Y B X Y W H T
int PrintDifferingPixels(char** arguments) {
    int firstAt[2] = {};
    int rest[5] = {};  // second X Y, W, H, T
    if (!ParseIntegers(arguments + 1, 2, firstAt) || !ParseIntegers(arguments + 4, 5, rest)) {
        return Usage();
    }
    BitmapFilePixels first;
    BitmapFilePixels second;
    if (!first.Load(arguments[0]) || !second.Load(arguments[3])) {
        std::fprintf(stderr, "cannot load %s and %s as bitmaps\n", arguments[0], arguments[3]);
        return kFailure;
    }
    long total = 0;
    const long differing = first.DifferingPixels(firstAt[0], firstAt[1], second, rest[0], rest[1], rest[2],
                                                 rest[3], rest[4], total);
    std::printf("%ld %ld\n", differing, total);
    return kYes;
}

int PrintRegistryQword(const char* key, const char* value) {
    std::uint64_t data = 0;
    DWORD size = sizeof(data);
    DWORD type = 0;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return kNo;
    }
    const LONG result =
        RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS || type != REG_QWORD || size != sizeof(data)) {
        return kNo;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(data));
    return kYes;
}

int PrintRegistryString(const char* key, const char* value) {
    // Two terminators more than the value, so that every entry and the list end.
    wchar_t data[4096] = {};
    DWORD size = sizeof(data) - 2 * sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), WideFromUtf8(value).c_str(),
                     RRF_RT_REG_SZ | RRF_RT_REG_MULTI_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return kNo;
    }
    // A REG_SZ is one entry; a REG_MULTI_SZ ends at its empty entry.
    const wchar_t* entry = data;
    do {
        std::printf("%s\n", Utf8FromWide(entry).c_str());
        entry += std::wcslen(entry) + 1;
    } while (*entry != L'\0');
    return kYes;
}

int PrintWallpaper() {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH + 1, path, 0)) {
        return kFailure;
    }
    std::printf("%s\n", Utf8FromWide(path).c_str());
    return kYes;
}

int SetRegistryText(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    if (arguments.size() != 5) {
        return Usage();
    }
    return WriteUserTextUtf8(arguments[2], arguments[3], arguments[4]) ? kYes : kFailure;
}

int ChangeDisplay(char** size) {
    int numbers[2] = {};
    if (!ParseIntegers(size, 2, numbers)) {
        return Usage();
    }
    const double changed = UnixTimeNow();
    if (!ChangeDisplaySize(numbers[0], numbers[1])) {
        return kFailure;
    }
    std::printf("%.3f\n", changed);
    return kYes;
}

int SendResume() {
    const double sent = UnixTimeNow();
    if (!BroadcastResume()) {
        return kFailure;
    }
    std::printf("%.3f\n", sent);
    return kYes;
}

int SendSessionEvent(char* event) {
    int number = 0;
    if (!ParseIntegers(&event, 1, &number) || number < 0) {
        return Usage();
    }
    const double sent = UnixTimeNow();
    if (!SendSessionChange(static_cast<unsigned>(number))) {
        return kFailure;
    }
    std::printf("%.3f\n", sent);
    return kYes;
}

int AnswerBox(const char* caption, char* timeout) {
    int timeoutMs = 0;
    if (!ParseIntegers(&timeout, 1, &timeoutMs) || timeoutMs < 0) {
        return Usage();
    }
    std::string text;
    const bool answered = AnswerMessageBox(caption, static_cast<unsigned>(timeoutMs), text);
    std::printf("%s\n", text.c_str());
    return answered ? kYes : kNo;
}

int PrintProcessResources(const char* exeName) {
    const std::vector<DWORD> ids = ProcessIdsNamed(exeName);
    if (ids.size() != 1) {
        std::fprintf(stderr, "%zu processes named %s\n", ids.size(), exeName);
        return kNo;
    }
    ProcessResources resources;
    if (!ReadProcessResources(ids.front(), resources)) {
        std::fprintf(stderr, "cannot read process %lu\n", static_cast<unsigned long>(ids.front()));
        return kFailure;
    }
    std::printf("pid %lu\n", static_cast<unsigned long>(ids.front()));
    std::printf("handles %lu\n", static_cast<unsigned long>(resources.handles));
    std::printf("handle_source %s\n", resources.handleSource.c_str());
    std::printf("gdi_objects %lu\n", static_cast<unsigned long>(resources.gdiObjects));
    std::printf("gdi_source %s\n", resources.gdiSource.c_str());
    if (resources.userObjects) {
        std::printf("user_objects %lu\n", static_cast<unsigned long>(*resources.userObjects));
    } else {
        std::printf("user_objects n/a\n");
    }
    std::printf("working_set_bytes %llu\n", static_cast<unsigned long long>(resources.workingSetBytes));
    std::printf("peak_working_set_bytes %llu\n",
                static_cast<unsigned long long>(resources.peakWorkingSetBytes));
    std::printf("commit_bytes %llu\n", static_cast<unsigned long long>(resources.commitBytes));
    return kYes;
}

int PrintFileVersion(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::string fixedVersion;
    std::vector<std::pair<std::string, std::string>> texts;
    if (!ReadFileVersion(arguments[2], fixedVersion, texts)) {
        return kNo;
    }
    std::printf("FixedFileVersion %s\n", fixedVersion.c_str());
    for (const auto& [name, text] : texts) {
        std::printf("%s: %s\n", name.c_str(), text.c_str());
    }
    return kYes;
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "subsolar-point" && argc == 2) {
        return PrintSubsolarPoint();
    }
    if (command == "bitmap-size" && argc == 3) {
        return PrintBitmapSize(argv[2]);
    }
    if (command == "region-means" && argc >= 3) {
        return PrintRegionMeans(argv[2], argc - 3, argv + 3);
    }
    if (command == "differing-pixels" && argc == 11) {
        return PrintDifferingPixels(argv + 2);
    }
    if (command == "registry-qword" && argc == 4) {
        return PrintRegistryQword(argv[2], argv[3]);
    }
    if (command == "registry-string" && argc == 4) {
        return PrintRegistryString(argv[2], argv[3]);
    }
    if (command == "registry-set-text") {
        return SetRegistryText(argc, argv);
    }
    if (command == "change-display" && argc == 4) {
        return ChangeDisplay(argv + 2);
    }
    if (command == "broadcast-resume" && argc == 2) {
        return SendResume();
    }
    if (command == "session-change" && argc == 3) {
        return SendSessionEvent(argv[2]);
    }
    if (command == "choose-tray-exit" && argc == 2) {
        return ChooseTrayCommand(kExitCommand) ? kYes : kNo;
    }
    int numbers[1] = {};
    if (command == "choose-tray-command" && argc == 3 && ParseIntegers(argv + 2, 1, numbers)) {
        return ChooseTrayCommand(static_cast<unsigned>(numbers[0])) ? kYes : kNo;
    }
    if (command.rfind("dialog-", 0) == 0 && argc >= 4 && ParseIntegers(argv + 3, 1, numbers)) {
        return DriveDialog(command, argv[2], numbers[0], argc == 5 ? argv[4] : nullptr, argc);
    }
    if (command == "wallpaper" && argc == 2) {
        return PrintWallpaper();
    }
    if (command == "window-exists" && argc == 3) {
        return TopLevelWindowExists(argv[2]) ? kYes : kNo;
    }
    if (command == "answer-message-box" && argc == 4) {
        return AnswerBox(argv[2], argv[3]);
    }
    if (command == "balloons" && argc == 2) {
        const std::vector<std::string> texts = ShownBalloonTexts();
        for (const std::string& text : texts) {
            std::printf("%s\n", text.c_str());
        }
        return texts.empty() ? kNo : kYes;
    }
    if (command == "repaint-taskbar" && argc == 2) {
        return RepaintTaskbar() ? kYes : kNo;
    }
    if (command == "process-count" && argc == 3) {
        std::printf("%zu\n", ProcessIdsNamed(argv[2]).size());
        return kYes;
    }
    if (command == "process-ids" && argc == 3) {
        for (const DWORD id : ProcessIdsNamed(argv[2])) {
            std::printf("%lu\n", id);
        }
        return kYes;
    }
    if (command == "process-resources" && argc == 3) {
        return PrintProcessResources(argv[2]);
    }
    if (command == "file-version" && argc == 3) {
        return PrintFileVersion(argc, argv);
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    const int result = Run(argc, argv);
    std::fflush(stdout);
    return result;
}

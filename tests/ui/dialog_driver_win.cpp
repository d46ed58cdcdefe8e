#include "tests/ui/dialog_driver_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "framework/gdi_owners_win.h"
#include "image/dib_image_gdi.h"
#include "tests/e2e/process_resources_win.h"
#include "tests/framework/modal_loop_support_win.h"

namespace {

constexpr auto kAppearanceDeadline = std::chrono::seconds(10);

HWND Control(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

bool IsListBox(HWND control) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    return std::string(className) == "ListBox";
}

std::filesystem::path OutputFolder() {
    const char* folder = std::getenv("ORBISCAPE_TEST_OUTPUT");
    if (folder == nullptr) {
        return std::filesystem::current_path();
    }
    // A Unix path from the test run: under Wine the root of the Unix tree is drive Z.
    return folder[0] == '/' ? std::filesystem::path(std::string("Z:") + folder)
                            : std::filesystem::path(folder);
}

}  // namespace

INT_PTR RunDriven(CDialog& dialog, const std::function<void(HWND dialog)>& script,
                  std::chrono::milliseconds deadline) {
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> finished = false;
    std::atomic<bool> overran = false;
    std::thread driver([&] {
        HWND window = nullptr;
        if (WaitUntil([&] { return (window = FindThreadWindow(thread, kDialogClass)) != nullptr; },
                      kAppearanceDeadline)) {
            script(window);
        } else {
            ADD_FAILURE() << "the dialog did not appear";
        }
        // Whatever the script left open is cancelled once the deadline has passed.
        if (!WaitUntil([&] { return finished.load(); }, deadline)) {
            overran = true;
            while (!finished) {
                if (const HWND open = FindThreadWindow(thread, kDialogClass)) {
                    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    });
    const INT_PTR result = dialog.DoModal();
    finished = true;
    driver.join();
    EXPECT_FALSE(overran) << "the dialog stayed open past its deadline";
    return result;
}

HWND WaitForDialog(DWORD threadId, const char* caption) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindThreadWindow(threadId, kDialogClass, caption)) != nullptr; },
              kAppearanceDeadline);
    return found;
}

void Click(HWND dialog, int id) {
    SendMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

void ClickToClose(HWND dialog, int id) {
    PostMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

void Choose(HWND dialog, int id, int index) {
    const HWND list = Control(dialog, id);
    const bool listBox = IsListBox(list);
    SendMessageA(list, listBox ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A choice made by message is not announced; the user's is.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, listBox ? LBN_SELCHANGE : CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Slide(HWND dialog, int id, int position) {
    const HWND bar = Control(dialog, id);
    SendMessageA(bar, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
}

void TypeText(HWND dialog, int id, const char* text) {
    SetWindowTextA(Control(dialog, id), text);
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(Control(dialog, id)) != FALSE;
}

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int SelectedIndex(HWND dialog, int id) {
    const HWND list = Control(dialog, id);
    return static_cast<int>(SendMessageA(list, IsListBox(list) ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
}

std::string SelectedText(HWND dialog, int id) {
    const HWND list = Control(dialog, id);
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    std::string text(static_cast<std::size_t>(SendMessageA(list, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.find_last_not_of(" \0", std::string::npos, 2) + 1);
    return text;
}

std::vector<std::string> Entries(HWND dialog, int id) {
    const HWND list = Control(dialog, id);
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        entries.push_back(text.c_str());
    }
    return entries;
}

DibImage CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const OwnedWindowDc screen;
    const OwnedMemoryDc memory(screen.Get());
    const OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    DibImage picture;
    {
        const ScopedSelection selection(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    FromGdiBitmap(picture, bitmap.Get());
    return picture;
}

void KeepScreenshot(HWND window, const std::string& name) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    const std::filesystem::path folder = OutputFolder();
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(CaptureScreen(rect).SaveBmpFile((folder / (name + ".bmp")).string().c_str())) << name;
}

Figures OwnFigures() {
    ProcessResources resources;
    EXPECT_TRUE(ReadProcessResources(GetCurrentProcessId(), resources));
    return {resources.gdiObjects, resources.commitBytes};
}

void ExpectGdiObjectsFlat(const char* what, int rounds, const std::function<void(int round)>& round) {
    // The first round makes what the system keeps once made (its caches of fonts, brushes and
    // theme parts), which a busy machine may leave to a later round: the count starts after it.
    round(0);
    const Figures before = OwnFigures();
    for (int index = 1; index < rounds; ++index) {
        round(index);
    }
    // Objects that the system drops on its own may go a moment after their windows.
    Figures after;
    WaitUntil(
        [&] {
            after = OwnFigures();
            return after.gdiObjects <= before.gdiObjects + kGdiObjectsWander;
        },
        std::chrono::seconds(3));
    std::printf("%d %s: GDI objects %lu -> %lu\n", rounds, what, before.gdiObjects, after.gdiObjects);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + kGdiObjectsWander);
}

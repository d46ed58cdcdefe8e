#include "modal_loop_support_win.h"

#include <cstring>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kAppearanceDeadline = std::chrono::seconds(10);

struct WindowSearch {
    const char* className;
    const char* caption;
    HWND found;
};

bool HasCaption(HWND window, const char* wanted) {
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    return std::strcmp(caption, wanted) == 0;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM searchAddress) {
    auto& search = *reinterpret_cast<WindowSearch*>(searchAddress);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, search.className) == 0 && IsWindowVisible(window) &&
        (search.caption == nullptr || HasCaption(window, search.caption))) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DWORD ProcessHandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

HWND FindThreadWindow(DWORD threadId, const char* className, const char* caption) {
    WindowSearch search = {className, caption, nullptr};
    EnumThreadWindows(threadId, &MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DrainThreadQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.hwnd != nullptr) {
            DispatchMessageA(&message);
        }
    }
}

void TrackTestMenu(HWND owner) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "&First");
    AppendMenuA(menu, MF_STRING, 2, "&Second");
    // A menu owned by a window that is not in the foreground would close at once.
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, TPM_LEFTBUTTON, 100, 100, 0, owner, nullptr);
    DestroyMenu(menu);
}

void CloseMessageBoxOfThisThread() {
    PostMessageA(FindThreadWindow(GetCurrentThreadId(), kDialogClass), WM_COMMAND, IDOK, 0);
}

ModalWatchdog::ModalWatchdog(DWORD threadId, std::chrono::milliseconds deadline)
    : thread_([this, threadId, deadline] {
          std::unique_lock lock(mutex_);
          if (stopRequested_.wait_for(lock, deadline, [this] { return stop_; })) {
              return;
          }
          fired_ = true;
          while (!stopRequested_.wait_for(lock, kPollInterval, [this] { return stop_; })) {
              if (HWND box = FindThreadWindow(threadId, kDialogClass)) {
                  PostMessageA(box, WM_COMMAND, IDOK, 0);
              }
              if (HWND menu = FindThreadWindow(threadId, kMenuClass)) {
                  PostMessageA(menu, WM_CANCELMODE, 0, 0);
              }
          }
      }) {}

ModalWatchdog::~ModalWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopRequested_.notify_all();
    thread_.join();
}

WhenWindowAppears::WhenWindowAppears(DWORD threadId, const char* className, std::function<void(HWND)> action)
    : thread_([this, threadId, className, action = std::move(action)] {
          const auto deadline = std::chrono::steady_clock::now() + kAppearanceDeadline;
          while (!stop_ && std::chrono::steady_clock::now() < deadline) {
              if (HWND window = FindThreadWindow(threadId, className)) {
                  // Marked first: the action posts to the watched thread, which may see its effect
                  // and ask Ran() before this thread is scheduled again.
                  ran_ = true;
                  action(window);
                  return;
              }
              std::this_thread::sleep_for(kPollInterval);
          }
      }) {}

WhenWindowAppears::~WhenWindowAppears() {
    stop_ = true;
    thread_.join();
}

RunWatchdog::RunWatchdog(DWORD threadId, std::chrono::milliseconds deadline)
    : thread_([this, threadId, deadline] {
          std::unique_lock lock(mutex_);
          if (!stopRequested_.wait_for(lock, deadline, [this] { return stop_; })) {
              PostThreadMessageA(threadId, WM_QUIT, kRunTimedOut, 0);
          }
      }) {}

RunWatchdog::~RunWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopRequested_.notify_all();
    thread_.join();
}

#include "framework/win_app_win.h"

#include <type_traits>
#include <utility>

#include "framework/command_line.h"
#include "framework/exception_barrier.h"
#include "framework/program_instance_win.h"
#include "framework/thread_message_filter_win.h"
#include "framework/wide_text_win.h"

static_assert(std::is_same_v<WPARAM, std::uintptr_t> && std::is_same_v<LPARAM, std::intptr_t>,
              "thread message handlers take wParam and lParam unconverted");

namespace {

CWinApp* currentApp = nullptr;

}  // namespace

CWinApp::CWinApp()
    : threadId_(GetCurrentThreadId()),
      instance_(ProgramInstance()),
      // The wide command line, in UTF-8: the program's own path in it may hold any letters.
      commandLine_(ArgumentsAfterProgramName(Utf8FromWide(GetCommandLineW()))) {
    // A thread has no message queue until it first calls a message function, and
    // PostThreadMessageA to a thread without one fails.
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    if (currentApp == nullptr) {
        currentApp = this;
    }
}

CWinApp::~CWinApp() {
    if (currentApp == this) {
        currentApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return exitCode_;
}

int CWinApp::Run() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0) {
            exitCode_ = static_cast<int>(message.wParam);
            return exitCode_;
        }
        if (result == -1) {
            // Only invalid arguments make GetMessageA fail; end rather than spin.
            exitCode_ = -1;
            return exitCode_;
        }
        if (message.hwnd == nullptr &&
            threadMessages_.Dispatch(message.message, message.wParam, message.lParam)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CWinApp::MapThreadMessage(UINT message, ThreadMessageHandler handler) {
    threadMessages_.Map(message, std::move(handler));
}

void CWinApp::OnWindowDestroyed(CWnd* window) {
    if (window == mainWindow_) {
        mainWindow_ = nullptr;
        PostQuitMessage(0);
    }
}

CWinApp* CurrentApp() {
    return currentApp;
}

int RunApplication(CWinApp& app) {
    const ThreadMessageFilter filter(app.ThreadMessages());
    const bool started = CallWithoutThrowing(
        "the application's start-up", [&] { return app.InitInstance() != FALSE; }, [] { return false; });
    if (started) {
        CallWithoutThrowing(
            "the message loop", [&] { return app.Run(); }, [] { return -1; });
    }
    return CallWithoutThrowing(
        "the application's end", [&] { return app.ExitInstance(); }, [] { return -1; });
}

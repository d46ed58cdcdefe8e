// CWinApp is the program's application object: one per program, made on the thread that runs
// the program's windows, dialogs and timers (the application thread), and reachable from
// anywhere through CurrentApp().
//
// Everything on that thread is driven by messages. Commands reach it as thread messages (posted
// with PostThreadMessageA to ThreadId(), without a window) and are handled by the handlers mapped
// with MapThreadMessage, whichever loop fetches them: Run's own, or, through the
// ThreadMessageFilter that RunApplication installs, the modal loop of a message box, dialog or
// menu that is open at the time.
//
// The main window keeps the program alive: destroying it posts the quit message, which ends Run.
// It must be a window whose messages pass through its CWnd (created or subclassed); an attached
// window's destruction goes unnoticed.
#pragma once

#include <windows.h>

#include <string>

#include "framework/thread_message_map.h"

class CWnd;

class CWinApp {
  public:
    // Records the calling thread as the application thread, gives it its message queue (so that
    // other threads can post to it from the start), and becomes CurrentApp() unless another
    // application object exists already.
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start-up; TRUE enters the message loop, FALSE ends the program at once. The
    // default does nothing and returns TRUE.
    virtual BOOL InitInstance();
    // The program's end, run whether or not the loop ran; returns the program's exit code. The
    // default returns the exit code that ended Run (the quit message's), or 0 when Run never ran.
    virtual int ExitInstance();

    // The message loop: until WM_QUIT, thread messages go to their mapped handlers and all others
    // are translated and dispatched (thread timers included). Returns the quit message's code.
    int Run();

    void SetMainWindow(CWnd* window) { mainWindow_ = window; }
    CWnd* MainWindow() const { return mainWindow_; }

    DWORD ThreadId() const { return threadId_; }
    HINSTANCE Instance() const { return instance_; }
    // The text after the program name on the command line, exactly as given (trailing blanks
    // included), without the blanks that separate it from the name.
    const std::string& CommandLine() const { return commandLine_; }

    void MapThreadMessage(UINT message, ThreadMessageHandler handler);
    const ThreadMessageMap& ThreadMessages() const { return threadMessages_; }

  private:
    friend class CWnd;
    // Called by CWnd when one of its windows has received WM_NCDESTROY.
    void OnWindowDestroyed(CWnd* window);

    DWORD threadId_;
    HINSTANCE instance_;
    std::string commandLine_;
    ThreadMessageMap threadMessages_;
    CWnd* mainWindow_ = nullptr;  // we don't own it
    int exitCode_ = 0;
};

// The application object, or nullptr when there is none.
CWinApp* CurrentApp();

// The program's whole run, for WinMain: installs the thread message filter on the calling
// thread, runs InitInstance, then Run if it returned TRUE, then ExitInstance, and returns
// ExitInstance's result. An exception that leaves any of the three is reported and dropped: a
// failed InitInstance counts as FALSE, a failed ExitInstance gives the exit code -1.
int RunApplication(CWinApp& app);

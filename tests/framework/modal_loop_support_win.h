// Helpers for tests that open modal loops (message boxes, menus) on the test thread and need
// something to happen while the loop runs. Every such test also keeps a watchdog, so that a
// dispatch that never comes ends as a failed expectation rather than a hung test run.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

inline constexpr char kDialogClass[] = "#32770";  // dialogs and message boxes
inline constexpr char kMenuClass[] = "#32768";    // open popup menus

// Polls until the condition holds (true) or the deadline passes (false).
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

// How many kernel handles the process holds: a test that starts and stops threads checks that
// it leaves none behind.
DWORD ProcessHandleCount();

// A visible top-level window of the thread with that class (and that caption, if one is given),
// or nullptr.
HWND FindThreadWindow(DWORD threadId, const char* className, const char* caption = nullptr);

// Removes every message waiting for the calling thread, so that nothing one test left behind (a
// quit message above all) reaches the next.
void DrainThreadQueue();

// Opens a popup menu of two items owned by `owner` at 100, 100 and returns when it closes.
void TrackTestMenu(HWND owner);

// Posts IDOK to the calling thread's open message box.
void CloseMessageBoxOfThisThread();

// Once the deadline has passed, keeps ending whatever modal loops the thread has open (IDOK to
// message boxes, WM_CANCELMODE to menus) until it is destroyed.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(DWORD threadId, std::chrono::milliseconds deadline = std::chrono::seconds(10));
    ~ModalWatchdog();
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    bool Fired() const { return fired_; }

  private:
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    bool stop_ = false;
    std::atomic<bool> fired_ = false;
    std::thread thread_;
};

// Runs `action` on a helper thread as soon as a window of the class appears on the thread, or
// gives up after ten seconds. Ran() holds from just before the action, so that the watched thread,
// once it has seen what the action did, finds it true.
class WhenWindowAppears {
  public:
    WhenWindowAppears(DWORD threadId, const char* className, std::function<void(HWND)> action);
    ~WhenWindowAppears();
    WhenWindowAppears(const WhenWindowAppears&) = delete;
    WhenWindowAppears& operator=(const WhenWindowAppears&) = delete;

    bool Ran() const { return ran_; }

  private:
    std::atomic<bool> stop_ = false;
    std::atomic<bool> ran_ = false;
    std::thread thread_;
};

// Ends the thread's message loop with kRunTimedOut if it is still running after the deadline.
class RunWatchdog {
  public:
    static constexpr int kRunTimedOut = 0x7157;
    explicit RunWatchdog(DWORD threadId, std::chrono::milliseconds deadline = std::chrono::seconds(10));
    ~RunWatchdog();
    RunWatchdog(const RunWatchdog&) = delete;
    RunWatchdog& operator=(const RunWatchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    bool stop_ = false;
    std::thread thread_;
};

// Answers the dialogs and message boxes that code under test opens on a thread, one after the
// other, as a user would, and records what each of them showed. For tests of code that may
// speak to the user several times in one call (ask, then inform, then show a hint), where the
// test does not run the dialog itself as it does with RunDriven (dialog_driver_win.h); the
// buttons are pressed as ClickToClose presses them.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a dialog or message box showed when it was answered.
struct ShownDialog {
    std::string caption;
    std::string text;     // its first label with text: a message box's message
    std::string icon;     // a message box's icon: "error", "question", "information",
                          // "warning", or "" for none
    std::string buttons;  // the visible standard buttons among OK, Cancel, Yes and No, in that
                          // order, separated by blanks ("Yes No")
};

class DialogAnswers {
  public:
    // Answers each dialog that the thread opens with the next of `answers` (IDOK, IDYES,
    // IDNO...), and any further one with IDCANCEL. `observe`, if given, is handed each dialog
    // while it is open, before it is answered (to keep a screenshot of it, say).
    DialogAnswers(DWORD threadId, std::vector<int> answers,
                  std::function<void(HWND dialog)> observe = nullptr);
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    // The dialogs answered so far, in order.
    std::vector<ShownDialog> Shown() const;

  private:
    void Run(DWORD threadId, const std::function<void(HWND dialog)>& observe);

    std::vector<int> answers_;
    mutable std::mutex mutex_;
    std::vector<ShownDialog> shown_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

// Runs `call` on the calling thread, answering the dialogs it opens as DialogAnswers does, and
// returns what they showed. A dialog still open at the deadline is closed by a ModalWatchdog,
// which fails the test.
std::vector<ShownDialog> AnswerDialogsOf(const std::function<void()>& call, std::vector<int> answers,
                                         std::function<void(HWND dialog)> observe = nullptr,
                                         std::chrono::milliseconds deadline = std::chrono::seconds(30));

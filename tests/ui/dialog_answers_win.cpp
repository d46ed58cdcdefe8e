#include "tests/ui/dialog_answers_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>

#include "tests/framework/modal_loop_support_win.h"
#include "tests/ui/dialog_driver_win.h"

namespace {

// How long an answered dialog may take to go away before the next one is looked for anyway.
constexpr auto kCloseDeadline = std::chrono::seconds(10);
// How often the answering thread looks up from its wait to see whether it should end.
constexpr auto kStopCheck = std::chrono::milliseconds(200);

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsStatic(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, "Static") == 0;
}

struct Labels {
    std::string text;
    HICON icon = nullptr;
};

BOOL CALLBACK ReadLabel(HWND child, LPARAM labelsAddress) {
    auto& labels = *reinterpret_cast<Labels*>(labelsAddress);
    if (!IsStatic(child) || !IsWindowVisible(child)) {
        return TRUE;
    }
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        labels.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (labels.text.empty()) {
        labels.text = WindowText(child);
    }
    return TRUE;
}

// Message boxes show the system's shared icons.
std::string IconName(HICON icon) {
    const std::pair<LPCSTR, const char*> known[] = {{IDI_HAND, "error"},
                                                    {IDI_QUESTION, "question"},
                                                    {IDI_ASTERISK, "information"},
                                                    {IDI_EXCLAMATION, "warning"}};
    for (const auto& [id, name] : known) {
        if (icon != nullptr && icon == LoadIconA(nullptr, id)) {
            return name;
        }
    }
    return icon != nullptr ? "other" : "";
}

std::string VisibleButtons(HWND dialog) {
    const std::pair<int, const char*> standard[] = {
        {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"}};
    std::string buttons;
    for (const auto& [id, name] : standard) {
        const HWND button = GetDlgItem(dialog, id);
        if (button != nullptr && IsWindowVisible(button)) {
            buttons += buttons.empty() ? name : std::string(" ") + name;
        }
    }
    return buttons;
}

ShownDialog Describe(HWND dialog) {
    Labels labels;
    EnumChildWindows(dialog, &ReadLabel, reinterpret_cast<LPARAM>(&labels));
    ShownDialog shown;
    shown.caption = WindowText(dialog);
    shown.text = labels.text;
    shown.icon = IconName(labels.icon);
    shown.buttons = VisibleButtons(dialog);
    return shown;
}

}  // namespace

DialogAnswers::DialogAnswers(DWORD threadId, std::vector<int> answers,
                             std::function<void(HWND dialog)> observe)
    : answers_(std::move(answers)),
      thread_([this, threadId, observe = std::move(observe)] { Run(threadId, observe); }) {}

DialogAnswers::~DialogAnswers() {
    stop_ = true;
    thread_.join();
}

std::vector<ShownDialog> DialogAnswers::Shown() const {
    const std::lock_guard lock(mutex_);
    return shown_;
}

void DialogAnswers::Run(DWORD threadId, const std::function<void(HWND dialog)>& observe) {
    std::size_t answered = 0;
    while (!stop_) {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindThreadWindow(threadId, kDialogClass)) != nullptr; },
                       kStopCheck)) {
            continue;
        }
        ShownDialog shown = Describe(dialog);
        if (observe) {
            observe(dialog);
        }
        {
            const std::lock_guard lock(mutex_);
            shown_.push_back(std::move(shown));
        }
        const int answer = answered < answers_.size() ? answers_[answered] : IDCANCEL;
        ++answered;
        // A click on the button where there is one, as the user's would be.
        if (GetDlgItem(dialog, answer) != nullptr) {
            ClickToClose(dialog, answer);
        } else {
            PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        }
        WaitUntil([&] { return stop_ || !IsWindow(dialog); }, kCloseDeadline);
    }
}

std::vector<ShownDialog> AnswerDialogsOf(const std::function<void()>& call, std::vector<int> answers,
                                         std::function<void(HWND dialog)> observe,
                                         std::chrono::milliseconds deadline) {
    const ModalWatchdog watchdog(GetCurrentThreadId(), deadline);
    std::vector<ShownDialog> shown;
    {
        const DialogAnswers answering(GetCurrentThreadId(), std::move(answers), std::move(observe));
        call();
        shown = answering.Shown();
    }
    EXPECT_FALSE(watchdog.Fired()) << "a dialog was left open";
    return shown;
}

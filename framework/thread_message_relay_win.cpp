#include "framework/thread_message_relay_win.h"

namespace {

// The window is the relay's own, so a private message number cannot collide with anyone's.
constexpr UINT kRelayNotice = WM_APP + 1;

}  // namespace

ThreadMessageRelay::ThreadMessageRelay(const ThreadMessageMap& map) : map_(map) {}

bool ThreadMessageRelay::Create() {
    return CreateEx(0, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

bool ThreadMessageRelay::Forward(const MSG& message) {
    pending_.push_back(message);
    if (!PostMessage(kRelayNotice)) {
        pending_.pop_back();
        return false;
    }
    return true;
}

LRESULT ThreadMessageRelay::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRelayNotice) {
        return DefaultProc(message, wParam, lParam);
    }
    if (!pending_.empty()) {
        const MSG relayed = pending_.front();
        pending_.pop_front();
        map_.Dispatch(relayed.message, relayed.wParam, relayed.lParam);
    }
    return 0;
}

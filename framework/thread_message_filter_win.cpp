#include "framework/thread_message_filter_win.h"

#include "framework/exception_barrier.h"

namespace {

// The hook procedure has no context argument, so it finds its filter through the thread that it
// runs on. Thread messages belong to one thread, and so does the hook.
thread_local ThreadMessageFilter* activeFilter = nullptr;

}  // namespace

ThreadMessageFilter::ThreadMessageFilter(const ThreadMessageMap& map)
    : map_(map),
      relay_(map),
      relayCreated_(relay_.Create()),
      hook_(SetWindowsHookExA(WH_MSGFILTER, &ThreadMessageFilter::FilterProc, nullptr, GetCurrentThreadId())),
      previous_(activeFilter) {
    activeFilter = this;
}

ThreadMessageFilter::~ThreadMessageFilter() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
    activeFilter = previous_;
}

LRESULT CALLBACK ThreadMessageFilter::FilterProc(int code, WPARAM wParam, LPARAM lParam) {
    // A negative code asks the hook to pass the call on untouched.
    if (code >= 0 && activeFilter != nullptr) {
        const MSG& message = *reinterpret_cast<const MSG*>(lParam);
        const bool taken = CallWithoutThrowing(
            "the thread message filter", [&] { return activeFilter->Take(code, message); },
            [] { return false; });
        if (taken) {
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool ThreadMessageFilter::Take(int code, const MSG& message) {
    if (message.hwnd != nullptr || !map_.Handles(message.message)) {
        return false;
    }
    // Should the relay be missing, running the handler in the menu's hook is still better than
    // letting the menu loop drop the message.
    if (code == MSGF_MENU && relayCreated_ && relay_.Forward(message)) {
        return true;
    }
    map_.Dispatch(message.message, message.wParam, message.lParam);
    return true;
}

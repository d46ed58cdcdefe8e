#include "framework/thread_message_map.h"

#include <utility>

#include "framework/exception_barrier.h"

void ThreadMessageMap::Map(unsigned int message, ThreadMessageHandler handler) {
    if (handler) {
        handlers_[message] = std::move(handler);
    } else {
        handlers_.erase(message);
    }
}

bool ThreadMessageMap::Handles(unsigned int message) const {
    return handlers_.count(message) != 0;
}

bool ThreadMessageMap::Dispatch(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam) const {
    const auto entry = handlers_.find(message);
    if (entry == handlers_.end()) {
        return false;
    }
    CallWithoutThrowing(
        "a thread message handler",
        [&] {
            // Run a copy: the handler may replace its own entry, which would destroy the
            // function object that is running.
            const ThreadMessageHandler handler = entry->second;
            handler(wParam, lParam);
        },
        [] {});
    return true;
}

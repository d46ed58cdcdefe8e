// The application thread's handlers for messages posted to the thread itself, without a window
// (PostThreadMessageA): commands from the dialogs, the tray window and the download thread. The
// message loop and the modal-loop filter both go through one map, so a message is handled the
// same way whichever loop happens to fetch it.
//
// The parameters are the message's wParam and lParam; the types are those of WPARAM and LPARAM,
// spelled portably so that the map builds and is tested without Windows headers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

using ThreadMessageHandler = std::function<void(std::uintptr_t wParam, std::intptr_t lParam)>;

class ThreadMessageMap {
  public:
    // Sets the handler of one message number, replacing any earlier one; an empty handler removes
    // the entry.
    void Map(unsigned int message, ThreadMessageHandler handler);

    bool Handles(unsigned int message) const;

    // Runs the handler mapped to `message` and returns true, or returns false when there is none.
    // A handler may remap or unmap messages, its own included, while it runs. An exception that
    // leaves the handler is reported and dropped: the message still counts as handled.
    bool Dispatch(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam) const;

  private:
    std::map<unsigned int, ThreadMessageHandler> handlers_;
};

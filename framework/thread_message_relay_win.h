// A hidden message-only window that delivers thread messages a second time, as window messages.
// The menu loop leaves the message it shows its filter hook in the queue until the hook returns
// (see thread_message_filter_win.h); a message that the hook hands on to the relay is removed by
// the menu loop as usual, and reaches its handler when the loop dispatches the relay's notice.
#pragma once

#include <windows.h>

#include <deque>

#include "framework/thread_message_map.h"
#include "framework/wnd_win.h"

class ThreadMessageRelay : public CWnd {
  public:
    // The map must outlive the relay.
    explicit ThreadMessageRelay(const ThreadMessageMap& map);

    bool Create();

    // Queues the message for its handler and posts the relay a notice. Returns false, and queues
    // nothing, when the notice cannot be posted.
    bool Forward(const MSG& message);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    const ThreadMessageMap& map_;
    // Each posted notice stands for the oldest entry, so handlers run in the order of arrival.
    // Notices still in the queue when the window goes die with it, and their messages here.
    std::deque<MSG> pending_;
};

// Modal loops that the program does not run itself (message boxes, DialogBox*, TrackPopupMenu)
// fetch the thread's messages on their own, and would drop the thread messages among them:
// DispatchMessage has no window to deliver them to. Every such loop shows each message it fetches
// to the thread's WH_MSGFILTER hooks first. A ThreadMessageFilter installs one for the calling
// thread for as long as it lives; the hook takes the thread messages that the map handles and
// tells the loop to skip them. Thread timers need none of this: DispatchMessage runs their timer
// procedures in any loop, and the hook leaves unmapped messages alone.
//
// The menu loop shows the hook a message that is still in the queue, and removes it only after
// the hook has returned. A handler run right there that opened a dialog or a message box would
// meet the same message again in that loop's hook, and run again, without end. Inside menus the
// hook therefore hands the message on to a relay window (thread_message_relay_win.h), whose
// notice the menu loop dispatches after the message has left the queue. Elsewhere the loop has
// already removed the message and the handler runs at once.
#pragma once

#include <windows.h>

#include "framework/thread_message_map.h"
#include "framework/thread_message_relay_win.h"

class ThreadMessageFilter {
  public:
    // The map must outlive the filter. A filter made while another one is installed on the same
    // thread takes over until it ends.
    explicit ThreadMessageFilter(const ThreadMessageMap& map);
    ~ThreadMessageFilter();
    ThreadMessageFilter(const ThreadMessageFilter&) = delete;
    ThreadMessageFilter& operator=(const ThreadMessageFilter&) = delete;

    bool IsInstalled() const { return hook_ != nullptr; }

  private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam);
    // True when the message is taken: handled now, or handed to the relay.
    bool Take(int code, const MSG& message);

    const ThreadMessageMap& map_;
    ThreadMessageRelay relay_;
    bool relayCreated_;
    HHOOK hook_;  // owned; unhooked at the end
    ThreadMessageFilter* previous_;
};

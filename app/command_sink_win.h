// CCommandSink: the program's hidden main window "OrbiscapeCommandSink" (command_sink.h). It is
// never shown; the message loop runs while it exists, and closing it ends the program.
//
// As a top-level window it is asked, when the user logs off or the computer shuts down, whether
// the session may end (WM_QUERYENDSESSION), and always agrees without asking anything. Then it
// is told that the session ends (WM_ENDSESSION): the process may be ended at any moment once
// that message is answered, so the program ends its work before the answer.
#pragma once

#include <functional>

#include "app/command_sink.h"
#include "framework/wnd_win.h"

class CCommandSink : public CWnd {
  public:
    // sessionEnds runs on the window's thread when the session ends, and must return within
    // the few seconds that Windows gives.
    explicit CCommandSink(std::function<void()> sessionEnds) : sessionEnds_(std::move(sessionEnds)) {}

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    std::function<void()> sessionEnds_;
};

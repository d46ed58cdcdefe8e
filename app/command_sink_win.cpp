#include "app/command_sink_win.h"

LRESULT CCommandSink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // FALSE: another program refused, and the session goes on.
            if (wParam != FALSE && sessionEnds_) {
                sessionEnds_();
            }
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

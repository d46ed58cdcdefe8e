// CWnd wraps one window handle and always knows how it holds it (WindowLink):
//  - created: CreateEx made the window. The object owns it: its messages run through the object's
//    WindowProc, and the destructor destroys the window if it still exists.
//  - subclassed: someone else's window (a control, a system list) now runs through the object's
//    WindowProc, which passes what it does not handle to the window's own procedure. The
//    destructor takes the subclass off again and leaves the window alive.
//  - attached: a plain view of someone else's window, for the wrapper operations only. Nothing is
//    routed through the object and nothing happens to the window at the end.
//
// Created windows run one static window procedure that finds the object through GWLP_USERDATA
// (set at WM_NCCREATE). Subclassed windows go through the common controls' subclass chain
// (SetWindowSubclass), which keeps a Unicode control Unicode inside an ANSI dialog, lets other
// subclasses come and go in any order, and leaves GWLP_USERDATA to the window's owner; a window
// property names their object. Both call
// the virtual WindowProc, let no exception pass back into the system, and at WM_NCDESTROY break
// the link and tell the application, whose main window may be the one that is going.
//
// A CWnd cannot be copied: two objects would claim one window. Derived classes that handle
// WM_DESTROY or WM_NCDESTROY must destroy their window in their own destructor, because by the
// time CWnd's destructor runs the derived part, and its WindowProc, are already gone.
#pragma once

#include <windows.h>

enum class WindowLink {
    kNone,        // no window
    kCreated,     // made by CreateEx, owned
    kSubclassed,  // someone else's, routed through this object
    kAttached,    // someone else's, only viewed
};

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes a window of the framework's class (registered on first use with default attributes)
    // and links it to this object; the arguments are those of CreateWindowExA. Fails when the
    // object already holds a window, when the system refuses, or when WindowProc refuses
    // WM_NCCREATE or WM_CREATE.
    bool CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width, int height,
                  HWND parent, HMENU menu);

    // Routes an existing window of the calling thread through this object. Refused when the
    // object already holds a window, and for windows that are not the calling thread's or that
    // another object already holds.
    bool SubclassWindow(HWND window);
    // Takes this object's subclass off the window and returns the window; nullptr when the
    // object holds no subclassed window. Other subclasses of the window stay as they are.
    HWND UnsubclassWindow();

    // Views a window without taking it over; refused when the object already holds one.
    bool Attach(HWND window);
    // Lets go of an attached window and returns it; nullptr for a window that is created or
    // subclassed, since such a window would keep leading to this object.
    HWND Detach();

    // Destroys the window, whichever way it is held. An attached window is let go at once; the
    // others are unlinked by their WM_NCDESTROY.
    bool DestroyWindow();

    HWND GetSafeHwnd() const { return hwnd_; }
    WindowLink Link() const { return link_; }
    bool OwnsWindow() const { return link_ == WindowLink::kCreated; }

    // Both fail on an object without a window, with ERROR_INVALID_WINDOW_HANDLE: PostMessageA
    // with no window would post a thread message to the calling thread instead, where the
    // thread-message map would take it for a command.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The object that a created or subclassed window runs through; nullptr for any other window.
    static CWnd* FromHandle(HWND window);

    // A timer of this window: WM_TIMER with the id reaches WindowProc (or the dialog procedure)
    // every `milliseconds`. Setting an id that runs already restarts it. False without a window
    // or when the system refuses.
    bool SetTimer(UINT_PTR id, UINT milliseconds) const;
    // Stops the timer; false when the window has no timer of that id.
    bool KillTimer(UINT_PTR id) const;

  protected:
    // Handles one message of the window. The default passes it to DefaultProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // What the window would do without this object: its own procedure for a subclassed window,
    // DefWindowProcA for a created one.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StaticSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR subclassId, DWORD_PTR object);
    static CWnd* LinkCreatedWindow(HWND window, LPARAM createStruct);
    // Runs WindowProc behind the exception barrier; unlinks the object after WM_NCDESTROY.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void UnlinkDestroyedWindow();

    HWND hwnd_ = nullptr;
    WindowLink link_ = WindowLink::kNone;
};

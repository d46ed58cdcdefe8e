// CWnd wraps one window handle and always knows how it holds it (WindowLink):
//  - created: CreateEx made the window. The object owns it: its messages run through the object's
//    WindowProc, and the destructor destroys the window if it still exists.
//  - subclassed: someone else's window (a control, a system list) now runs through the object's
//    WindowProc, which passes what it does not handle to the window's own procedure. The
//    destructor gives the window its own procedure back and leaves it alive.
//  - attached: a plain view of someone else's window, for the wrapper operations only. Nothing is
//    routed through the object and nothing happens to the window at the end.
//
// Created and subclassed windows share one static window procedure. It finds the object through
// GWLP_USERDATA (set at WM_NCCREATE, or when subclassing), calls the virtual WindowProc, lets no
// exception pass back into the system, and at WM_NCDESTROY breaks the link and tells the
// application, whose main window may be the one that is going.
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
    // object already holds a window, and for windows that are not the calling thread's, that
    // another object already holds, or whose GWLP_USERDATA is in use.
    bool SubclassWindow(HWND window);
    // Gives a subclassed window its own procedure back and returns it; nullptr when the object
    // holds no subclassed window, or when another subclass has been put on top of this one (its
    // procedure would be lost), in which case nothing changes.
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

    // The object that a created or subclassed window runs through; nullptr for any other window,
    // and for a subclassed one whose subclass has another put on top of it.
    static CWnd* FromHandle(HWND window);

  protected:
    // Handles one message of the window. The default passes it to DefaultProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // What the window would do without this object: its own procedure for a subclassed window,
    // DefWindowProcA for a created one.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static CWnd* LinkCreatedWindow(HWND window, LPARAM createStruct);
    void ReleaseSubclassedWindow();
    void UnlinkDestroyedWindow();

    HWND hwnd_ = nullptr;
    WindowLink link_ = WindowLink::kNone;
    WNDPROC originalProc_ = nullptr;  // of a subclassed window; we don't own it
};

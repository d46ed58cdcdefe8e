#include "framework/wnd_win.h"

#include <commctrl.h>

#include "framework/exception_barrier.h"
#include "framework/program_instance_win.h"
#include "framework/win_app_win.h"
#include "framework/window_class_win.h"

namespace {

// The class of every window that CreateEx makes. Its windows differ only in what their objects
// do, so one class serves them all.
constexpr char kWindowClassName[] = "OrbiscapeWindow";

// The id under which a CWnd puts its subclass into a window's subclass chain; with the procedure
// it names the subclass, so one object at most holds a window this way.
constexpr UINT_PTR kSubclassId = 1;
// The window property that names the object a subclassed window runs through (the subclass's
// own data cannot be read back by name from the common controls).
constexpr char kSubclassObjectProperty[] = "OrbiscapeSubclassObject";

CWnd* LinkedObject(HWND window) {
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void SetLinkedObject(HWND window, CWnd* object) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

WNDPROC CurrentProcedure(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// What the window procedure answers when a handler failed with an exception: creation is
// refused, and a paint request is marked done, or the system would ask for it again at once and
// for ever.
LRESULT ResultAfterException(HWND window, UINT message) {
    switch (message) {
        case WM_NCCREATE:
            return FALSE;
        case WM_CREATE:
            return -1;
        case WM_PAINT:
            ValidateRect(window, nullptr);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

CWnd::~CWnd() {
    if (link_ == WindowLink::kCreated) {
        ::DestroyWindow(hwnd_);
        // DestroyWindow fails for a window of another thread; the window stays, but must no
        // longer lead here. Without its object it falls back to DefWindowProcA.
        if (link_ == WindowLink::kCreated) {
            SetLinkedObject(hwnd_, nullptr);
        }
    } else if (link_ == WindowLink::kSubclassed) {
        UnsubclassWindow();
    }
    if (CWinApp* app = CurrentApp(); app != nullptr && app->MainWindow() == this) {
        app->SetMainWindow(nullptr);
    }
}

bool CWnd::CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU menu) {
    if (hwnd_ != nullptr) {
        SetLastError(ERROR_INVALID_OPERATION);
        return false;
    }
    if (!RegisterWindowClass(kWindowClassName, &CWnd::StaticWindowProc)) {
        return false;
    }
    // The object is linked at WM_NCCREATE, the first message that carries the creation
    // parameters; the few messages before it get default handling.
    if (CreateWindowExA(exStyle, kWindowClassName, title, style, x, y, width, height, parent, menu,
                        ProgramInstance(), this) == nullptr) {
        // A window refused at WM_NCCREATE or WM_CREATE has been unlinked by its WM_NCDESTROY;
        // this also covers one that was destroyed without it.
        hwnd_ = nullptr;
        link_ = WindowLink::kNone;
        return false;
    }
    return true;
}

bool CWnd::SubclassWindow(HWND window) {
    if (hwnd_ != nullptr || window == nullptr || !IsWindow(window) ||
        GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() || FromHandle(window) != nullptr) {
        SetLastError(ERROR_INVALID_OPERATION);
        return false;
    }
    if (!SetPropA(window, kSubclassObjectProperty, this)) {
        return false;
    }
    // Set first: the subclass may see messages as soon as it is in the chain.
    hwnd_ = window;
    link_ = WindowLink::kSubclassed;
    if (!SetWindowSubclass(window, &CWnd::StaticSubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropA(window, kSubclassObjectProperty);
        hwnd_ = nullptr;
        link_ = WindowLink::kNone;
        return false;
    }
    return true;
}

HWND CWnd::UnsubclassWindow() {
    if (link_ != WindowLink::kSubclassed) {
        return nullptr;
    }
    const HWND window = hwnd_;
    RemoveWindowSubclass(window, &CWnd::StaticSubclassProc, kSubclassId);
    RemovePropA(window, kSubclassObjectProperty);
    hwnd_ = nullptr;
    link_ = WindowLink::kNone;
    return window;
}

bool CWnd::Attach(HWND window) {
    if (hwnd_ != nullptr || window == nullptr || !IsWindow(window)) {
        SetLastError(ERROR_INVALID_OPERATION);
        return false;
    }
    hwnd_ = window;
    link_ = WindowLink::kAttached;
    return true;
}

HWND CWnd::Detach() {
    if (link_ != WindowLink::kAttached) {
        return nullptr;
    }
    const HWND window = hwnd_;
    hwnd_ = nullptr;
    link_ = WindowLink::kNone;
    return window;
}

bool CWnd::DestroyWindow() {
    if (hwnd_ == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (!::DestroyWindow(hwnd_)) {
        return false;
    }
    // An attached window's WM_NCDESTROY does not pass through this object.
    if (link_ == WindowLink::kAttached) {
        hwnd_ = nullptr;
        link_ = WindowLink::kNone;
    }
    return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (hwnd_ == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return ::SendMessageA(hwnd_, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (hwnd_ == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return ::PostMessageA(hwnd_, message, wParam, lParam);
}

CWnd* CWnd::FromHandle(HWND window) {
    if (window == nullptr || !IsWindow(window)) {
        return nullptr;
    }
    // Only a window that runs the framework's procedure has an object in GWLP_USERDATA; in any
    // other window that slot is its owner's to use.
    if (CurrentProcedure(window) == &CWnd::StaticWindowProc) {
        return LinkedObject(window);
    }
    return static_cast<CWnd*>(GetPropA(window, kSubclassObjectProperty));
}

bool CWnd::SetTimer(UINT_PTR id, UINT milliseconds) const {
    if (hwnd_ == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return ::SetTimer(hwnd_, id, milliseconds, nullptr) != 0;
}

bool CWnd::KillTimer(UINT_PTR id) const {
    return hwnd_ != nullptr && ::KillTimer(hwnd_, id) != FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (link_ == WindowLink::kSubclassed) {
        // The next procedure in the window's subclass chain, and at its end the window's own.
        return DefSubclassProc(hwnd_, message, wParam, lParam);
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = message == WM_NCCREATE ? LinkCreatedWindow(window, lParam) : LinkedObject(window);
    if (object == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return object->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticSubclassProc(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*subclassId*/, DWORD_PTR object) {
    return reinterpret_cast<CWnd*>(object)->HandleMessage(message, wParam, lParam);
}

LRESULT CWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = hwnd_;
    const LRESULT result = CallWithoutThrowing(
        "a window procedure", [&] { return WindowProc(message, wParam, lParam); },
        [&] { return ResultAfterException(window, message); });
    if (message == WM_NCDESTROY) {
        UnlinkDestroyedWindow();
    }
    return result;
}

CWnd* CWnd::LinkCreatedWindow(HWND window, LPARAM createStruct) {
    auto* object = static_cast<CWnd*>(reinterpret_cast<const CREATESTRUCTA*>(createStruct)->lpCreateParams);
    if (object != nullptr) {
        object->hwnd_ = window;
        object->link_ = WindowLink::kCreated;
        SetLinkedObject(window, object);
    }
    return object;
}

void CWnd::UnlinkDestroyedWindow() {
    if (link_ == WindowLink::kSubclassed) {
        RemoveWindowSubclass(hwnd_, &CWnd::StaticSubclassProc, kSubclassId);
        RemovePropA(hwnd_, kSubclassObjectProperty);
    } else {
        SetLinkedObject(hwnd_, nullptr);
    }
    hwnd_ = nullptr;
    link_ = WindowLink::kNone;
    if (CWinApp* app = CurrentApp()) {
        app->OnWindowDestroyed(this);
    }
}

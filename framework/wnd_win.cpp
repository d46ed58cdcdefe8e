#include "framework/wnd_win.h"

#include "framework/exception_barrier.h"
#include "framework/program_instance_win.h"
#include "framework/win_app_win.h"
#include "framework/window_class_win.h"

namespace {

// The class of every window that CreateEx makes. Its windows differ only in what their objects
// do, so one class serves them all.
constexpr char kWindowClassName[] = "OrbiscapeWindow";

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
    } else if (link_ == WindowLink::kSubclassed && UnsubclassWindow() == nullptr) {
        // Another subclass sits on top of this one. Putting the window's own procedure back cuts
        // that one out, but leaves a working window; leaving ours in place would leave a window
        // that leads to a destroyed object.
        ReleaseSubclassedWindow();
    }
    if (link_ == WindowLink::kCreated) {
        // DestroyWindow fails for a window of another thread; the window stays, but must no
        // longer lead here. Without its object it falls back to DefWindowProcA.
        SetLinkedObject(hwnd_, nullptr);
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
        GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() ||
        LinkedObject(window) != nullptr || CurrentProcedure(window) == &CWnd::StaticWindowProc) {
        SetLastError(ERROR_INVALID_OPERATION);
        return false;
    }
    // The window belongs to this thread, so no message reaches it between these steps.
    SetLinkedObject(window, this);
    SetLastError(0);
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    if (previous == nullptr && GetLastError() != 0) {
        SetLinkedObject(window, nullptr);
        return false;
    }
    hwnd_ = window;
    link_ = WindowLink::kSubclassed;
    originalProc_ = previous;
    return true;
}

HWND CWnd::UnsubclassWindow() {
    if (link_ != WindowLink::kSubclassed || CurrentProcedure(hwnd_) != &CWnd::StaticWindowProc) {
        return nullptr;
    }
    const HWND window = hwnd_;
    ReleaseSubclassedWindow();
    return window;
}

void CWnd::ReleaseSubclassedWindow() {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    SetLinkedObject(hwnd_, nullptr);
    hwnd_ = nullptr;
    link_ = WindowLink::kNone;
    originalProc_ = nullptr;
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
    // Only a window that runs the framework's procedure has an object in GWLP_USERDATA; in any
    // other window that slot is its owner's to use.
    if (window == nullptr || !IsWindow(window) || CurrentProcedure(window) != &CWnd::StaticWindowProc) {
        return nullptr;
    }
    return LinkedObject(window);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (originalProc_ != nullptr) {
        return CallWindowProcA(originalProc_, hwnd_, message, wParam, lParam);
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = message == WM_NCCREATE ? LinkCreatedWindow(window, lParam) : LinkedObject(window);
    if (object == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = CallWithoutThrowing(
        "a window procedure", [&] { return object->WindowProc(message, wParam, lParam); },
        [&] { return ResultAfterException(window, message); });
    if (message == WM_NCDESTROY) {
        object->UnlinkDestroyedWindow();
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
    SetLinkedObject(hwnd_, nullptr);
    hwnd_ = nullptr;
    link_ = WindowLink::kNone;
    originalProc_ = nullptr;
    if (CWinApp* app = CurrentApp()) {
        app->OnWindowDestroyed(this);
    }
}

#include "framework/dialog_win.h"

#include "framework/exception_barrier.h"
#include "framework/program_instance_win.h"

namespace {

// The messages whose dialog-procedure return value is the answer itself; for all others the
// return value only says whether the message was handled.
bool AnswersThroughReturnValue(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_QUERYDRAGICON:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return true;
        default:
            return false;
    }
}

// An answer that is present only when the handle is.
template <typename Handle>
std::optional<LRESULT> AnswerIfAny(Handle handle) {
    if (handle == nullptr) {
        return std::nullopt;
    }
    return reinterpret_cast<LRESULT>(handle);
}

std::optional<LRESULT> HandledIf(bool handled) {
    return handled ? std::optional<LRESULT>(0) : std::nullopt;
}

}  // namespace

INT_PTR AnswerDialogMessage(HWND dialog, UINT message, std::optional<LRESULT> answer) {
    if (!answer) {
        return FALSE;
    }
    if (AnswersThroughReturnValue(message)) {
        return static_cast<INT_PTR>(*answer);
    }
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, *answer);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    if (GetSafeHwnd() != nullptr) {
        SetLastError(ERROR_INVALID_OPERATION);
        return -1;
    }
    const INT_PTR result = DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(templateId_), parent_,
                                           &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    // Normally done at WM_NCDESTROY already; this covers a window that went without it.
    UnbindAll();
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(GetSafeHwnd(), result);
}

HWND CDialog::GetDlgItem(int id) const {
    return ::GetDlgItem(GetSafeHwnd(), id);
}

bool CDialog::BindControl(CWnd& control, int id, bool routed) {
    const HWND window = GetDlgItem(id);
    if (window == nullptr || !(routed ? control.SubclassWindow(window) : control.Attach(window))) {
        return false;
    }
    controls_.push_back(&control);
    return true;
}

std::optional<LRESULT> CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            // Enter and Escape arrive as IDOK and IDCANCEL with the code of a click.
            if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
                id == IDOK ? OnOK() : OnCancel();
                return 0;
            }
            return HandledIf(OnCommand(id, code, reinterpret_cast<HWND>(lParam)));
        }
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_TIMER:
            return HandledIf(OnTimer(wParam));
        case WM_HSCROLL:
        case WM_VSCROLL:
            return HandledIf(OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam)));
        case WM_SYSCOMMAND:
            return HandledIf(OnSysCommand(wParam, lParam));
        case WM_CTLCOLORSTATIC:
            return AnswerIfAny(
                OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_QUERYDRAGICON:
            return AnswerIfAny(OnQueryDragIcon());
        default:
            return std::nullopt;
    }
}

void CDialog::UnbindAll() {
    for (CWnd* control : controls_) {
        control->Link() == WindowLink::kSubclassed ? control->UnsubclassWindow() : control->Detach();
    }
    controls_.clear();
    Detach();
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* object = nullptr;
    if (message == WM_INITDIALOG) {
        object = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        object->Attach(dialog);
    } else {
        object = reinterpret_cast<CDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    }
    // The few messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
    if (object == nullptr) {
        return FALSE;
    }
    const INT_PTR result = CallWithoutThrowing(
        "a dialog procedure",
        [&] { return AnswerDialogMessage(dialog, message, object->OnMessage(message, wParam, lParam)); },
        [&]() -> INT_PTR {
            if (message == WM_INITDIALOG) {
                // A half-made dialog is no use to anybody.
                ::EndDialog(dialog, -1);
            }
            return FALSE;
        });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        object->UnbindAll();
    }
    return result;
}

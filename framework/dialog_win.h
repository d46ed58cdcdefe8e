// CDialog: a modal dialog made from a dialog template in the program's resources.
//
// Every dialog of the program runs through one static dialog procedure. It finds the object from
// WM_INITDIALOG's parameter, keeps it in DWLP_USER, splits the messages into virtual handlers and
// turns each handler's answer into what the dialog manager expects (AnswerDialogMessage). No
// exception passes back into the system: one thrown while the dialog initialises ends the dialog
// with -1, one thrown later is reported and the message counts as not handled.
//
// The dialog object is a view of its window (an attached CWnd) from WM_INITDIALOG to the window's
// end, so the wrapper operations (SendMessage, SetTimer...) work on it. Controls bound with
// BindControl are views of the dialog's controls for the same time, and are let go when the
// window ends, so one object can run its dialog again.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "framework/wnd_win.h"

class CDialog : public CWnd {
  public:
    // The dialog of template `templateId`, owned by `parent` (nullptr: a top-level dialog).
    explicit CDialog(UINT templateId, HWND parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Runs the dialog modally and returns what it was ended with (IDOK, IDCANCEL...), or -1 when
    // it could not be made or its initialisation failed with an exception. The modal loop shows
    // posted thread messages to the thread's message filter, so the application's commands are
    // still carried out while the dialog is open.
    INT_PTR DoModal();

    // Ends the modal run with `result`; the window goes once the current message is handled.
    void EndDialog(INT_PTR result);
    // The control with that id, or nullptr.
    HWND GetDlgItem(int id) const;

  protected:
    // Views `control` as the dialog's control `id` (nullptr: the control is missing), or, with
    // `routed`, subclasses it so that its messages pass through the control object, until the
    // dialog's window ends. False when there is no such control or the control object holds a
    // window already.
    bool BindControl(CWnd& control, int id, bool routed = false);

    // The handlers. Each returns whether it handled its message; a message that no handler takes
    // gets the dialog manager's default handling.

    // WM_INITDIALOG: bind the controls and fill them here. Returns TRUE to let the system put
    // the focus on the first control, FALSE when the handler has set the focus itself.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND from a control or menu item other than OK and Cancel.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // The OK button, or Enter: ends the dialog with IDOK.
    virtual void OnOK() { EndDialog(IDOK); }
    // The Cancel button, Escape or the close box: ends the dialog with IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_NOTIFY: the answer to the notification, or nothing when not handled.
    virtual std::optional<LRESULT> OnNotify(const NMHDR& /*header*/) { return std::nullopt; }
    // WM_TIMER of one of the dialog's own timers.
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    // WM_HSCROLL or WM_VSCROLL from a trackbar or scroll bar control (nullptr: the dialog's own
    // scroll bars); `code` is the low word of wParam (TB_THUMBTRACK, SB_LINELEFT...).
    virtual bool OnScroll(HWND /*control*/, int /*code*/) { return false; }
    // WM_SYSCOMMAND: `command` is wParam, whose low four bits the system uses itself.
    virtual bool OnSysCommand(WPARAM /*command*/, LPARAM /*lParam*/) { return false; }
    // WM_CTLCOLORSTATIC: the brush to paint the control's background with, or nullptr for the
    // dialog manager's.
    virtual HBRUSH OnCtlColorStatic(HDC /*dc*/, HWND /*control*/) { return nullptr; }
    // WM_QUERYDRAGICON: the icon to drag a minimised dialog by, or nullptr for the default.
    virtual HICON OnQueryDragIcon() { return nullptr; }

    // Handles one message; splits it into the handlers above. Override for messages without a
    // handler of their own, and call this for the rest. The answer is nothing when the message
    // is not handled.
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Lets go of the controls and of the dialog's own window.
    void UnbindAll();

    UINT templateId_;
    HWND parent_;                  // we don't own it
    std::vector<CWnd*> controls_;  // bound controls; we don't own them
};

// What a dialog procedure returns for a message handled with `answer`: the answer itself for
// the messages whose answer is the return value (WM_INITDIALOG, WM_CTLCOLOR*, WM_QUERYDRAGICON,
// WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM); TRUE for every other message, with the answer
// put into DWLP_MSGRESULT. A message that was not handled returns FALSE.
INT_PTR AnswerDialogMessage(HWND dialog, UINT message, std::optional<LRESULT> answer);

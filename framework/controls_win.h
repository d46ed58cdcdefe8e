// Views of the standard and common controls, each bound to its control by a dialog
// (CDialog::BindControl). Every operation is one message; its comment carries the part of the
// message's contract that callers rely on. The views own nothing: the dialog owns its controls.
//
// Strings go through the ANSI messages, so texts are in the program's code page whether the
// control itself is an ANSI or a Unicode window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/wnd_win.h"

// What every control offers besides its own messages.
class CControl : public CWnd {
  public:
    // EnableWindow; returns whether the control was disabled before.
    bool EnableWindow(bool enable) const { return ::EnableWindow(GetSafeHwnd(), enable ? TRUE : FALSE) != 0; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(GetSafeHwnd()) != 0; }
    // The whole text (GetWindowTextLengthA may overstate the length; the copy says how much).
    std::string GetWindowText() const;
    // SetWindowTextA; an edit control sends EN_CHANGE to its parent because of it.
    bool SetWindowText(const char* text) const { return ::SetWindowTextA(GetSafeHwnd(), text) != 0; }
};

// A push button, check box or radio button.
class CButton : public CControl {
  public:
    // BM_GETCHECK: BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    // BM_SETCHECK: sets the state without notifying the parent (no BN_CLICKED).
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

// A drop-down list or combo box.
class CComboBox : public CControl {
  public:
    // CB_RESETCONTENT: removes every entry; no entry is selected afterwards.
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    // CB_ADDSTRING: the new entry's index (the end of an unsorted list), or CB_ERR / CB_ERRSPACE.
    int AddString(const char* text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    // CB_SETITEMDATA: CB_ERR for an index that names no entry.
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(
            SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    // CB_GETITEMDATA: CB_ERR (-1) for an index that names no entry, CB_ERR itself included, so
    // the data of "the selection" of a list without one reads as -1.
    DWORD_PTR GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    // CB_GETCOUNT: the number of entries.
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    // CB_GETCURSEL: the selected entry's index, CB_ERR (-1) when none is selected.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // CB_SETCURSEL without notifying the parent (no CBN_SELCHANGE); -1 clears the selection.
    // Returns the index, or CB_ERR when it names no entry (also when clearing).
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    // CB_GETITEMHEIGHT with 0: the height of the entries of the drop-down list, in pixels.
    int GetItemHeight() const { return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, 0)); }
    // CB_SETITEMHEIGHT with 0: sets the height of every list entry (16 bits of it count). Wine
    // passes it on to the list only for owner-drawn combo boxes.
    void SetItemHeight(int height) const { SendMessage(CB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0)); }
    // CB_GETCOMBOBOXINFO: the drop-down list window, which exists as long as the combo box.
    HWND GetListWindow() const;
    // CB_GETLBTEXT: the entry's text; empty for an index that names no entry.
    std::string GetLBText(int index) const;
};

// A list box, also the drop-down list of a combo box.
class CListBox : public CControl {
  public:
    // LB_GETCOUNT: the number of entries.
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // LB_SETITEMHEIGHT with 0: the height of every entry of a list that is not owner-drawn.
    void SetItemHeight(int height) const { SendMessage(LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0)); }
    // LB_GETITEMRECT: the entry's rectangle in the list's client coordinates; LB_ERR for an
    // index that names no entry.
    bool GetItemRect(int index, RECT& rect) const {
        return SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) !=
               LB_ERR;
    }
    // LB_ADDSTRING: the new entry's index (the end of an unsorted list), or LB_ERR / LB_ERRSPACE.
    int AddString(const char* text) const {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    // LB_INSERTSTRING: inserts before `index` (-1: at the end) without sorting; the new index.
    int InsertString(int index, const char* text) const {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    // LB_DELETESTRING: the number of entries left, or LB_ERR. Deleting the selected entry leaves
    // no entry selected.
    int DeleteString(int index) const {
        return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    // LB_GETCURSEL: the selected entry of a single-selection list, LB_ERR (-1) when none is.
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    // LB_SETCURSEL without notifying the parent (no LBN_SELCHANGE); -1 clears the selection.
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    // LB_GETTEXT: the entry's text; empty for an index that names no entry.
    std::string GetText(int index) const;
};

// An edit control.
class CEdit : public CControl {};

// A label or picture control.
class CStatic : public CControl {
  public:
    // STM_SETIMAGE with IMAGE_BITMAP: shows the bitmap and returns the one shown before. The
    // control may show a copy of what it is given (a 32-bit bitmap with alpha, for one), and
    // then may return a copy of its own too: compare GetBitmap() with what was passed to learn
    // whether the control holds the caller's bitmap. Whatever it holds it does not delete.
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    // STM_GETIMAGE with IMAGE_BITMAP: the bitmap the control shows now, or nullptr.
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};

// A trackbar.
class CSliderCtrl : public CControl {
  public:
    // TBM_SETRANGEMIN and TBM_SETRANGEMAX, redrawing with the second.
    void SetRange(int minimum, int maximum) const {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, TRUE, maximum);
    }
    // TBM_SETPOS, redrawn; a position outside the range is moved to its nearer end. No
    // WM_HSCROLL reaches the parent.
    void SetPos(int position) const { SendMessage(TBM_SETPOS, TRUE, position); }
    // TBM_GETPOS: the position, within the range.
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    // TBM_SETTICFREQ: a tick mark every `frequency` positions (the control has TBS_AUTOTICKS).
    void SetTicFreq(int frequency) const { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
};

// A tab control.
class CTabCtrl : public CControl {
  public:
    // TCM_INSERTITEMA with only a text: the new tab's index, or -1.
    int InsertItem(int index, const char* text) const;
};

// The about box: the program's name and version, its maker and the sources of its pictures, with
// nothing to do but close. The tray menu's "&About..." opens it, and so does the settings
// dialog's system menu (owned by that dialog then).
#pragma once

#include "framework/dialog_win.h"
#include "resources/resource_ids.h"

class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(HWND parent = nullptr) : CDialog(IDD_ABOUTBOX, parent) {}
};

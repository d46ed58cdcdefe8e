// Tells the user, once the program's Active Desktop item has just been put on the desktop, how
// to enlarge it, with a picture of the item's title bar. Nothing to do but close.
#pragma once

#include "framework/dialog_win.h"
#include "resources/resource_ids.h"

class CComponentShownDlg : public CDialog {
  public:
    explicit CComponentShownDlg(HWND parent = nullptr) : CDialog(IDD_COMPONENT_SHOWN, parent) {}
};

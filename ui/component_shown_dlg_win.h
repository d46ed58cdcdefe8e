// Tells the user, once the program's Active Desktop item has just been put on the desktop, how
// to enlarge it, with a picture of the item's title bar. Nothing to do but close.
#pragma once

#include <optional>

#include "framework/controls_win.h"
#include "framework/dialog_win.h"
#include "framework/picture_bitmap_win.h"
#include "resources/resource_ids.h"

class CComponentShownDlg : public CDialog {
  public:
    explicit CComponentShownDlg(HWND parent = nullptr) : CDialog(IDD_COMPONENT_SHOWN, parent) {}

  protected:
    BOOL OnInitDialog() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    CStatic picture_;
    // The bitmap that the picture control loaded from the template. The control never deletes
    // it, so each showing would leave one behind: the dialog takes it back when it goes.
    PictureBitmap pictureBitmap_{picture_};
};

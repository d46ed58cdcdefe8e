#include "ui/component_shown_dlg_win.h"

BOOL CComponentShownDlg::OnInitDialog() {
    BindControl(picture_, IDC_COMPONENT_PICTURE);
    return TRUE;
}

std::optional<LRESULT> CComponentShownDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        pictureBitmap_.Clear();
    }
    return CDialog::OnMessage(message, wParam, lParam);
}

// CCloudDialog: the cloud updates window. The user switches the periodic cloud download on or
// off, chooses its period, edits the ordered list of mirrors it asks, and sees when the cloud map
// was last updated beside a small picture of it. OK stores the three choices and asks the
// application thread to apply the settings, which re-arms the cloud timer; Cancel stores nothing.
//
// The label and the picture show the state at the moment the dialog opens. The period list, the
// enabling rules, the list editing and the mapping to the settings are portable
// (cloud_dialog_rules.h); this class moves values between them and the controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/controls_win.h"
#include "framework/dialog_win.h"
#include "framework/picture_bitmap_win.h"
#include "framework/tab_panel_brush_win.h"
#include "ui/cloud_dialog_rules.h"

class CCloudDialog : public CDialog {
  public:
    // A dialog that posts ID_APPLY_SETTINGS to `applicationThread` once it has stored the
    // settings.
    explicit CCloudDialog(DWORD applicationThread, HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void BindControls();
    // Shows the moment of the last update (a FILETIME, UTC) in local time; 0 keeps "Never".
    void ShowLastUpdated(std::uint64_t fileTime);
    // Shows the small cloud map scaled to fit the picture control, or nothing without one.
    void ShowPreview();
    void UpdateEnableStates();
    CloudChoices ReadChoices() const;

    DWORD applicationThread_;
    HICON icon_;  // shared from the program's resources; we don't own it

    // The members in the order the dialog's controls are described in.
    CButton updateBox_;
    CComboBox frequencyList_;
    CStatic lastUpdatedLabel_;
    CStatic preview_;
    CListBox mirrorList_;
    CEdit addressBox_;
    CButton addButton_;
    CButton deleteButton_;
    CButton moveUpButton_;
    CButton moveDownButton_;
    CTabCtrl tab_;
    TabPanelBrush panel_;

    // What the picture control shows, given back before the control goes.
    PictureBitmap previewBitmap_{preview_};
};

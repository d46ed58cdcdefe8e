// COrbiscapeDlg: the settings window. The user chooses the centre of the picture, the day and
// night images, the clouds and their thickness, how the picture meets the screen, how often it
// is redrawn, and whether it becomes the wallpaper or an Active Desktop item of a chosen size. A
// preview beside the choices shows the Earth as it would look now, 500 ms after the last change.
// Apply and OK store the choices and ask the application thread to apply them; Cancel stores
// nothing more.
//
// The lists, their codes, the enabling rules and the mapping to the settings record are portable
// (settings_lists.h, size_list.h, settings_choices.h, settings_preview.h); this class moves
// values between them and the controls.
#pragma once

#include <windows.h>

#include "framework/controls_win.h"
#include "framework/dialog_win.h"
#include "framework/picture_bitmap_win.h"
#include "framework/tab_panel_brush_win.h"
#include "ui/separator_combo_box_win.h"
#include "ui/settings_choices.h"
#include "ui/settings_lists.h"

class COrbiscapeDlg : public CDialog {
  public:
    // A dialog that posts ID_APPLY_SETTINGS to `applicationThread` once it has stored the
    // settings.
    explicit COrbiscapeDlg(DWORD applicationThread, HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnScroll(HWND control, int code) override;
    bool OnSysCommand(WPARAM command, LPARAM lParam) override;
    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    HICON OnQueryDragIcon() override { return icon_; }
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void BindControls();
    void AddAboutToSystemMenu();
    void FillSizeList(const CSettings& settings);
    // The choices the controls show now.
    SettingsChoices ReadChoices() const;
    // Sets the enabled state of every control that follows from the choices.
    void UpdateEnabledControls();
    // A change the preview shows: the next preview comes 500 ms after the last such change.
    void RestartPreviewTimer();
    void RenderPreview();
    void ApplyChoices();

    DWORD applicationThread_;
    bool wow64_ = false;

    // The members in the order the dialog's controls are described in.
    HICON icon_;  // shared from the program's resources; we don't own it
    CSeparatorComboBox centreList_;
    CStatic preview_;
    CSeparatorComboBox updateList_;
    CSeparatorComboBox sizeList_;
    CTabCtrl tab_;
    TabPanelBrush panel_;
    CButton activeDesktopButton_;
    CButton wallpaperButton_;
    CButton blackBarsBox_;
    CButton cropBox_;
    CButton cloudsBox_;
    CSeparatorComboBox dayList_;
    CButton applyButton_;
    CSeparatorComboBox nightList_;
    CSliderCtrl thicknessBar_;
    CButton sharpMapsBox_;

    // What the preview control shows, given back before the control goes.
    PictureBitmap previewBitmap_{preview_};
};

#include "ui/orbiscape_dlg_win.h"

#include "framework/label_background_win.h"
#include "framework/program_instance_win.h"
#include "image/dib_image_gdi.h"
#include "output/wow64_win.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "ui/about_dlg_win.h"
#include "ui/choice_combo_win.h"
#include "ui/monitor_areas_win.h"
#include "ui/settings_preview.h"
#include "ui/size_list.h"

namespace {

// Timer 1 of the dialog's window: the preview, 500 ms after the last change it shows.
constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT kPreviewDelayMs = 500;

constexpr int kThicknessRange = 100;
constexpr int kThicknessTickEvery = 10;

constexpr char kSettingsTabText[] = "Settings";
constexpr char kNotOnWin64[] = " Not available on Win64.";
// What a string of the string table may hold here at most.
constexpr int kMenuTextLength = 256;

bool IsChecked(const CButton& button) {
    return button.GetCheck() == BST_CHECKED;
}

int CheckState(bool checked) {
    return checked ? BST_CHECKED : BST_UNCHECKED;
}

}  // namespace

COrbiscapeDlg::COrbiscapeDlg(DWORD applicationThread, HWND parent)
    : CDialog(IDD_ORBISCAPE_DIALOG, parent),
      applicationThread_(applicationThread),
      icon_(LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_ORBISCAPE))) {}

BOOL COrbiscapeDlg::OnInitDialog() {
    BindControls();
    AddAboutToSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    wow64_ = IsWow64();

    // Only to preselect the controls; Apply loads a fresh record.
    const CSettings settings;
    FillChoiceList(centreList_, CentreOnChoices(), settings.CenterOn);
    FillSizeList(settings);
    FillChoiceList(updateList_, UpdateChoices(), settings.UpdateFreq);

    blackBarsBox_.SetCheck(CheckState(settings.BlackBars != 0));
    cropBox_.SetCheck(CheckState(settings.Crop != 0));
    const bool activeDesktop = OpensWithActiveDesktop(settings, wow64_);
    activeDesktopButton_.SetCheck(CheckState(activeDesktop));
    wallpaperButton_.SetCheck(CheckState(!activeDesktop));
    if (wow64_) {
        activeDesktopButton_.SetWindowText((activeDesktopButton_.GetWindowText() + kNotOnWin64).c_str());
    }

    FillChoiceList(nightList_, NightChoices(), settings.NighttimeImage);
    FillChoiceList(dayList_, DayChoices(), settings.DaytimeImage);
    sharpMapsBox_.SetCheck(CheckState(settings.SharpMaps != 0));
    cloudsBox_.SetCheck(CheckState(settings.Clouds != 0));
    thicknessBar_.SetRange(0, kThicknessRange);
    thicknessBar_.SetPos(settings.CloudFactor);
    thicknessBar_.SetTicFreq(kThicknessTickEvery);
    UpdateEnabledControls();

    RestartPreviewTimer();
    applyButton_.EnableWindow(false);
    tab_.InsertItem(0, kSettingsTabText);
    panel_.TakeFrom(tab_.GetSafeHwnd());
    return TRUE;
}

void COrbiscapeDlg::BindControls() {
    // The lists are routed through their objects, which draw the separator lines.
    BindControl(centreList_, IDC_CENTER_ON, true);
    BindControl(preview_, IDC_PREVIEW);
    BindControl(updateList_, IDC_UPDATE_FREQ, true);
    BindControl(sizeList_, IDC_ITEM_SIZE, true);
    BindControl(tab_, IDC_SETTINGS_TAB);
    BindControl(activeDesktopButton_, IDC_ACTIVE_DESKTOP);
    BindControl(wallpaperButton_, IDC_WALLPAPER);
    BindControl(blackBarsBox_, IDC_BLACK_BARS);
    BindControl(cropBox_, IDC_CROP);
    BindControl(cloudsBox_, IDC_CLOUDS);
    BindControl(dayList_, IDC_DAY_IMAGE, true);
    BindControl(applyButton_, IDC_APPLY);
    BindControl(nightList_, IDC_NIGHT_IMAGE, true);
    BindControl(thicknessBar_, IDC_CLOUD_THICKNESS);
    BindControl(sharpMapsBox_, IDC_SHARP_MAPS);
}

void COrbiscapeDlg::AddAboutToSystemMenu() {
    const HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
    char text[kMenuTextLength] = {};
    if (systemMenu != nullptr &&
        LoadStringA(ProgramInstance(), IDS_ABOUT_ORBISCAPE, text, kMenuTextLength) > 0) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
    }
}

void COrbiscapeDlg::FillSizeList(const CSettings& settings) {
    const SizeList list =
        BuildSizeList(ListMonitorAreas(), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      GetSystemMetrics(SM_CYVIRTUALSCREEN), settings.HorizontalRes, settings.VerticalRes);
    sizeList_.ResetContent();
    for (const SizeChoice& choice : list.choices) {
        sizeList_.SetItemData(sizeList_.AddString(choice.text.c_str()), choice.code);
    }
    for (const int separator : list.separators) {
        sizeList_.AddSeparator(separator);
    }
    sizeList_.SetCurSel(list.selection);
}

SettingsChoices COrbiscapeDlg::ReadChoices() const {
    SettingsChoices choices;
    choices.centreOn = SelectedCode(centreList_);
    choices.updateFreq = static_cast<std::uint32_t>(SelectedCode(updateList_));
    choices.size = static_cast<std::uint32_t>(SelectedCode(sizeList_));
    choices.daytimeImage = SelectedCode(dayList_);
    choices.nighttimeImage = SelectedCode(nightList_);
    choices.blackBars = IsChecked(blackBarsBox_);
    choices.cropTicked = IsChecked(cropBox_);
    choices.activeDesktop = IsChecked(activeDesktopButton_);
    choices.clouds = IsChecked(cloudsBox_);
    choices.sharpMaps = IsChecked(sharpMapsBox_);
    choices.cloudFactor = thicknessBar_.GetPos();
    return choices;
}

void COrbiscapeDlg::UpdateEnabledControls() {
    const EnabledControls enabled = EnabledFor(ReadChoices(), wow64_);
    cropBox_.EnableWindow(enabled.cropBox);
    thicknessBar_.EnableWindow(enabled.thicknessBar);
    sizeList_.EnableWindow(enabled.sizeList);
    activeDesktopButton_.EnableWindow(enabled.activeDesktopButton);
}

bool COrbiscapeDlg::OnCommand(int id, int code, HWND /*control*/) {
    const bool clicked = code == BN_CLICKED;
    const bool selected = code == CBN_SELCHANGE;
    switch (id) {
        case IDC_CENTER_ON:
        case IDC_DAY_IMAGE:
        case IDC_NIGHT_IMAGE:
            if (!selected) {
                return false;
            }
            RestartPreviewTimer();
            break;
        case IDC_CROP:
        case IDC_BLACK_BARS:
        case IDC_CLOUDS:
        case IDC_SHARP_MAPS:
            if (!clicked) {
                return false;
            }
            UpdateEnabledControls();
            RestartPreviewTimer();
            break;
        case IDC_ACTIVE_DESKTOP:
        case IDC_WALLPAPER: {
            if (!clicked) {
                return false;
            }
            // The two buttons are one choice: the one clicked decides the other.
            const CButton& clickedButton = id == IDC_ACTIVE_DESKTOP ? activeDesktopButton_ : wallpaperButton_;
            const CButton& otherButton = id == IDC_ACTIVE_DESKTOP ? wallpaperButton_ : activeDesktopButton_;
            otherButton.SetCheck(CheckState(!IsChecked(clickedButton)));
            UpdateEnabledControls();
            break;
        }
        case IDC_ITEM_SIZE:
        case IDC_UPDATE_FREQ:
            // Neither changes the preview.
            if (!selected) {
                return false;
            }
            break;
        case IDC_APPLY:
            if (!clicked) {
                return false;
            }
            ApplyChoices();
            return true;
        default:
            return false;
    }
    applyButton_.EnableWindow(true);
    return true;
}

void COrbiscapeDlg::OnOK() {
    // Stored even when nothing changed.
    ApplyChoices();
    CDialog::OnOK();
}

std::optional<LRESULT> COrbiscapeDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_SETTINGS_TAB && header.code == TCN_SELCHANGE) {
        return 0;  // the one tab has nothing to switch to
    }
    return std::nullopt;
}

bool COrbiscapeDlg::OnTimer(UINT_PTR id) {
    if (id == kPreviewTimer) {
        KillTimer(kPreviewTimer);
        RenderPreview();
    }
    return false;  // every timer goes on to the default handling
}

bool COrbiscapeDlg::OnScroll(HWND control, int /*code*/) {
    if (control != thicknessBar_.GetSafeHwnd()) {
        return false;
    }
    RestartPreviewTimer();
    applyButton_.EnableWindow(true);
    return true;
}

bool COrbiscapeDlg::OnSysCommand(WPARAM command, LPARAM /*lParam*/) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) {
        return false;
    }
    CAboutDlg(GetSafeHwnd()).DoModal();
    return true;
}

HBRUSH COrbiscapeDlg::OnCtlColorStatic(HDC dc, HWND control) {
    if (const HBRUSH label = TransparentLabelBrush(dc, control, {"Button", TRACKBAR_CLASSA})) {
        return label;
    }
    // Check boxes, radio buttons, group boxes, the slider and pictures take the panel's colour.
    return panel_.BrushFor(dc, control, {"Button", TRACKBAR_CLASSA, "Static"});
}

std::optional<LRESULT> COrbiscapeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        // The picture control goes with the window; its bitmap must not stay behind.
        previewBitmap_.Clear();
    }
    return CDialog::OnMessage(message, wParam, lParam);
}

void COrbiscapeDlg::RestartPreviewTimer() {
    KillTimer(kPreviewTimer);
    SetTimer(kPreviewTimer, kPreviewDelayMs);
}

void COrbiscapeDlg::RenderPreview() {
    RECT rect = {};
    GetWindowRect(preview_.GetSafeHwnd(), &rect);
    if (!WritePreviewFile(ReadChoices(), rect.right - rect.left, rect.bottom - rect.top,
                          CurrentUtcSeconds())) {
        return;  // the previous preview stays
    }
    DibImage image;
    OwnedBitmap bitmap(LoadBmpFile(image, kPreviewFrameFile));
    if (bitmap) {
        previewBitmap_.Show(std::move(bitmap));
    }
}

void COrbiscapeDlg::ApplyChoices() {
    // A fresh record keeps what others stored meanwhile in the fields this dialog does not show.
    CSettings settings;
    StoreChoices(ReadChoices(), settings);
    settings.Save();
    PostThreadMessageA(applicationThread_, WM_COMMAND, ID_APPLY_SETTINGS, 0);
    applyButton_.EnableWindow(false);
}

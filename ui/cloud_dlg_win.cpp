#include "ui/cloud_dlg_win.h"

#include "framework/label_background_win.h"
#include "framework/program_instance_win.h"
#include "image/en_bitmap_win.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "ui/choice_combo_win.h"

namespace {

constexpr char kSettingsTabText[] = "Settings";

// The mirror list box, edited through the portable rules.
class ListBoxMirrors final : public MirrorListView {
  public:
    explicit ListBoxMirrors(const CListBox& list) : list_(list) {}

    int Count() const override { return list_.GetCount(); }
    int Selection() const override { return list_.GetCurSel(); }
    std::string Text(int index) const override { return list_.GetText(index); }
    void Insert(int index, const std::string& text) override { list_.InsertString(index, text.c_str()); }
    void Delete(int index) override { list_.DeleteString(index); }
    void Select(int index) override { list_.SetCurSel(index); }

  private:
    const CListBox& list_;
};

}  // namespace

CCloudDialog::CCloudDialog(DWORD applicationThread, HWND parent)
    : CDialog(IDD_CLOUD_DIALOG, parent),
      applicationThread_(applicationThread),
      icon_(LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(IDI_ORBISCAPE))) {}

BOOL CCloudDialog::OnInitDialog() {
    BindControls();
    // Only to fill the controls; OK loads a fresh record.
    const CSettings settings;
    updateBox_.SetCheck(settings.AutoUpdateClouds != 0 ? BST_CHECKED : BST_UNCHECKED);
    UpdateEnableStates();
    for (const std::string& mirror : settings.URLs) {
        mirrorList_.AddString(mirror.c_str());
    }
    FillChoiceList(frequencyList_, CloudUpdateChoices(), settings.CloudUpdateFreq);
    ShowPreview();
    ShowLastUpdated(settings.CloudsLastUpdated);
    tab_.InsertItem(0, kSettingsTabText);
    panel_.TakeFrom(tab_.GetSafeHwnd());
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    return FALSE;  // the focus stays where the dialog manager left it
}

void CCloudDialog::BindControls() {
    BindControl(updateBox_, IDC_UPDATE_CLOUDS);
    BindControl(frequencyList_, IDC_CLOUD_UPDATE_FREQ);
    BindControl(lastUpdatedLabel_, IDC_LAST_UPDATED);
    BindControl(preview_, IDC_CLOUD_PREVIEW);
    BindControl(mirrorList_, IDC_MIRROR_LIST);
    BindControl(addressBox_, IDC_MIRROR_ADDRESS);
    BindControl(addButton_, IDC_ADD_MIRROR);
    BindControl(deleteButton_, IDC_DELETE_MIRROR);
    BindControl(moveUpButton_, IDC_MOVE_MIRROR_UP);
    BindControl(moveDownButton_, IDC_MOVE_MIRROR_DOWN);
    BindControl(tab_, IDC_CLOUD_TAB);
}

void CCloudDialog::ShowLastUpdated(std::uint64_t fileTime) {
    if (fileTime == 0) {
        return;
    }
    const FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local = {};
    SYSTEMTIME parts = {};
    // A stored time the system cannot convert keeps the label's "Never".
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts)) {
        return;
    }
    const LocalDateTime moment = {parts.wYear, parts.wMonth,  parts.wDay,
                                  parts.wHour, parts.wMinute, parts.wSecond};
    lastUpdatedLabel_.SetWindowText(LastUpdatedText(moment).c_str());
}

void CCloudDialog::ShowPreview() {
    CEnBitmap map;
    if (!map.LoadImageFile(kSmallCloudsFile)) {
        return;
    }
    RECT rect = {};
    GetWindowRect(preview_.GetSafeHwnd(), &rect);
    if (!map.ResizeImage(CloudPreviewScale(rect.right - rect.left, rect.bottom - rect.top))) {
        return;
    }
    previewBitmap_.Show(OwnedBitmap(map.Detach()));
}

void CCloudDialog::UpdateEnableStates() {
    const CloudControlsEnabled enabled =
        CloudControlsEnabledFor(updateBox_.GetCheck() == BST_CHECKED, !addressBox_.GetWindowText().empty(),
                                ListBoxMirrors(mirrorList_));
    frequencyList_.EnableWindow(enabled.frequencyList);
    mirrorList_.EnableWindow(enabled.mirrorList);
    addressBox_.EnableWindow(enabled.addressBox);
    addButton_.EnableWindow(enabled.addButton);
    deleteButton_.EnableWindow(enabled.deleteButton);
    moveUpButton_.EnableWindow(enabled.moveUpButton);
    moveDownButton_.EnableWindow(enabled.moveDownButton);
}

bool CCloudDialog::OnCommand(int id, int code, HWND /*control*/) {
    ListBoxMirrors mirrors(mirrorList_);
    const bool clicked = code == BN_CLICKED;
    if (id == IDC_ADD_MIRROR && clicked) {
        AddMirror(mirrors, addressBox_.GetWindowText());
    } else if (id == IDC_DELETE_MIRROR && clicked) {
        DeleteSelectedMirror(mirrors);
    } else if ((id == IDC_MOVE_MIRROR_UP || id == IDC_MOVE_MIRROR_DOWN) && clicked) {
        MoveSelectedMirror(mirrors, id == IDC_MOVE_MIRROR_UP ? -1 : 1);
    } else if (!(id == IDC_UPDATE_CLOUDS && clicked) && !(id == IDC_MIRROR_LIST && code == LBN_SELCHANGE) &&
               !(id == IDC_MIRROR_ADDRESS && code == EN_CHANGE)) {
        return false;
    }
    UpdateEnableStates();
    return true;
}

CloudChoices CCloudDialog::ReadChoices() const {
    CloudChoices choices;
    choices.autoUpdate = updateBox_.GetCheck() == BST_CHECKED;
    choices.updateFreq = static_cast<std::uint32_t>(SelectedCode(frequencyList_));
    choices.mirrors = MirrorEntries(ListBoxMirrors(mirrorList_));
    return choices;
}

void CCloudDialog::OnOK() {
    SaveCloudChoices(ReadChoices(), ProgramSettingsStore());
    // Posted even when the store could not be written: applying again does no harm.
    PostThreadMessageA(applicationThread_, WM_COMMAND, ID_APPLY_SETTINGS, 0);
    CDialog::OnOK();
}

HBRUSH CCloudDialog::OnCtlColorStatic(HDC dc, HWND control) {
    if (const HBRUSH label = TransparentLabelBrush(dc, control, {"Button", "Edit"})) {
        return label;
    }
    // Check boxes, radio buttons, group boxes and pictures take the panel's colour.
    return panel_.BrushFor(dc, control, {"Button", "Static"});
}

std::optional<LRESULT> CCloudDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        // The picture control goes with the window; its bitmap must not stay behind.
        previewBitmap_.Clear();
    }
    return CDialog::OnMessage(message, wParam, lParam);
}

// The cloud updates dialog as a user meets it: opened over stored settings, the update box
// ticked and unticked, addresses typed and added, moved to both ends and deleted, OK and Cancel,
// with what the dialog stores and posts, what it shows, and its preview's bitmap once it has gone.
#include "ui/cloud_dlg_win.h"

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/settings_store.h"
#include "tests/app/app_test_support_win.h"
#include "tests/ui/dialog_driver_win.h"
#include "tests/ui/dialog_test_fixture_win.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// 2007-03-14 18:05:09 UTC.
constexpr std::uint64_t kEarlierUpdate = 0x01C766634D6AF880u;
// What a download stores while the dialog is open.
constexpr std::uint64_t kUpdateMeanwhile = kEarlierUpdate + 36'000'000'000u;
constexpr char kFirst[] = "http://127.0.0.2/first.jpg";
constexpr char kSecond[] = "http://127.0.0.3/second.jpg";
constexpr char kTyped[] = "http://127.0.0.4/clouds.jpg";

// Enabled states of the period list, mirror list, address box, Add, Delete, Move Up and Move
// Down, as "1" and "0".
std::string EditingEnabled(HWND dialog) {
    std::string states;
    for (const int id : {IDC_CLOUD_UPDATE_FREQ, IDC_MIRROR_LIST, IDC_MIRROR_ADDRESS, IDC_ADD_MIRROR,
                         IDC_DELETE_MIRROR, IDC_MOVE_MIRROR_UP, IDC_MOVE_MIRROR_DOWN}) {
        states += IsEnabled(dialog, id) ? '1' : '0';
    }
    return states;
}

std::string TextOf(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void StoreCloudSettings(int autoUpdate, std::uint32_t period, std::uint64_t lastUpdated) {
    StoreSettings([&](CSettings& settings) {
        settings.AutoUpdateClouds = autoUpdate;
        settings.CloudUpdateFreq = period;
        settings.CloudsLastUpdated = lastUpdated;
        settings.URLs = {kFirst, kSecond};
        settings.CenterOn = 15;
    });
}

using CloudDialogTest = DialogTest;

TEST_F(CloudDialogTest, ASessionOfListEditingConfirmed) {
    StoreCloudSettings(0, 48, kEarlierUpdate);
    CCloudDialog dialog(GetCurrentThreadId());
    HBITMAP shown = nullptr;
    const INT_PTR result = RunDriven(dialog, [&](HWND window) {
        // As opened: updates off, so every editing control is greyed out, the list shown all the
        // same; a stored period of 48 hours shows "3 hours".
        EXPECT_FALSE(IsChecked(window, IDC_UPDATE_CLOUDS));
        EXPECT_EQ(EditingEnabled(window), "0000000");
        EXPECT_THAT(Entries(window, IDC_MIRROR_LIST), ElementsAre(kFirst, kSecond));
        EXPECT_EQ(SelectedText(window, IDC_CLOUD_UPDATE_FREQ), "3 hours");
        EXPECT_EQ(SendDlgItemMessageA(window, IDC_CLOUD_UPDATE_FREQ, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(SendDlgItemMessageA(window, IDC_CLOUD_TAB, TCM_GETITEMCOUNT, 0, 0), 1);
        EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
        // The moment in local time, in the C locale's "%c" form: the time zone may move the hour,
        // never the seconds or, in March, the year.
        int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
        const std::string label = TextOf(window, IDC_LAST_UPDATED);
        EXPECT_EQ(std::sscanf(label.c_str(), "%2d/%2d/%2d %2d:%2d:%2d", &month, &day, &year, &hour, &minute,
                              &second),
                  6)
            << label;
        EXPECT_EQ(label.size(), 17u) << label;
        EXPECT_EQ(year, 7);
        EXPECT_EQ(second, 9);

        // The preview: the small map scaled to fit the picture control.
        RECT control = {};
        GetWindowRect(GetDlgItem(window, IDC_CLOUD_PREVIEW), &control);
        shown = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(window, IDC_CLOUD_PREVIEW, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP preview = {};
        ASSERT_NE(GetObjectA(shown, sizeof preview, &preview), 0);
        const int width = control.right - control.left;
        const int height = control.bottom - control.top;
        EXPECT_LE(preview.bmWidth, width);
        EXPECT_LE(preview.bmHeight, height);
        EXPECT_TRUE(preview.bmWidth >= width - 1 || preview.bmHeight >= height - 1)
            << preview.bmWidth << " x " << preview.bmHeight << " in " << width << " x " << height;
        EXPECT_NEAR(preview.bmWidth, 2 * preview.bmHeight, 1);
        KeepScreenshot(window, "cloud-dialog");

        // Ticked: Add waits for an address, Delete and the moves for a selection.
        Click(window, IDC_UPDATE_CLOUDS);
        EXPECT_EQ(EditingEnabled(window), "1110000");
        TypeText(window, IDC_MIRROR_ADDRESS, kTyped);
        EXPECT_EQ(EditingEnabled(window), "1111000");

        // The same address twice: both kept, the last one selected, which cannot go down.
        Click(window, IDC_ADD_MIRROR);
        Click(window, IDC_ADD_MIRROR);
        EXPECT_THAT(Entries(window, IDC_MIRROR_LIST), ElementsAre(kFirst, kSecond, kTyped, kTyped));
        EXPECT_EQ(SelectedIndex(window, IDC_MIRROR_LIST), 3);
        EXPECT_EQ(TextOf(window, IDC_MIRROR_ADDRESS), kTyped) << "the address box keeps its text";
        EXPECT_EQ(EditingEnabled(window), "1111110");

        // Up to the top, where it cannot go further up.
        for (int step = 0; step < 3; ++step) {
            Click(window, IDC_MOVE_MIRROR_UP);
        }
        EXPECT_THAT(Entries(window, IDC_MIRROR_LIST), ElementsAre(kTyped, kFirst, kSecond, kTyped));
        EXPECT_EQ(SelectedIndex(window, IDC_MIRROR_LIST), 0);
        EXPECT_EQ(EditingEnabled(window), "1111101");

        // The first stored mirror down to the end.
        Choose(window, IDC_MIRROR_LIST, 1);
        EXPECT_EQ(EditingEnabled(window), "1111111");
        Click(window, IDC_MOVE_MIRROR_DOWN);
        Click(window, IDC_MOVE_MIRROR_DOWN);
        EXPECT_THAT(Entries(window, IDC_MIRROR_LIST), ElementsAre(kTyped, kSecond, kTyped, kFirst));
        EXPECT_EQ(SelectedIndex(window, IDC_MIRROR_LIST), 3);
        EXPECT_EQ(EditingEnabled(window), "1111110");

        // Unticked, everything greys out again; ticked, it comes back as it was.
        Click(window, IDC_UPDATE_CLOUDS);
        EXPECT_EQ(EditingEnabled(window), "0000000");
        Click(window, IDC_UPDATE_CLOUDS);
        EXPECT_EQ(EditingEnabled(window), "1111110");

        // Delete leaves no selection.
        Choose(window, IDC_MIRROR_LIST, 1);
        Click(window, IDC_DELETE_MIRROR);
        EXPECT_THAT(Entries(window, IDC_MIRROR_LIST), ElementsAre(kTyped, kTyped, kFirst));
        EXPECT_EQ(SelectedIndex(window, IDC_MIRROR_LIST), -1);
        EXPECT_EQ(EditingEnabled(window), "1111000");

        // A download ends while the dialog is open.
        ASSERT_EQ(StoreCloudsLastUpdated(ProgramSettingsStore(), kUpdateMeanwhile), 1);
        EXPECT_EQ(AppliesPosted(), 0);
        ClickToClose(window, IDOK);
    });

    EXPECT_EQ(result, IDOK);
    const CSettings stored;
    EXPECT_THAT(stored.URLs, ElementsAre(kTyped, kTyped, kFirst));
    EXPECT_EQ(stored.AutoUpdateClouds, 1);
    EXPECT_EQ(stored.CloudUpdateFreq, 3u) << "the 48 hours shown as \"3 hours\"";
    EXPECT_EQ(stored.CloudsLastUpdated, kUpdateMeanwhile) << "OK keeps the newer moment";
    EXPECT_EQ(stored.CenterOn, 15);
    EXPECT_EQ(AppliesPosted(), 1);
    EXPECT_EQ(GetObjectType(shown), 0u) << "the preview's bitmap is deleted once the dialog has gone";

    // Opened again and again, each time with its preview, it leaves no GDI objects behind.
    ExpectGdiObjectsFlat("openings", 20, [&](int opening) {
        EXPECT_EQ(RunDriven(dialog, [](HWND window) { ClickToClose(window, IDCANCEL); }), IDCANCEL)
            << opening;
    });
}

TEST_F(CloudDialogTest, EveryMirrorDeletedCancelledThenConfirmed) {
    StoreCloudSettings(1, 12, 0);
    CCloudDialog dialog(GetCurrentThreadId());
    const auto deleteEverything = [](HWND window) {
        while (!Entries(window, IDC_MIRROR_LIST).empty()) {
            Choose(window, IDC_MIRROR_LIST, 0);
            Click(window, IDC_DELETE_MIRROR);
        }
        EXPECT_EQ(EditingEnabled(window), "1110000");
    };

    // Cancel after editing: nothing stored, nothing posted.
    EXPECT_EQ(RunDriven(dialog,
                        [&](HWND window) {
                            EXPECT_TRUE(IsChecked(window, IDC_UPDATE_CLOUDS));
                            EXPECT_EQ(SelectedText(window, IDC_CLOUD_UPDATE_FREQ), "12 hours");
                            EXPECT_EQ(TextOf(window, IDC_LAST_UPDATED), "Never");
                            deleteEverything(window);
                            Choose(window, IDC_CLOUD_UPDATE_FREQ, 3);
                            Click(window, IDC_UPDATE_CLOUDS);
                            ClickToClose(window, IDCANCEL);
                        }),
              IDCANCEL);
    const CSettings unchanged;
    EXPECT_THAT(unchanged.URLs, ElementsAre(kFirst, kSecond));
    EXPECT_EQ(unchanged.AutoUpdateClouds, 1);
    EXPECT_EQ(unchanged.CloudUpdateFreq, 12u);
    EXPECT_EQ(AppliesPosted(), 0);

    // OK stores the empty list, not the built-in one, and the period chosen.
    EXPECT_EQ(RunDriven(dialog,
                        [&](HWND window) {
                            deleteEverything(window);
                            Choose(window, IDC_CLOUD_UPDATE_FREQ, 3);
                            EXPECT_EQ(SelectedText(window, IDC_CLOUD_UPDATE_FREQ), "24 hours");
                            ClickToClose(window, IDOK);
                        }),
              IDOK);
    const CSettings emptied;
    EXPECT_THAT(emptied.URLs, IsEmpty());
    EXPECT_EQ(emptied.CloudUpdateFreq, 24u);
    EXPECT_EQ(emptied.CloudsLastUpdated, 0u) << "a time is stored only by a download";
    EXPECT_EQ(AppliesPosted(), 1);
}

}  // namespace

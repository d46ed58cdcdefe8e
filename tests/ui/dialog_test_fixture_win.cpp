#include "tests/ui/dialog_test_fixture_win.h"

#include <commctrl.h>

#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_support_win.h"

void DialogTest::SetUp() {
    DrainThreadQueue();
    folder_.CopyFromSource("data/clouds.jpg", kSeedCloudsFile);
    ASSERT_EQ(ScaleImageFile(kSeedCloudsFile, nullptr, kSmallCloudsWidth, kSmallCloudsHeight,
                             kSmallCloudsFile, false),
              1);
    const INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    applyPosts_.Map(WM_COMMAND, [this](WPARAM command, LPARAM) {
        if (command == ID_APPLY_SETTINGS) {
            ++appliesPosted_;
        }
    });
}

void DialogTest::TearDown() {
    RemoveStoredSettings();
    DrainThreadQueue();
}

int DialogTest::AppliesPosted() {
    MSG message;
    while (PeekMessageA(&message, reinterpret_cast<HWND>(-1), WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        appliesPosted_ += message.wParam == ID_APPLY_SETTINGS ? 1 : 0;
    }
    return appliesPosted_;
}

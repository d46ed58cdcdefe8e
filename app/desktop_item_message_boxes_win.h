// How the Active Desktop item speaks to the user in the running program: message boxes with the
// caption "Orbiscape" and no owner, and the hint dialog on enlarging a new item.
#pragma once

#include "output/desktop_item_prompts.h"

class DesktopItemMessageBoxes : public DesktopItemPrompts {
  public:
    void Tell(const char* text, Icon icon) override;
    bool AskYesNo(const char* text, Icon icon) override;
    void ShowEnlargeHint() override;
};

// What the Active Desktop item's operations tell the user and ask: the output layer decides when,
// the application how (message boxes with the program's caption, and its hint dialog). Tests
// answer in the application's place.
#pragma once

class DesktopItemPrompts {
  public:
    enum class Icon { kNone, kError, kInformation, kQuestion };

    DesktopItemPrompts() = default;
    virtual ~DesktopItemPrompts() = default;
    DesktopItemPrompts(const DesktopItemPrompts&) = delete;
    DesktopItemPrompts& operator=(const DesktopItemPrompts&) = delete;

    // A message with an OK button.
    virtual void Tell(const char* text, Icon icon) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const char* text, Icon icon) = 0;
    // The hint on how to enlarge the item just put on the desktop.
    virtual void ShowEnlargeHint() = 0;
};

#include "output/desktop_item_win.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "output/active_desktop_win.h"
#include "output/desktop_item.h"
#include "output/frame_path_win.h"
#include "output/wow64_win.h"

namespace {

using Icon = DesktopItemPrompts::Icon;

// The shell checks the size fields against the records it knows.
constexpr DWORD kComponentSize = 8976;
constexpr DWORD kComponentPositionSize = 44;
static_assert(sizeof(COMPONENT) == kComponentSize);
static_assert(sizeof(COMPPOS) == kComponentPositionSize);

// A shell that never reports the end of its list, or whose removals report success but leave
// the item in place, would keep an enumeration going for ever; no desktop holds this many.
constexpr int kMaxItemFetches = 10000;

// A zero-filled record that the shell may fill.
COMPONENT EmptyItem() {
    COMPONENT item{};
    item.dwSize = kComponentSize;
    return item;
}

// The item's source up to its terminator, never beyond the field, whatever the shell left there.
std::u16string_view SourceOf(const COMPONENT& item) {
    const auto* source = reinterpret_cast<const char16_t*>(item.wszSource);
    std::size_t length = 0;
    while (length < std::size(item.wszSource) && source[length] != u'\0') {
        ++length;
    }
    return std::u16string_view(source, length);
}

bool IsProgramsItem(const COMPONENT& item, std::u16string_view framePath) {
    return IsProgramItem(item.iComponentType, SourceOf(item), framePath);
}

// Copies text into a wide field of the record, cut to the field's size with its terminator.
template <std::size_t Size>
void CopyText(WCHAR (&field)[Size], std::u16string_view text) {
    const std::size_t length = std::min(text.size(), Size - 1);
    std::copy_n(text.begin(), length, reinterpret_cast<char16_t*>(field));
    field[length] = L'\0';
}

COMPONENT ToShellItem(const NewDesktopItem& fields) {
    COMPONENT item = EmptyItem();
    item.dwID = 0;
    item.iComponentType = fields.type;
    item.fChecked = fields.checked;
    item.fDirty = fields.dirty;
    item.fNoScroll = fields.noScroll;
    item.cpPos.dwSize = kComponentPositionSize;
    item.cpPos.iLeft = fields.left;
    item.cpPos.iTop = fields.top;
    item.cpPos.dwWidth = fields.width;
    item.cpPos.dwHeight = fields.height;
    item.cpPos.izIndex = fields.zIndex;
    item.cpPos.fCanResize = fields.canResize;
    item.cpPos.fCanResizeX = fields.canResizeX;
    item.cpPos.fCanResizeY = fields.canResizeY;
    item.cpPos.iPreferredLeftPercent = fields.preferredLeftPercent;
    item.cpPos.iPreferredTopPercent = fields.preferredTopPercent;
    CopyText(item.wszFriendlyName, fields.friendlyName);
    CopyText(item.wszSource, fields.source);
    CopyText(item.wszSubscribedURL, fields.subscribedUrl);
    item.dwCurItemState = fields.itemState;
    return item;
}

// Fetches the desktop's items into one record, from index 0 until the shell has no more, and
// hands each to `visit`, which answers whether to fetch the same index again (because the item
// there went away and the later ones moved up).
template <typename Visit>
void ForEachItem(IActiveDesktop& desktop, Visit visit) {
    COMPONENT item = EmptyItem();
    int index = 0;
    for (int fetches = 0; fetches < kMaxItemFetches && SUCCEEDED(desktop.GetDesktopItem(index, &item, 0));
         ++fetches) {
        if (!visit(item)) {
            ++index;
        }
    }
}

// One use of the shell for the item: COM on the thread and the object, both let go at the end.
// Empty (false) when the frame's path, COM or the object cannot be had.
class ItemSession {
  public:
    ItemSession() {
        if (IsWow64()) {
            return;
        }
        framePath_ = FrameFullPathWide();
        if (!framePath_) {
            return;
        }
        com_.emplace();
        if (*com_) {
            created_ = CreateActiveDesktop(desktop_);
        }
    }
    ItemSession(const ItemSession&) = delete;
    ItemSession& operator=(const ItemSession&) = delete;

    explicit operator bool() const { return static_cast<bool>(desktop_); }
    IActiveDesktop& Desktop() const { return *desktop_.Get(); }
    std::u16string_view FramePath() const { return *framePath_; }
    HRESULT Created() const { return created_; }

  private:
    std::optional<std::u16string> framePath_;
    std::optional<ComScope> com_;
    OwnedActiveDesktop desktop_;  // released before COM is uninitialised
    HRESULT created_ = E_FAIL;
};

struct ItemCount {
    int shown = 0;
    int hidden = 0;
};

// Re-sets the source of each of the program's shown items, so that the desktop reads the new
// frame; result becomes the last refresh's result.
ItemCount RefreshShownItems(const ItemSession& session, HRESULT& result) {
    ItemCount count;
    ForEachItem(session.Desktop(), [&](COMPONENT& item) {
        if (!IsProgramsItem(item, session.FramePath())) {
            return false;
        }
        if (item.fChecked) {
            result = session.Desktop().ModifyDesktopItem(&item, COMP_ELEM_SOURCE);
            // Shown even when the refresh failed: it is on the desktop, and neither a second
            // item nor the question whether to show it would be right.
            ++count.shown;
        } else {
            ++count.hidden;
        }
        return false;
    });
    return count;
}

void ShowHiddenItems(const ItemSession& session, HRESULT& result) {
    ForEachItem(session.Desktop(), [&](COMPONENT& item) {
        if (IsProgramsItem(item, session.FramePath()) && !item.fChecked) {
            item.fChecked = TRUE;
            result = session.Desktop().ModifyDesktopItem(&item, COMP_ELEM_CHECKED | COMP_ELEM_SOURCE);
        }
        return false;
    });
}

bool UserWantsHiddenItemsShown(DesktopItemPrompts& prompts) {
    return prompts.AskYesNo("The Orbiscape component is currently hidden. Would you like it to be displayed?",
                            Icon::kNone);
}

}  // namespace

bool EnsureActiveDesktopOn(DesktopItemPrompts& prompts) {
    if (IsWow64()) {
        return false;
    }
    const ComScope com;
    if (!com) {
        prompts.Tell("Could not initialize COM. This is not supposed to happen you know.", Icon::kError);
        return false;
    }
    OwnedActiveDesktop desktop;
    if (FAILED(CreateActiveDesktop(desktop))) {
        prompts.Tell("Could not access Active Deskop.", Icon::kError);
        return false;
    }
    COMPONENTSOPT options{};
    if (FAILED(ReadDesktopItemOptions(*desktop.Get(), options))) {
        prompts.Tell("Could not query Active Deskop component options.", Icon::kError);
        return false;
    }
    if (options.fActiveDesktop && options.fEnableComponents) {
        return true;
    }
    if (!prompts.AskYesNo(
            "Active Desktop is required for Orbiscape to function with the current configuration "
            "options.\n\nWould you like to enable Active Desktop?",
            Icon::kQuestion)) {
        return false;
    }
    options.fActiveDesktop = TRUE;
    options.fEnableComponents = TRUE;
    if (FAILED(desktop->SetDesktopItemOptions(&options, 0)) ||
        FAILED(desktop->ApplyChanges(AD_APPLY_ALL | AD_APPLY_FORCE))) {
        prompts.Tell("Could not enable Active Deskop.", Icon::kError);
        return false;
    }
    prompts.Tell("Active Desktop has been enabled.", Icon::kInformation);
    return true;
}

bool ShowDesktopItem(bool interactive, DesktopItemPrompts& prompts) {
    const ItemSession session;
    if (!session) {
        return false;
    }
    HRESULT result = session.Created();
    const ItemCount count = RefreshShownItems(session, result);
    // A timed pass only refreshes: it never puts an item on the desktop nor asks anything.
    if (interactive && count.shown == 0) {
        if (count.hidden == 0) {
            COMPONENT item = ToShellItem(NewProgramItem(session.FramePath()));
            result = session.Desktop().AddDesktopItem(&item, 0);
            if (FAILED(result)) {
                return false;
            }
            // Before the changes are applied, while the item is not yet drawn.
            prompts.ShowEnlargeHint();
        } else if (UserWantsHiddenItemsShown(prompts)) {
            ShowHiddenItems(session, result);
        }
    }
    if (SUCCEEDED(result)) {
        // A timed pass lets the desktop redraw off screen first, so that it does not flicker.
        result = session.Desktop().ApplyChanges(interactive ? AD_APPLY_ALL
                                                            : AD_APPLY_ALL | AD_APPLY_BUFFERED_REFRESH);
    }
    return SUCCEEDED(result);
}

void RemoveDesktopItems() {
    const ItemSession session;
    if (!session) {
        return;
    }
    ForEachItem(session.Desktop(), [&](COMPONENT& item) {
        return IsProgramsItem(item, session.FramePath()) &&
               SUCCEEDED(session.Desktop().RemoveDesktopItem(&item, 0));
    });
    session.Desktop().ApplyChanges(AD_APPLY_ALL);
}

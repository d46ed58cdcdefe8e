#include "stand_in_active_desktop_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <mutex>

namespace {

// Spelled out here rather than taken from the product, so that a wrong constant there shows.
// {75048700-EF1F-11D0-9888-006097DEACF9}
constexpr CLSID kActiveDesktopClass = {
    0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
// {F490EB00-1240-11D1-9888-006097DEACF9}
constexpr IID kActiveDesktopInterface = {
    0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

std::string Hex(DWORD value) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

void SetSource(COMPONENT& item, const std::u16string& source) {
    const std::size_t length = std::min(source.size(), std::size(item.wszSource) - 1);
    std::copy_n(source.begin(), length, reinterpret_cast<char16_t*>(item.wszSource));
    item.wszSource[length] = L'\0';
}

}  // namespace

std::u16string SourceOf(const COMPONENT& item) {
    const auto* source = reinterpret_cast<const char16_t*>(item.wszSource);
    return std::u16string(source, std::find(source, source + std::size(item.wszSource), u'\0'));
}

// The shared state, and the class object that COM hands CoCreateInstance to. It lives as long
// as the stand-in, which revokes it, so its own count is not kept.
struct StandInActiveDesktop::Shell : IClassFactory {
    mutable std::mutex mutex;
    COMPONENTSOPT options{sizeof(COMPONENTSOPT), TRUE, TRUE};
    std::vector<COMPONENT> items;
    DWORD nextId = 1;
    std::optional<COMPONENT> lastAdded;
    std::map<std::string, HRESULT> failing;
    bool keepItemsOnRemoval = false;
    std::vector<std::string> calls;
    int liveObjects = 0;

    // Records the call; the failure to answer with, if the test asked for one.
    std::optional<HRESULT> Record(const std::string& method, const std::string& details = "") {
        calls.push_back(details.empty() ? method : method + " " + details);
        const auto failure = failing.find(method);
        return failure != failing.end() ? std::optional(failure->second) : std::nullopt;
    }

    std::vector<COMPONENT>::iterator Find(DWORD id) {
        return std::find_if(items.begin(), items.end(),
                            [id](const COMPONENT& item) { return item.dwID == id; });
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

namespace {

// The COM object: one per creation, all sharing the shell's state.
class StandInObject final : public IActiveDesktop {
  public:
    explicit StandInObject(StandInActiveDesktop::Shell& shell) : shell_(shell) { ++shell_.liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == kActiveDesktopInterface) {
            *object = static_cast<IActiveDesktop*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            const std::lock_guard lock(shell_.mutex);
            --shell_.liveObjects;
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE ApplyChanges(DWORD flags) override {
        const std::lock_guard lock(shell_.mutex);
        return shell_.Record("ApplyChanges", Hex(flags)).value_or(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetDesktopItemOptions(LPCOMPONENTSOPT options, DWORD) override {
        const std::lock_guard lock(shell_.mutex);
        if (const auto failure = shell_.Record("GetDesktopItemOptions")) {
            return *failure;
        }
        if (options == nullptr || options->dwSize != sizeof(COMPONENTSOPT)) {
            return E_INVALIDARG;
        }
        *options = shell_.options;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDesktopItemOptions(LPCCOMPONENTSOPT options, DWORD) override {
        const std::lock_guard lock(shell_.mutex);
        const std::string flags = "components=" + std::to_string(options->fEnableComponents) +
                                  " active=" + std::to_string(options->fActiveDesktop);
        if (const auto failure = shell_.Record("SetDesktopItemOptions", flags)) {
            return *failure;
        }
        if (options->dwSize != sizeof(COMPONENTSOPT)) {
            return E_INVALIDARG;
        }
        shell_.options = *options;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddDesktopItem(LPCCOMPONENT item, DWORD) override {
        const std::lock_guard lock(shell_.mutex);
        shell_.lastAdded = *item;
        if (const auto failure = shell_.Record("AddDesktopItem")) {
            return *failure;
        }
        if (item->dwSize != sizeof(COMPONENT)) {
            return E_INVALIDARG;
        }
        shell_.items.push_back(*item);
        shell_.items.back().dwID = shell_.nextId++;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ModifyDesktopItem(LPCCOMPONENT item, DWORD flags) override {
        const std::lock_guard lock(shell_.mutex);
        if (const auto failure =
                shell_.Record("ModifyDesktopItem", std::to_string(item->dwID) + " " + Hex(flags))) {
            return *failure;
        }
        const auto stored = shell_.Find(item->dwID);
        if (stored == shell_.items.end() || item->dwSize != sizeof(COMPONENT)) {
            return E_INVALIDARG;
        }
        if (flags & COMP_ELEM_CHECKED) {
            stored->fChecked = item->fChecked;
        }
        if (flags & COMP_ELEM_SOURCE) {
            SetSource(*stored, SourceOf(*item));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveDesktopItem(LPCCOMPONENT item, DWORD) override {
        const std::lock_guard lock(shell_.mutex);
        if (const auto failure = shell_.Record("RemoveDesktopItem", std::to_string(item->dwID))) {
            return *failure;
        }
        const auto stored = shell_.Find(item->dwID);
        if (stored == shell_.items.end()) {
            return E_INVALIDARG;
        }
        if (!shell_.keepItemsOnRemoval) {
            shell_.items.erase(stored);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDesktopItem(int index, LPCOMPONENT item, DWORD) override {
        const std::lock_guard lock(shell_.mutex);
        if (const auto failure = shell_.Record("GetDesktopItem", std::to_string(index))) {
            return *failure;
        }
        if (item == nullptr || item->dwSize != sizeof(COMPONENT) || index < 0 ||
            index >= static_cast<int>(shell_.items.size())) {
            return E_INVALIDARG;
        }
        *item = shell_.items[index];
        return S_OK;
    }

    // The rest of the interface, which the program does not use.
    HRESULT STDMETHODCALLTYPE GetWallpaper(PWSTR, UINT, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE SetWallpaper(PCWSTR, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE SetWallpaperOptions(LPCWALLPAPEROPT, DWORD) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE GetPattern(PWSTR, UINT, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE SetPattern(PCWSTR, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE GetDesktopItemCount(int*, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override {
        return NotImplemented();
    }

  private:
    HRESULT NotImplemented() {
        const std::lock_guard lock(shell_.mutex);
        shell_.Record("NotImplemented");
        return E_NOTIMPL;
    }

    StandInActiveDesktop::Shell& shell_;
    ULONG references_ = 0;
};

}  // namespace

HRESULT StandInActiveDesktop::Shell::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    *object = nullptr;
    {
        const std::lock_guard lock(mutex);
        if (const auto failure = Record("CreateInstance")) {
            return *failure;
        }
    }
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* created = new StandInObject(*this);
    created->AddRef();
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

StandInActiveDesktop::StandInActiveDesktop() : shell_(std::make_unique<Shell>()) {
    const HRESULT registered = CoRegisterClassObject(kActiveDesktopClass, shell_.get(), CLSCTX_INPROC_SERVER,
                                                     REGCLS_MULTIPLEUSE, &registration_);
    EXPECT_EQ(registered, S_OK) << "COM must be initialised on the test thread";
}

StandInActiveDesktop::~StandInActiveDesktop() {
    if (registration_ != 0) {
        CoRevokeClassObject(registration_);
    }
    EXPECT_EQ(LiveObjects(), 0) << "every object made was released";
}

void StandInActiveDesktop::SetOptions(bool enableComponents, bool activeDesktop) {
    const std::lock_guard lock(shell_->mutex);
    shell_->options.fEnableComponents = enableComponents;
    shell_->options.fActiveDesktop = activeDesktop;
}

COMPONENTSOPT StandInActiveDesktop::Options() const {
    const std::lock_guard lock(shell_->mutex);
    return shell_->options;
}

DWORD StandInActiveDesktop::PutItem(const std::u16string& source, bool shown, int type) {
    const std::lock_guard lock(shell_->mutex);
    COMPONENT item{};
    item.dwSize = sizeof(COMPONENT);
    item.dwID = shell_->nextId++;
    item.iComponentType = type;
    item.fChecked = shown;
    SetSource(item, source);
    shell_->items.push_back(item);
    return item.dwID;
}

std::vector<COMPONENT> StandInActiveDesktop::Items() const {
    const std::lock_guard lock(shell_->mutex);
    return shell_->items;
}

std::optional<COMPONENT> StandInActiveDesktop::LastAdded() const {
    const std::lock_guard lock(shell_->mutex);
    return shell_->lastAdded;
}

void StandInActiveDesktop::Fail(const std::string& method, HRESULT result) {
    const std::lock_guard lock(shell_->mutex);
    shell_->failing[method] = result;
}

void StandInActiveDesktop::KeepItemsOnRemoval() {
    const std::lock_guard lock(shell_->mutex);
    shell_->keepItemsOnRemoval = true;
}

std::vector<std::string> StandInActiveDesktop::Calls() const {
    const std::lock_guard lock(shell_->mutex);
    return shell_->calls;
}

void StandInActiveDesktop::ClearCalls() {
    const std::lock_guard lock(shell_->mutex);
    shell_->calls.clear();
}

int StandInActiveDesktop::LiveObjects() const {
    const std::lock_guard lock(shell_->mutex);
    return shell_->liveObjects;
}

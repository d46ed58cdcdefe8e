#include "framework/controls_win.h"

namespace {

// A text whose length is asked first and then copied into a buffer of that length; `copy`
// returns how many characters it copied, or a negative value when there is no such text.
template <typename Copy>
std::string ReadText(LRESULT length, Copy copy) {
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = copy(text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

std::string CControl::GetWindowText() const {
    const HWND window = GetSafeHwnd();
    return ReadText(GetWindowTextLengthA(window),
                    [window](char* buffer, int size) { return ::GetWindowTextA(window, buffer, size); });
}

std::string CComboBox::GetLBText(int index) const {
    return ReadText(
        SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)), [&](char* buffer, int /*size*/) {
            return SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        });
}

HWND CComboBox::GetListWindow() const {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    return SendMessage(CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)) ? info.hwndList : nullptr;
}

std::string CListBox::GetText(int index) const {
    return ReadText(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)), [&](char* buffer, int /*size*/) {
        return SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    });
}

int CTabCtrl::InsertItem(int index, const char* text) const {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);  // read only, for an insertion
    return static_cast<int>(
        SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

#include "ui/separator_combo_box_win.h"

#include "framework/gdi_owners_win.h"
#include "ui/separator_lines.h"

namespace {

// Posted to the combo box itself while its list paints: draw the lines again once the painting
// is over. Combo boxes use no message of the application range.
constexpr UINT kRedrawSeparators = WM_APP + 0x3A1;

// How much taller the first separator makes the list's entries, to give the line room.
constexpr int kEntryHeightIncrease = 3;

}  // namespace

void CSeparatorComboBox::AddSeparator(int position) {
    if (separators_.empty()) {
        const int taller = GetItemHeight() + kEntryHeightIncrease;
        SetItemHeight(taller);
        if (GetItemHeight() != taller) {
            // The combo box passed the height on only to an owner-drawn list (so Wine does):
            // the list itself takes it.
            CListBox dropDown;
            if (dropDown.Attach(GetListWindow())) {
                dropDown.SetItemHeight(taller);
                dropDown.Detach();
            }
        }
    }
    separators_.push_back(position);
}

LRESULT CSeparatorComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORLISTBOX:
            if (list_.GetSafeHwnd() == nullptr) {
                list_.Attach(reinterpret_cast<HWND>(lParam));
            }
            DrawSeparators(reinterpret_cast<HDC>(wParam));
            RedrawSeparatorsAfterPainting();
            break;
        case kRedrawSeparators:
            redrawPosted_ = false;
            if (list_.GetSafeHwnd() != nullptr && IsWindowVisible(list_.GetSafeHwnd())) {
                const OwnedWindowDc dc(list_.GetSafeHwnd());
                DrawSeparators(dc.Get());
            }
            return 0;
        case WM_DESTROY:
            list_.Detach();
            break;
        default:
            break;
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

void CSeparatorComboBox::DrawSeparators(HDC dc) const {
    const OwnedPen pen(CreatePen(penStyle_, penWidth_, penColour_));
    const ScopedSelection selection(dc, pen.Get());
    if (!selection) {
        return;
    }
    for (const int entry : EntriesWithLines(separators_, list_.GetCount())) {
        RECT rect;
        if (list_.GetItemRect(entry, rect)) {
            const int y = rect.bottom - verticalOffset_;
            MoveToEx(dc, rect.left + horizontalMargin_, y, nullptr);
            LineTo(dc, rect.right - horizontalMargin_, y);
        }
    }
}

void CSeparatorComboBox::RedrawSeparatorsAfterPainting() {
    if (!redrawPosted_ && !separators_.empty()) {
        redrawPosted_ = PostMessage(kRedrawSeparators) != FALSE;
    }
}

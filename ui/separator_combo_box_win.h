// CSeparatorComboBox: a drop-down list that draws a thin dotted line under chosen entries of its
// open list, so that a long list reads as groups. The entries stay ordinary text entries with
// item data, and the combo box is not owner-drawn: the lines are drawn over the list's own
// painting. The open list asks the combo box for its colours each time it paints (the combo box
// receives WM_CTLCOLORLISTBOX), so the lines are drawn then, and once more as soon as that
// painting is over, since the list paints its entries after asking and would cover them.
//
// The combo box must be bound routed (CDialog::BindControl with routed set), so that its
// messages pass through this object.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/controls_win.h"

class CSeparatorComboBox : public CComboBox {
  public:
    // Adds a line under the entry at `position` (see separator_lines.h for negative positions).
    // The first line of a combo box makes every entry of its list 3 pixels taller.
    void AddSeparator(int position);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void DrawSeparators(HDC dc) const;
    void RedrawSeparatorsAfterPainting();

    CListBox list_;  // the open list, viewed from its first colour request on
    std::vector<int> separators_;
    bool redrawPosted_ = false;

    // Fixed at construction.
    const int horizontalMargin_ = 2;  // pixels left free at each end of a line
    const int verticalOffset_ = 2;    // the line's distance above the entry's bottom edge
    const int penWidth_ = 1;
    const int penStyle_ = PS_DOT;
    const COLORREF penColour_ = RGB(64, 64, 64);
};

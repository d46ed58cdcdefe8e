// The background of a tab control's panel, for the controls that stand on it. The labels of a
// dialog laid over a tab draw nothing behind their text (label_background_win.h), but check
// boxes, radio buttons, trackbars and pictures fill their rectangle with the brush their parent
// answers, the dialog's face colour unless told otherwise: grey boxes on a white panel. They are
// given the panel's own colour instead, read from the tab as it draws itself. Panels of today's
// themes are one flat colour; a panel that is not (a gradient) gets the colour of its middle.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "framework/gdi_owners_win.h"

class TabPanelBrush {
  public:
    TabPanelBrush() = default;
    TabPanelBrush(const TabPanelBrush&) = delete;
    TabPanelBrush& operator=(const TabPanelBrush&) = delete;

    // Reads the panel's colour and place from tab (its display area, without the tabs). A tab
    // that does not draw itself on request leaves the dialog's face colour, as before.
    void TakeFrom(HWND tab);

    // For WM_CTLCOLORSTATIC: for a control of one of the classes (compared without case) whose
    // rectangle lies on the panel, a transparent text background and the panel's brush; nullptr
    // for any other control, which keeps the dialog manager's colours. The brush stays this
    // object's.
    HBRUSH BrushFor(HDC dc, HWND control, std::initializer_list<const char*> classes) const;

    COLORREF Colour() const { return colour_; }

  private:
    HWND tab_ = nullptr;  // we don't own it
    COLORREF colour_ = 0;
    OwnedBrush brush_;
};

// Labels on a tab control: a dialog answers WM_CTLCOLORSTATIC for its plain text labels with a
// transparent background and the stock NULL_BRUSH, so that the labels show the tab's own
// background instead of the dialog's. Everything else that asks (check boxes and radio buttons,
// trackbars, pictures, right-aligned text...) is left to the caller: those on the tab's panel
// take its colour (tab_panel_brush_win.h).
#pragma once

#include <windows.h>

#include <initializer_list>

// For the control asking for its colours with `dc`: when it is a plain text label (its class is
// none of `leftAlone`, compared without case, and its style has none of the bits 0xE that mark
// right-aligned text, icons, rectangles, frames and pictures), makes the text background
// transparent and returns the NULL_BRUSH; otherwise returns nullptr, for the default colours.
HBRUSH TransparentLabelBrush(HDC dc, HWND control, std::initializer_list<const char*> leftAlone);

// One redraw of the desktop: the prepared sources are read, the frame for the present moment is
// rendered and written to "current.bmp", and desktop output shows it. Every failure ends the
// pass quietly; the desktop keeps showing the earlier "current.bmp" until the next pass.
#pragma once

#include "output/desktop_item_prompts.h"
#include "render/render_state.h"

// interactive is set when the user has just applied settings: desktop output may then ask
// questions, through prompts, and make its changes permanent.
void RenderAndPublish(RenderState& state, bool interactive, DesktopItemPrompts& prompts);

// The settings dialog's preview: a small picture of the Earth as it would look at a moment with
// the choices the dialog's controls show, before anything is stored. It is drawn by the same
// renderer as the desktop frame, from the small "%2.2d-512.jpg" sources (or a month's downloaded
// map in its small form, when the choices take it and it is there) and "clouds-512.bmp",
// at the size of the dialog's picture control, and written to "preview.bmp", which the dialog
// then shows (the window side, in the dialog).
#pragma once

#include <cstdint>

#include "ui/settings_choices.h"

// Draws the preview for `choices` at the moment (seconds since 1970 UTC), fitted to a picture
// control of width x height pixels, and writes it to "preview.bmp" in the current directory,
// replacing the earlier one in one step. True when the file was written; false when the day
// image cannot be loaded, the frame cannot be made or the file cannot be written, leaving the
// earlier "preview.bmp" as it was. A night or cloud layer that cannot be loaded is left out.
bool WritePreviewFile(const SettingsChoices& choices, int width, int height, std::int64_t utcSeconds);

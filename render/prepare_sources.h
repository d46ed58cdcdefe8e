// Keeping the prepared sources, "current-day.bmp", "current-night.bmp" and "current-clouds.bmp",
// at the output size, so that a redraw only has to compose them. Scaling the large sources is
// the costly step of a redraw; it runs only when forced (settings applied, screen size changed)
// or when the day image to show has changed, which with the month's image happens once a month.
#pragma once

#include <cstdint>
#include <string>

#include "render/render_state.h"

// Re-makes the prepared sources for the present moment unless force is false and the day image
// to show (the current UTC month's with DaytimeImage -1, else DaytimeImage) is the one in
// state.PreparedDayImage. Comparing a fixed day image's number with the month instead would
// re-scale all three large sources at every timed pass for nothing.
//
// The cloud source is made while state's cloud-file lock is held (see render_state.h).
//
// PreparedDayImage takes the number of the day image first, so a preparation that fails is not
// retried before the month changes or a forced pass comes. Each file is made on its own: one
// that cannot be made keeps its earlier content, and nothing is reported.
void PrepareSources(RenderState& state, bool force);

// The same for a given moment, in seconds since 1970-01-01 00:00:00 UTC.
void PrepareSourcesAt(std::int64_t utcSeconds, RenderState& state, bool force);

// One prepared source: sourceFile scaled for state's output shape (covering it when the crop flag
// is set, fitted into it otherwise) and written to preparedFile in one step. False when it could
// not be made; the earlier preparedFile then stays as it was. PrepareSources makes each file so,
// and the cloud download its new cloud source.
bool PrepareSourceFile(const std::string& sourceFile, const char* preparedFile, const RenderState& state);

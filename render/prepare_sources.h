// Keeping the prepared sources, "current-day.bmp", "current-night.bmp" and "current-clouds.bmp",
// at the output size, so that a redraw only has to compose them. Scaling the large sources is
// the costly step of a redraw; it runs only when forced (settings applied, screen size changed)
// or when the UTC month differs from the number of the day image last prepared.
#pragma once

#include <cstdint>

#include "render/render_state.h"

// Re-makes the prepared sources for the present moment unless force is false and the current
// UTC month equals state.PreparedDayImage. With a fixed day image whose number is not the
// current month that comparison never holds, so every pass re-makes them.
//
// PreparedDayImage takes the number of the day image first, so a preparation that fails is not
// retried before the month changes or a forced pass comes. Each file is made on its own: one
// that cannot be made keeps its earlier content, and nothing is reported.
void PrepareSources(RenderState& state, bool force);

// The same for a given moment, in seconds since 1970-01-01 00:00:00 UTC.
void PrepareSourcesAt(std::int64_t utcSeconds, RenderState& state, bool force);

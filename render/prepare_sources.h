// Keeping the prepared sources, "current-day.bmp", "current-night.bmp" and "current-clouds.bmp",
// for the output shape, so that a redraw only has to compose them. Scaling the large sources is
// the costly step of a redraw; it runs only when forced (settings applied, screen size changed,
// a month's downloaded map installed), when the day image to show has changed, which with the
// month's image happens once a month, when the sources were cut for a centre that is no longer
// the one to show (the time zone's, after the zone changed), and after a preparation that
// failed. Each source is scaled a band of
// rows at a time and keeps only the part of the map that frames show (prepared_source.h).
#pragma once

#include <cstdint>

#include "render/render_state.h"

// Re-makes the prepared sources for the present moment unless force is false, the day image to
// show (the current UTC month's with DaytimeImage -1, else DaytimeImage) is the one in
// state.PreparedDayImage and the centre is the one the sources were cut for. Comparing a fixed
// day image's number with the month instead would re-scale all three large sources at every
// timed pass for nothing.
//
// The cloud source is made while state's cloud-file lock is held (see render_state.h), and the
// cut of the sources is recorded in state under that lock.
//
// Returns true when every file it had to make was made (or none had to be); PreparedDayImage
// then takes the number of the day image. Each file is made on its own: one that cannot be made
// keeps its earlier content, and the others are made all the same. Then the result is false,
// the thread's last-error code holds the reason of the first failure, and PreparedDayImage is
// kNothingPrepared, so that the next pass tries again.
bool PrepareSources(RenderState& state, bool force);

// The same for a given moment, in seconds since 1970-01-01 00:00:00 UTC.
bool PrepareSourcesAt(std::int64_t utcSeconds, RenderState& state, bool force);

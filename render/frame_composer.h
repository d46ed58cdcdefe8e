// The fast heart of the day/night compositor. It gives, pixel for pixel, the result of the
// column-by-column algorithm (kept in the tests as the reference), but does each piece of work
// only as often as what it depends on changes:
//  - once per frame the sun at the moment, and a table of the cloud values after the factor;
//  - once per column the cosine of the hour angle, once per row the latitude's two terms, with
//    every expression in the reference's order of operations;
//  - per pixel one multiplication and one addition for the sine of the elevation. The sine alone
//    says day or night outside the twilight band, and a table gives the blend's shares inside
//    it; the arcsine is taken only for the sines the table cannot vouch for (daylight_code.h);
//  - rows are composed in memory order, from stored 32-bit rows, with the integer blends of
//    pixel_blend.h.
// The composer only reads its tables once prepared, so any number of threads may compose rows
// of one frame at once.
#pragma once

#include <cstdint>
#include <ctime>
#include <vector>

#include "render/solar_position.h"

// One row of each source, as stored 32-bit pixels (blue in the low byte, the fourth byte
// ignored) that cover every column of the frame. No alignment is assumed.
struct SourceRows {
    const std::uint8_t* day;
    const std::uint8_t* night;   // nullptr without a night image
    const std::uint8_t* clouds;  // nullptr without a cloud map
};

// What the composition of a frame needs to know besides its sources.
struct CompositionSettings {
    std::tm utc;  // the moment: zero-based month, years since 1900
    int width;    // of the frame: the day image's size
    int height;
    bool nightSide;          // false: the whole map is day and no elevation is needed
    bool darkenedDay;        // the night side from the day row at a quarter of its brightness
    int cloudFactor;         // 0 leaves the cloud values unchanged
    double centreLongitude;  // degrees; brought to the middle of the frame
};

class FrameComposer {
  public:
    // Computes the tables. False (with nothing else to undo) when memory for them runs out.
    bool Prepare(const CompositionSettings& settings);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Writes count stored pixels of the composed frame's row, from its column firstColumn on,
    // into out (count x 4 bytes; the fourth byte of each is 0). The composed frame is the map
    // shifted so that the centre longitude lies in the middle: its column a shows the map's
    // column (a + shift) modulo the width.
    void ComposeRow(int row, const SourceRows& sources, int firstColumn, int count, std::uint8_t* out) const;

  private:
    // The same for map columns sourceColumn .. sourceColumn + count - 1, with no wrap.
    void ComposeSpan(int row, const SourceRows& sources, int sourceColumn, int count,
                     std::uint8_t* out) const;
    template <bool kClouds, bool kNightSide, bool kDarkenedDay>
    void ComposeSpanOf(int row, const SourceRows& sources, int sourceColumn, int count,
                       std::uint8_t* out) const;

    int width_ = 0;
    int height_ = 0;
    int shift_ = 0;
    bool nightSide_ = false;
    bool darkenedDay_ = false;
    std::uint8_t cloudValues_[256] = {};        // the cloud value of a red channel, factor applied
    std::vector<double> cosHourAngles_;         // by map column
    std::vector<LatitudeTerms> latitudeTerms_;  // by row
};

// What the compositor does with a pixel follows from its day weight alone: full day, full night,
// or a twilight blend whose only inputs from the weight are its two integer shares. Those three
// outcomes and the shares fit one 16-bit code, and the code of a sine of the sun's elevation can
// be looked up instead of computed through the arcsine.
//
// The lookup table divides the sines of the twilight band into buckets. A bucket holds a code
// only when every sine in it, widened on each side, gives that code: the code is a non-decreasing
// function of the elevation (each floating-point step after the arcsine is monotone), so equal
// codes at the ends of an elevation range mean one code across it, and the widening (1e-9
// degrees of elevation, a hundredth of a bucket of sine) exceeds by many orders of magnitude the
// error of any C library's arcsine and of the bucket's index. Every other bucket says
// kExactDaylightCode: the caller computes the elevation exactly as the reference does.
#pragma once

#include <cstdint>
#include <vector>

#include "render/pixel_blend.h"

using DaylightCode = std::uint16_t;
constexpr DaylightCode kNightCode = 0;          // day weight 0
constexpr DaylightCode kExactDaylightCode = 1;  // the table cannot tell
constexpr DaylightCode kDayCode = 0xFFFF;       // day weight 1
// Anything else is a twilight code: the cloud brightness (16..254) in the high byte, the day
// share (0..254) in the low byte.

// Beyond these sines the elevation is certainly above 5 degrees (full day) or below -5 (full
// night). The bound is the sine of 5.01 degrees: 1.7e-4 beyond the sine of 5 degrees, more than
// a billion times the rounding error of the sine's two operations, of any C library's arcsine
// and of the conversion to degrees.
extern const double kTwilightSineBound;

// The code of a day weight, as DayWeight gives it.
DaylightCode DaylightCodeOf(double dayWeight);

inline TwilightShares SharesOfCode(DaylightCode code) {
    return {code >> 8, code & 0xFF};
}

class DaylightTable {
  public:
    // The table, made on first use (a few milliseconds), shared by every thread.
    static const DaylightTable& Shared();

    // The code of a sine strictly between -kTwilightSineBound and kTwilightSineBound, or
    // kExactDaylightCode.
    DaylightCode CodeOfSine(double sine) const {
        auto bucket = static_cast<std::ptrdiff_t>((sine + kTwilightSineBound) * bucketsPerSine_);
        bucket = bucket < 0 ? 0 : (bucket >= kBuckets ? kBuckets - 1 : bucket);
        return codes_[static_cast<std::size_t>(bucket)];
    }

  private:
    static constexpr std::ptrdiff_t kBuckets = 32768;

    DaylightTable();

    double bucketsPerSine_;
    std::vector<DaylightCode> codes_;
};

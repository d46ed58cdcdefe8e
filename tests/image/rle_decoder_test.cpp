#include "image/rle_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint8_t kGuard = 0xEE;
constexpr std::size_t kGuardBytes = 16;

// Rows to decode into, with guard bytes after them that no stream may touch.
class GuardedRows {
  public:
    GuardedRows(std::uint64_t width, std::uint64_t stride, std::uint64_t rowCount)
        : width_(width), stride_(stride), rowCount_(rowCount), bytes_(stride * rowCount + kGuardBytes, 0) {
        std::fill(bytes_.end() - kGuardBytes, bytes_.end(), kGuard);
    }

    RleRows Rows() { return {std::span(bytes_.data(), stride_ * rowCount_), stride_, width_, rowCount_}; }
    std::vector<std::uint8_t> StoredRow(std::uint64_t row) const {
        return std::vector<std::uint8_t>(bytes_.begin() + row * stride_,
                                         bytes_.begin() + (row + 1) * stride_);
    }
    bool GuardsIntact() const {
        return std::all_of(bytes_.end() - kGuardBytes, bytes_.end(),
                           [](std::uint8_t b) { return b == kGuard; });
    }
    bool AllZero() const {
        return std::all_of(bytes_.begin(), bytes_.end() - kGuardBytes, [](std::uint8_t b) { return b == 0; });
    }

  private:
    std::uint64_t width_, stride_, rowCount_;
    std::vector<std::uint8_t> bytes_;
};

using Bytes = std::vector<std::uint8_t>;

TEST(RleDecoderTest, Rle8RunsLiteralsLineEndsAndDeltas) {
    GuardedRows rows(4, 4, 3);
    const Bytes stream = {3, 7,              // run: three 7s
                          0, 0,              // end of line
                          0, 3, 1, 2, 3, 0,  // literal of three, padded to a word
                          0, 2, 0, 1,        // delta: one row up, same column
                          1, 9,              // run: one 9
                          0, 1};             // end of bitmap
    EXPECT_TRUE(DecodeRle(stream, kCompressionRle8, rows.Rows()));
    EXPECT_EQ(rows.StoredRow(0), (Bytes{7, 7, 7, 0}));
    EXPECT_EQ(rows.StoredRow(1), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(rows.StoredRow(2), (Bytes{0, 0, 0, 9}));
    EXPECT_TRUE(rows.GuardsIntact());
}

TEST(RleDecoderTest, Rle4RunsAlternateNibblesAndLiteralsArePacked) {
    GuardedRows rows(5, 4, 3);
    const Bytes stream = {5, 0x12,                       // 1 2 1 2 1
                          0, 0,                          //
                          0, 3,    0x34, 0x50,           // literal 3 4 5: two bytes, no padding
                          0, 0,                          //
                          0, 5,    0xAB, 0xCD, 0xE0, 0,  // literal of five: three bytes and a pad
                          0, 1};
    EXPECT_TRUE(DecodeRle(stream, kCompressionRle4, rows.Rows()));
    EXPECT_EQ(rows.StoredRow(0), (Bytes{0x12, 0x12, 0x10, 0}));
    EXPECT_EQ(rows.StoredRow(1), (Bytes{0x34, 0x50, 0, 0}));
    EXPECT_EQ(rows.StoredRow(2), (Bytes{0xAB, 0xCD, 0xE0, 0}));
}

TEST(RleDecoderTest, RunsAndLiteralsPastTheRowEndAreCutNotWrapped) {
    GuardedRows rows(4, 4, 2);
    EXPECT_TRUE(DecodeRle(Bytes{255, 5, 0, 1}, kCompressionRle8, rows.Rows()));
    EXPECT_EQ(rows.StoredRow(0), (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(rows.StoredRow(1), (Bytes{0, 0, 0, 0}));

    GuardedRows literal(3, 4, 1);
    EXPECT_TRUE(DecodeRle(Bytes{0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, kCompressionRle8, literal.Rows()));
    EXPECT_EQ(literal.StoredRow(0), (Bytes{1, 2, 3, 0}));

    GuardedRows nibbles(3, 4, 1);
    EXPECT_TRUE(DecodeRle(Bytes{200, 0xFF, 0, 1}, kCompressionRle4, nibbles.Rows()));
    EXPECT_EQ(nibbles.StoredRow(0), (Bytes{0xFF, 0xF0, 0, 0}));
    EXPECT_TRUE(nibbles.GuardsIntact());
}

TEST(RleDecoderTest, MovesPastTheLastRowWriteNothing) {
    GuardedRows rows(4, 4, 2);
    EXPECT_TRUE(DecodeRle(Bytes{0, 2, 255, 255, 4, 9, 0, 1}, kCompressionRle8, rows.Rows()));
    EXPECT_TRUE(rows.AllZero());

    GuardedRows afterLastLine(4, 4, 1);
    EXPECT_TRUE(DecodeRle(Bytes{0, 0, 4, 9, 0, 0, 0, 0, 4, 9, 0, 1}, kCompressionRle8, afterLastLine.Rows()));
    EXPECT_TRUE(afterLastLine.AllZero());
    EXPECT_TRUE(afterLastLine.GuardsIntact());

    // Many line ends and deltas: the position grows, the rows stay untouched.
    Bytes flood;
    for (int i = 0; i < 5000; ++i) {
        flood.insert(flood.end(), {0, 2, 255, 255, 0, 0, 255, 3});
    }
    GuardedRows flooded(4, 4, 3);
    EXPECT_FALSE(DecodeRle(flood, kCompressionRle8, flooded.Rows()));
    EXPECT_TRUE(flooded.AllZero());
    EXPECT_TRUE(flooded.GuardsIntact());
}

TEST(RleDecoderTest, RunsThatWouldFillThePictureManyTimesOverCostNoMoreThanTheirLength) {
    // Eight million runs of 255 pixels, 2 * 10^9 pixels in all, for a picture of 16 x 16: each
    // pixel beyond the picture would cost a step if runs were walked pixel by pixel, some seconds
    // here and minutes under the sanitizers. Bounded work decodes it in a blink.
    constexpr std::size_t kRuns = 8 * 1024 * 1024;
    Bytes flood;
    flood.reserve(2 * kRuns + 2);
    for (std::size_t i = 0; i < kRuns; ++i) {
        flood.push_back(255);
        flood.push_back(static_cast<std::uint8_t>(1 + i % 7));
        if (i % 4096 == 4095) {
            flood.insert(flood.end(), {0, 0});
        }
    }
    flood.insert(flood.end(), {0, 1});
    GuardedRows rows(16, 16, 16);
    EXPECT_TRUE(DecodeRle(flood, kCompressionRle8, rows.Rows()));
    // Each row is the first run after its line end, cut at the row's end.
    EXPECT_EQ(rows.StoredRow(0), Bytes(16, 1));
    EXPECT_EQ(rows.StoredRow(1), Bytes(16, 1 + 4096 % 7));
    EXPECT_TRUE(rows.GuardsIntact());

    Bytes nibbles(2 * kRuns, 255);
    GuardedRows small(3, 4, 1);
    EXPECT_FALSE(DecodeRle(nibbles, kCompressionRle4, small.Rows()));
    EXPECT_EQ(small.StoredRow(0), (Bytes{0xFF, 0xF0, 0, 0}));
}

TEST(RleDecoderTest, StreamsEndingEarlyKeepWhatTheyDecoded) {
    GuardedRows noEnd(4, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{2, 8}, kCompressionRle8, noEnd.Rows()));
    EXPECT_EQ(noEnd.StoredRow(0), (Bytes{8, 8, 0, 0}));

    GuardedRows cutLiteral(4, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{0, 6, 1, 2}, kCompressionRle8, cutLiteral.Rows()));
    EXPECT_EQ(cutLiteral.StoredRow(0), (Bytes{1, 2, 0, 0}));

    GuardedRows cutNibbles(6, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{0, 5, 0x12}, kCompressionRle4, cutNibbles.Rows()));
    EXPECT_EQ(cutNibbles.StoredRow(0), (Bytes{0x12, 0, 0, 0}));

    GuardedRows cutDelta(4, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{1, 3, 0, 2, 1}, kCompressionRle8, cutDelta.Rows()));
    EXPECT_EQ(cutDelta.StoredRow(0), (Bytes{3, 0, 0, 0}));

    GuardedRows oddByte(4, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{1, 3, 0}, kCompressionRle8, oddByte.Rows()));
    EXPECT_EQ(oddByte.StoredRow(0), (Bytes{3, 0, 0, 0}));

    GuardedRows empty(4, 4, 1);
    EXPECT_FALSE(DecodeRle(Bytes{}, kCompressionRle8, empty.Rows()));
    EXPECT_TRUE(empty.AllZero());
}

TEST(RleDecoderTest, RowsThatCannotHoldTheirPixelsAreRefusedUntouched) {
    std::vector<std::uint8_t> bytes(8, 0);
    const Bytes stream = {4, 1, 0, 1};
    // Stride too small for four 8-bit pixels.
    EXPECT_FALSE(DecodeRle(stream, kCompressionRle8, RleRows{std::span(bytes), 2, 4, 2}));
    // Fewer bytes than stride x rows.
    EXPECT_FALSE(DecodeRle(stream, kCompressionRle8, RleRows{std::span(bytes), 4, 4, 3}));
    EXPECT_FALSE(DecodeRle(stream, kCompressionRgb, RleRows{std::span(bytes), 4, 4, 2}));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
}

}  // namespace

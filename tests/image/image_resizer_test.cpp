#include "image/image_resizer.h"
#include "image/resize_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kWhiteFill = 0xFFFFFFFFu;

PixelBuffer RandomPicture(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    PixelBuffer picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    for (std::uint32_t& pixel : picture.pixels) {
        pixel = std::uint32_t(random());
    }
    return picture;
}

std::uint32_t ChannelOf(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

// The resizer's rules written out the plain way, as a reference: one column after the other,
// coordinates by repeated addition, every box walked pixel by pixel.
std::uint32_t LiteralSample(const PixelBuffer& src, double x, double y) {
    const int ix = int(x), iy = int(y);
    const double fx = x - ix, fy = y - iy;
    const int x1 = std::min(ix + 1, src.width - 1), y1 = std::min(iy + 1, src.height - 1);
    const std::uint32_t a = src.pixels[std::size_t(iy) * src.width + ix];
    const std::uint32_t b = src.pixels[std::size_t(iy) * src.width + x1];
    const std::uint32_t c = src.pixels[std::size_t(y1) * src.width + ix];
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = ChannelOf(a, shift), cb = ChannelOf(b, shift), cc = ChannelOf(c, shift);
        result |= std::uint32_t(int(0.5 * (fx * cb + (1 - fx) * ca + (1 - fy) * ca + fy * cc))) << shift;
    }
    return result;
}

std::vector<std::uint32_t> LiteralResize(const PixelBuffer& src, int dw, int dh, double f) {
    std::vector<std::uint32_t> dst(std::size_t(dw) * dh, kWhiteFill);
    const double s = 1.0 / f;
    if (f > 1) {
        double x = 0;
        for (int c = 0; c < dw; ++c) {
            double y = 0;
            for (int r = 0; r < dh; ++r) {
                dst[std::size_t(r) * dw + c] = LiteralSample(src, x, y);
                y += s;
            }
            x += s;
        }
        return dst;
    }
    double ax = -0.5 * s;
    int x0 = 0;
    for (int c = 0; c < dw; ++c) {
        ax += s;
        const int x1 = std::min(int(ax) + 1, src.width - 1);
        double ay = -0.5 * s;
        int previousEnd = -1;
        for (int r = 0; r < dh; ++r) {
            ay += s;
            const int y0 = previousEnd + 1;
            const int y1 = std::min(int(ay) + 1, src.height - 1);
            previousEnd = y1;
            if (y0 > y1 || x0 > x1) {
                continue;
            }
            std::uint64_t sums[3] = {};
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    for (int k = 0; k < 3; ++k) {
                        sums[k] += ChannelOf(src.pixels[std::size_t(y) * src.width + x], 8 * k);
                    }
                }
            }
            const std::uint64_t count = std::uint64_t(y1 - y0 + 1) * (x1 - x0 + 1);
            std::uint32_t& out = dst[std::size_t(r) * dw + c];
            out = (out & 0xFF000000u) | std::uint32_t(sums[0] / count) | std::uint32_t(sums[1] / count) << 8 |
                  std::uint32_t(sums[2] / count) << 16;
        }
        x0 = x1;
    }
    return dst;
}

// Runs the resizer the way the chain does: a destination of the computed size, filled white.
std::vector<std::uint32_t> Resize(const PixelBuffer& src, double factor, ImageSize* size = nullptr) {
    const CImageResizer resizer(factor);
    const ImageSize out = resizer.CalcDestSize(src.width, src.height);
    std::vector<std::uint32_t> dst(std::size_t(out.width) * out.height, kWhiteFill);
    EXPECT_EQ(resizer.ProcessPixels(src.pixels, src.width, src.height, dst, out.width, out.height), 1);
    if (size) {
        *size = out;
    }
    return dst;
}

TEST(CImageResizer, DestSizeTruncatesTheProducts) {
    EXPECT_EQ(CImageResizer(0.4).CalcDestSize(2560, 1280), (ImageSize{1024, 512}));
    EXPECT_EQ(CImageResizer(0.6).CalcDestSize(2560, 1280), (ImageSize{1536, 768}));
    EXPECT_EQ(CImageResizer(0.99).CalcDestSize(2560, 1280), (ImageSize{2534, 1267}));
    EXPECT_EQ(CImageResizer(1.25).CalcDestSize(2048, 1024), (ImageSize{2560, 1280}));
    EXPECT_EQ(CImageResizer(1.0).CalcDestSize(7, 3), (ImageSize{7, 3}));
}

TEST(CImageResizer, DestSizeOfAbsurdFactorsIsEmpty) {
    EXPECT_EQ(CImageResizer(1e12).CalcDestSize(2560, 1280), (ImageSize{0, 0}));
    EXPECT_EQ(CImageResizer(std::numeric_limits<double>::quiet_NaN()).CalcDestSize(4, 4), (ImageSize{0, 0}));
    EXPECT_EQ(CImageResizer(std::numeric_limits<double>::infinity()).CalcDestSize(4, 4), (ImageSize{0, 0}));
}

TEST(CImageResizer, FactorOneCopiesEveryByte) {
    const PixelBuffer src = RandomPicture(5, 3, 1);
    EXPECT_EQ(Resize(src, 1.0), src.pixels);
}

TEST(CImageResizer, ReduceByHalfAveragesTheDocumentedRanges) {
    // Columns share their boundary column; rows start one past the previous end.
    const PixelBuffer src = RandomPicture(7, 7, 2);
    ImageSize size;
    const std::vector<std::uint32_t> dst = Resize(src, 0.5, &size);
    ASSERT_EQ(size, (ImageSize{3, 3}));
    const int columnRanges[3][2] = {{0, 2}, {2, 4}, {4, 6}};
    const int rowRanges[3][2] = {{0, 2}, {3, 4}, {5, 6}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            std::uint32_t sums[3] = {}, count = 0;
            for (int y = rowRanges[r][0]; y <= rowRanges[r][1]; ++y) {
                for (int x = columnRanges[c][0]; x <= columnRanges[c][1]; ++x, ++count) {
                    for (int k = 0; k < 3; ++k) {
                        sums[k] += ChannelOf(src.pixels[y * 7 + x], 8 * k);
                    }
                }
            }
            const std::uint32_t expected =
                0xFF000000u | sums[0] / count | (sums[1] / count) << 8 | (sums[2] / count) << 16;
            EXPECT_EQ(dst[r * 3 + c], expected) << "column " << c << ", row " << r;
        }
    }
}

TEST(CImageResizer, ReduceLeavesTheBackgroundWhereTheLastRowRangeIsEmpty) {
    PixelBuffer src{4, 1280, std::vector<std::uint32_t>(4 * 1280, 0x00102030u)};
    ImageSize size;
    const std::vector<std::uint32_t> dst = Resize(src, 0.99, &size);
    ASSERT_EQ(size, (ImageSize{3, 1267}));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(dst[1265 * 3 + c], 0xFF102030u);  // the average, over the white fill's fourth byte
        EXPECT_EQ(dst[1266 * 3 + c], kWhiteFill);
    }
}

TEST(CImageResizer, ReduceOfUniformPictureIsUniform) {
    for (double factor : {0.9, 0.75, 0.5, 0.4, 1.0 / 3, 0.1}) {
        PixelBuffer src{50, 30, std::vector<std::uint32_t>(50 * 30, 0x00A0B0C0u)};
        ImageSize size;
        const std::vector<std::uint32_t> dst = Resize(src, factor, &size);
        for (int r = 0; r < size.height; ++r) {
            for (int c = 0; c < size.width; ++c) {
                const std::uint32_t pixel = dst[std::size_t(r) * size.width + c];
                // Only a last row may be left empty, and then it shows the background.
                if (r != size.height - 1 || pixel != kWhiteFill) {
                    ASSERT_EQ(pixel, 0xFFA0B0C0u) << "factor " << factor << " at " << c << "," << r;
                }
            }
        }
    }
}

TEST(CImageResizer, EnlargeByTwoInterpolatesTowardRightAndLowerNeighbours) {
    const std::uint32_t a = 0x00C80A64u, b = 0x0000FF14u, c = 0x00326400u, d = 0x00FFFFFFu;
    const PixelBuffer src{2, 2, {a, b, c, d}};
    ImageSize size;
    const std::vector<std::uint32_t> dst = Resize(src, 2.0, &size);
    ASSERT_EQ(size, (ImageSize{4, 4}));
    auto mix = [](std::uint32_t p, std::uint32_t q) {  // trunc(0.75 p + 0.25 q) per channel
        std::uint32_t result = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            result |= std::uint32_t(0.75 * ChannelOf(p, shift) + 0.25 * ChannelOf(q, shift)) << shift;
        }
        return result;
    };
    EXPECT_EQ(dst[0], a);          // on a source pixel, with a zero fourth byte
    EXPECT_EQ(dst[1], mix(a, b));  // (1, 0)
    EXPECT_EQ(dst[4], mix(a, c));  // (0, 1)
    EXPECT_EQ(dst[2], b);          // (2, 0) lies on b
    EXPECT_EQ(dst[3], b);          // past the last column the right neighbour is the pixel itself
    EXPECT_EQ(dst[15], d);         // the diagonal neighbour only shows where it is the pixel itself
}

TEST(CImageResizer, MatchesThePlainWalkPixelForPixel) {
    const PixelBuffer src = RandomPicture(97, 61, 3);
    for (double factor : {1.25, 1.6, 2.0, 3.0, 7.3, 0.99, 0.75, 0.6, 0.5, 0.4, 1.0 / 3, 0.07}) {
        ImageSize size;
        const std::vector<std::uint32_t> dst = Resize(src, factor, &size);
        EXPECT_EQ(dst, LiteralResize(src, size.width, size.height, factor)) << "factor " << factor;
    }
}

TEST(CImageResizer, RefusesFactorsThatAreNotPositiveNumbers) {
    const PixelBuffer src = RandomPicture(4, 4, 4);
    std::vector<std::uint32_t> dst(16, kWhiteFill);
    for (double factor :
         {0.0, -0.5, -2.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::denorm_min()}) {
        EXPECT_EQ(CImageResizer(factor).ProcessPixels(src.pixels, 4, 4, dst, 4, 4), 0) << factor;
    }
    EXPECT_EQ(dst, std::vector<std::uint32_t>(16, kWhiteFill));
}

TEST(CImageResizer, RefusesSizesItsBuffersDoNotHold) {
    const PixelBuffer src = RandomPicture(4, 4, 5);
    std::vector<std::uint32_t> dst(8, kWhiteFill);
    for (double factor : {0.5, 1.0, 2.0}) {
        const CImageResizer resizer(factor);
        EXPECT_EQ(resizer.ProcessPixels(src.pixels, 4, 4, dst, 3, 3), 0);   // destination too small
        EXPECT_EQ(resizer.ProcessPixels(src.pixels, 4, 5, dst, 2, 2), 0);   // source too small
        EXPECT_EQ(resizer.ProcessPixels(src.pixels, -4, 4, dst, 2, 2), 0);  // negative sizes
        EXPECT_EQ(resizer.ProcessPixels(src.pixels, 4, 4, dst, 2, -2), 0);
        EXPECT_EQ(resizer.ProcessPixels({}, 0, 0, dst, 2, 2), 0);  // nothing to sample
    }
    EXPECT_EQ(dst, std::vector<std::uint32_t>(8, kWhiteFill));
}

TEST(CImageResizer, OversizedDestinationStaysInsideTheSource) {
    // A destination larger than the factor gives must still read only source pixels (the
    // sanitizer build checks the reads); the extra pixels repeat the edge.
    const PixelBuffer src = RandomPicture(5, 4, 6);
    std::vector<std::uint32_t> dst(40 * 40, kWhiteFill);
    EXPECT_EQ(CImageResizer(2.0).ProcessPixels(src.pixels, 5, 4, dst, 40, 40), 1);
    EXPECT_EQ(dst[39 * 40 + 39], src.pixels[19] & 0xFFFFFFu);
    EXPECT_EQ(CImageResizer(0.5).ProcessPixels(src.pixels, 5, 4, dst, 40, 40), 1);
}

TEST(ResizePlan, MakesTheResizersPixelsRowByRowInAnyOrderAndAnyRunOfColumnsFromTheRowsItNames) {
    const PixelBuffer src = RandomPicture(97, 61, 7);
    for (double factor : {1.0, 1.25, 4.5, 7.3, 0.99, 0.8, 0.5, 0.07}) {
        SCOPED_TRACE(factor);
        ImageSize size;
        const std::vector<std::uint32_t> whole = Resize(src, factor, &size);
        std::optional<ResizePlan> plan = ResizePlan::Make(factor, {src.width, src.height}, size);
        ASSERT_TRUE(plan);
        // Bottom row first, each row made in two runs split somewhere inside it, from a copy of
        // only the source rows it names (the sanitizers catch a read beyond them).
        std::vector<std::uint32_t> rows(whole.size(), kWhiteFill);
        int previousFirst = src.height;
        for (int row = size.height - 1; row >= 0; --row) {
            const ResizePlan::RowSpan span = plan->SourceRowsOf(row);
            ASSERT_LE(span.last, src.height - 1);
            if (span.first > span.last) {
                continue;  // keeps the background, as the whole resize does
            }
            ASSERT_GE(span.first, 0);
            ASSERT_LE(span.first, previousFirst) << "the rows grow with the row";
            previousFirst = span.first;
            const std::vector<std::uint32_t> named(src.pixels.begin() + std::ptrdiff_t(span.first) * src.width,
                                                   src.pixels.begin() + std::ptrdiff_t(span.last + 1) * src.width);
            std::uint32_t* out = rows.data() + std::size_t(row) * size.width;
            const int split = (row * 7) % (size.width + 1);
            plan->MakeRow(named, span.first, row, split, size.width - split, out + split);
            plan->MakeRow(named, span.first, row, 0, split, out);
        }
        EXPECT_EQ(rows, whole);
    }
    // What the resizer refuses, a plan refuses too.
    for (double factor :
         {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min()}) {
        EXPECT_FALSE(ResizePlan::Make(factor, {4, 4}, {2, 2})) << factor;
    }
    EXPECT_FALSE(ResizePlan::Make(2.0, {0, 0}, {2, 2}));
    EXPECT_FALSE(ResizePlan::Make(1.0, {2, 2}, {3, 2}));  // a copy with more pixels than the source
}

}  // namespace

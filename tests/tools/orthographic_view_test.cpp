#include "tools/globe_icon/orthographic_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kTolerance = 1e-9;

void ExpectPlace(const std::optional<GeoPoint>& place, double latitude, double longitude) {
    ASSERT_TRUE(place);
    EXPECT_NEAR(place->latitude, latitude, kTolerance);
    EXPECT_NEAR(place->longitude, longitude, kTolerance);
}

TEST(OrthographicView, TheCentreShowsTheCentrePlace) {
    ExpectPlace(OrthographicView(20, 10).PlaceAt(0, 0), 20, 10);
    ExpectPlace(OrthographicView(-45, -120).PlaceAt(0, 0), -45, -120);
}

TEST(OrthographicView, EastIsRightAndNorthIsUp) {
    const OrthographicView equator(0, 0);
    ExpectPlace(equator.PlaceAt(1, 0), 0, 90);
    ExpectPlace(equator.PlaceAt(-1, 0), 0, -90);
    ExpectPlace(equator.PlaceAt(0, 1), 90, 0);
    ExpectPlace(equator.PlaceAt(0, -1), -90, 0);
    // Halfway to the edge is 30 degrees away: sin 30 = 1/2.
    ExpectPlace(equator.PlaceAt(0.5, 0), 0, 30);
    ExpectPlace(equator.PlaceAt(0, -0.5), -30, 0);
}

TEST(OrthographicView, ATiltedViewShowsThePoleInsideTheDiscAndWhatLiesBeyondIt) {
    const OrthographicView view(20, 10);
    const double poleHeight = std::cos(20 * std::numbers::pi / 180);
    const auto pole = view.PlaceAt(0, poleHeight);
    ASSERT_TRUE(pole);
    EXPECT_NEAR(pole->latitude, 90, 1e-6);  // every longitude meets there
    // The top of the disc lies beyond the pole, on the opposite meridian.
    ExpectPlace(view.PlaceAt(0, 1), 70, -170);
}

TEST(OrthographicView, LongitudesWrapAroundTheDateLine) {
    const auto place = OrthographicView(0, 170).PlaceAt(0.5, 0);
    ExpectPlace(place, 0, -160);
    const auto west = OrthographicView(0, -170).PlaceAt(-0.5, 0);
    ExpectPlace(west, 0, 160);
}

TEST(OrthographicView, LeftAndRightMirrorEachOtherAboutTheCentreMeridian) {
    const OrthographicView view(35, 0);
    for (const double x : {0.1, 0.4, 0.7, 0.95}) {
        const auto right = view.PlaceAt(x, 0.2);
        const auto left = view.PlaceAt(-x, 0.2);
        ASSERT_TRUE(right && left);
        EXPECT_NEAR(right->latitude, left->latitude, kTolerance);
        EXPECT_NEAR(right->longitude, -left->longitude, kTolerance);
    }
}

TEST(OrthographicView, NothingIsShownOutsideTheDisc) {
    const OrthographicView view(20, 10);
    EXPECT_FALSE(view.PlaceAt(1.0001, 0));
    EXPECT_FALSE(view.PlaceAt(0.8, 0.8));
    EXPECT_FALSE(view.PlaceAt(-1, -1));
    EXPECT_FALSE(view.PlaceAt(std::nan(""), 0));
    EXPECT_TRUE(view.PlaceAt(0.6, 0.8));  // on the edge
}

}  // namespace

#include "tools/globe_icon/orthographic_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

double WrapLongitude(double longitude) {
    const double wrapped = std::fmod(longitude + 180.0, 360.0);
    return (wrapped < 0 ? wrapped + 360.0 : wrapped) - 180.0;
}

}  // namespace

OrthographicView::OrthographicView(double centreLatitude, double centreLongitude)
    : centreLongitude_(centreLongitude),
      sinCentreLatitude_(std::sin(centreLatitude / kDegreesPerRadian)),
      cosCentreLatitude_(std::cos(centreLatitude / kDegreesPerRadian)) {}

std::optional<GeoPoint> OrthographicView::PlaceAt(double x, double y) const {
    const double distanceSquared = x * x + y * y;
    if (!(distanceSquared <= 1.0)) {
        return std::nullopt;
    }
    // The point on the unit sphere in view coordinates (x east, y north, z towards the viewer),
    // turned about the east axis so that the centre's latitude lies in the equator's plane.
    const double z = std::sqrt(1.0 - distanceSquared);
    const double north = y * cosCentreLatitude_ + z * sinCentreLatitude_;
    const double towardsCentreMeridian = z * cosCentreLatitude_ - y * sinCentreLatitude_;
    const double latitude = std::asin(std::clamp(north, -1.0, 1.0)) * kDegreesPerRadian;
    const double longitude = centreLongitude_ + std::atan2(x, towardsCentreMeridian) * kDegreesPerRadian;
    return GeoPoint{latitude, WrapLongitude(longitude)};
}

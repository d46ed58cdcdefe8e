// The Earth as seen from far away above one place: the orthographic projection, in which the
// visible hemisphere is a disc and every point of the disc shows the place straight behind it.
// The icon is drawn by asking, for each point of the disc, which place it shows.
#pragma once

#include <optional>

// A place in degrees: latitude -90 (south) to +90 (north), longitude -180 (west) up to but not
// including +180 (east).
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;
};

class OrthographicView {
  public:
    // The view from above (centreLatitude, centreLongitude), in degrees, north up.
    OrthographicView(double centreLatitude, double centreLongitude);

    // The place shown at (x, y) on a disc of radius 1 around the centre, x growing to the east
    // (right) and y to the north (up); nothing outside the disc.
    std::optional<GeoPoint> PlaceAt(double x, double y) const;

  private:
    double centreLongitude_;
    double sinCentreLatitude_;
    double cosCentreLatitude_;
};

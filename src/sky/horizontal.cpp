#include "sky/horizontal.h"

#include <cmath>

#include "sky/angles.h"

namespace skyvane {

Horizontal ToHorizontalCached(double row_ra, double sin_dec, double cos_dec, double sin_lat,
                              double cos_lat, double local_sidereal) {
  Horizontal out;
  out.HourAngle = local_sidereal - row_ra;
  if (out.HourAngle < 0) out.HourAngle += 360;
  const double H = out.HourAngle * kDegree;
  const double sin_H = std::sin(H);
  const double s = sin_dec * sin_lat + (cos_lat * cos_dec) * std::cos(H);
  // At the zenith or nadir the quotient has no value; rounding can also push
  // |s| a hair past 1, which must not turn into NaN.
  double h;
  if (s >= 1) {
    h = M_PI / 2;
  } else if (s <= -1) {
    h = -M_PI / 2;
  } else {
    h = std::atan(s / std::sqrt(-s * s + 1));
  }
  out.Altitude = h / kDegree;
  const double c = (sin_dec - sin_lat * std::sin(h)) / (cos_lat * std::cos(h));
  double A;
  if (c >= 1) {
    A = 0;  // due north of the observer
  } else if (c <= -1) {
    A = M_PI;  // due south: a source transiting south of the zenith stays south
  } else if (std::fabs(c) < 1) {
    A = std::atan(-c / std::sqrt(-c * c + 1)) + 2 * std::atan(1.0);
  } else {
    A = c;  // NaN in, NaN out
  }
  A /= kDegree;
  out.Azimuth = sin_H < 0 ? 360 - A : A;
  return out;
}

Horizontal ToHorizontal(double row_ra, double row_dec, double latitude, double local_sidereal) {
  const double dec = row_dec * kDegree;
  const double lat = latitude * kDegree;
  return ToHorizontalCached(row_ra, std::sin(dec), std::cos(dec), std::sin(lat), std::cos(lat),
                            local_sidereal);
}

}  // namespace skyvane

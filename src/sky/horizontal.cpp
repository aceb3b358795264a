// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/horizontal.h"

#include <algorithm>
#include <cmath>

#include "sky/angles.h"

namespace skyvane {
namespace {

// 2 arctan(1), pi/2 to full precision, as the azimuth formula writes it.
const double kQuarterTurn = 2 * std::atan(1.0);

}  // namespace

Horizontal ToHorizontalRows(const std::array<double, 2>* ra_dec, const double* sin_dec,
                            const double* cos_dec, int count, double sin_lat, double cos_lat,
                            double local_sidereal, std::array<double, 2>* az_alt) {
  constexpr int kBlock = 64;
  double hour_angle[kBlock], sin_H[kBlock], cos_H[kBlock], h[kBlock], sin_h[kBlock], cos_h[kBlock];
  Horizontal last{0, 0, 0};
  for (int start = 0; start < count; start += kBlock) {
    const int n = std::min(kBlock, count - start);
    for (int i = 0; i < n; ++i) {
      double ha = local_sidereal - ra_dec[start + i][0];
      if (ha < 0) ha += 360;
      hour_angle[i] = ha;
      const double H = ha * kDegree;
      sin_H[i] = std::sin(H);
      cos_H[i] = std::cos(H);
    }
    for (int i = 0; i < n; ++i) {
      const int r = start + i;
      // The sine of the altitude; at the zenith or nadir the quotient has no
      // value, and rounding can push |s| a hair past 1, which must not give NaN.
      const double s = sin_dec[r] * sin_lat + (cos_lat * cos_dec[r]) * cos_H[i];
      h[i] = s >= 1 ? M_PI / 2 : s <= -1 ? -M_PI / 2 : std::atan(s / std::sqrt(-s * s + 1));
    }
    for (int i = 0; i < n; ++i) {
      sin_h[i] = std::sin(h[i]);
      cos_h[i] = std::cos(h[i]);
    }
    for (int i = 0; i < n; ++i) {
      const int r = start + i;
      const double c = (sin_dec[r] - sin_lat * sin_h[i]) / (cos_lat * cos_h[i]);
      double A;
      if (c >= 1) {
        A = 0;  // due north
      } else if (c <= -1) {
        A = M_PI;  // due south: a source transiting south of the zenith stays south
      } else if (std::fabs(c) < 1) {
        A = std::atan(-c / std::sqrt(-c * c + 1)) + kQuarterTurn;
      } else {
        A = c;  // NaN in, NaN out
      }
      A /= kDegree;
      az_alt[r][0] = sin_H[i] < 0 ? 360 - A : A;
      az_alt[r][1] = h[i] / kDegree;
    }
  }
  if (count > 0) {
    last = {hour_angle[(count - 1) % kBlock], az_alt[count - 1][1], az_alt[count - 1][0]};
  }
  return last;
}

Horizontal ToHorizontalCached(double row_ra, double sin_dec, double cos_dec, double sin_lat,
                              double cos_lat, double local_sidereal) {
  const std::array<double, 2> ra_dec{row_ra, 0};
  std::array<double, 2> az_alt;
  return ToHorizontalRows(&ra_dec, &sin_dec, &cos_dec, 1, sin_lat, cos_lat, local_sidereal,
                          &az_alt);
}

Horizontal ToHorizontal(double row_ra, double row_dec, double latitude, double local_sidereal) {
  const double dec = row_dec * kDegree;
  const double lat = latitude * kDegree;
  return ToHorizontalCached(row_ra, std::sin(dec), std::cos(dec), std::sin(lat), std::cos(lat),
                            local_sidereal);
}

std::vector<double> BearingsAhead(double ra, double dec, double latitude, double local_sidereal,
                                  double min_altitude, double step_minutes, double hours) {
  std::vector<double> bearings;
  if (!(step_minutes > 0) || !(hours >= 0)) return bearings;
  const int steps = static_cast<int>(std::min(hours * 60 / step_minutes, 100000.0));
  for (int i = 0; i <= steps; ++i) {
    const double lst = local_sidereal + i * step_minutes / 60 * kSiderealRate;
    const Horizontal h = ToHorizontal(ra, dec, latitude, std::fmod(lst, 360.0));
    if (i > 0 && !(h.Altitude >= min_altitude)) break;
    double bearing = std::fmod(360 - h.Azimuth, 360.0);
    if (bearing < 0) bearing += 360;
    bearings.push_back(bearing);
  }
  return bearings;
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/sun.h"

#include <cmath>

#include "sky/angles.h"

namespace skyvane {

SunPosition ComputeSunPosition(double day_number) {
  // The mean elements below count days from 1999 December 31, 0h UT, a day and
  // a half before the epoch of the day number.
  const double d = day_number + 1.5;
  const double ecl = 23.4393 - 3.563e-7 * d;
  const double w = 282.9404 + 4.70935e-5 * d;
  const double e = 0.016709 - 1.151e-9 * d;
  const double M = Wrap360(356.047 + 0.9856002585 * d);
  const double E = M + e * std::sin(M * kDegree) * (1 + e * std::cos(M * kDegree)) / kDegree;
  const double xv = std::cos(E * kDegree) - e;
  const double yv = std::sqrt(1 - e * e) * std::sin(E * kDegree);
  const double v = Atan2(yv, xv) / kDegree;
  const double r = std::sqrt(yv * yv + xv * xv);
  const double lon = w + v;
  const double x = r * std::cos(lon * kDegree);
  const double y = r * std::sin(lon * kDegree);
  const double yeq = std::cos(ecl * kDegree) * y;
  const double zeq = std::sin(ecl * kDegree) * y;
  SunPosition out;
  out.Ra = Wrap360(Atan2(yeq, x) / kDegree);
  out.Dec = Wrap360(Atan2(zeq, std::sqrt(x * x + yeq * yeq)) / kDegree);
  out.Distance = r;
  out.Longitude = lon;
  return out;
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/angles.h"

#include <cmath>
#include <limits>

namespace skyvane {

double Wrap360(double a) {
  if (!std::isfinite(a)) return std::numeric_limits<double>::quiet_NaN();
  // Far from the circle, stepping 360 at a time would take forever (or never
  // move a at all); the remainder is exactly what the steps would reach.
  if (std::fabs(a) > 1e9) a = std::fmod(a, 360.0);
  do {
    if (a < 0) a += 360;
    if (a >= 360) a -= 360;
  } while (!(a >= 0 && a < 360));
  return a;
}

double Atan2(double y, double x) {
  if (std::fabs(x) < 1e-7) {
    if (std::fabs(y) < 1e-7) return 0;
    return y > 0 ? 1.5707963267949 : -1.5707963267949;
  }
  double r = std::atan(y / x);
  if (x < 0) r = y < 0 ? r - 3.14159265358979 : r + 3.14159265358979;
  return r;
}

}  // namespace skyvane

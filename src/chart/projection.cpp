// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/projection.h"

#include <cmath>

#include "base/numbers.h"

namespace skyvane {

bool ProjectSkyPoint(double azimuth, double altitude, double half_width, double horizon_y,
                     double& sx, double& sy) {
  const double A = azimuth * kDegree;
  const double H = altitude * kDegree;
  const double X = std::cos(H) * std::sin(A);
  const double Z = std::sin(H);
  const double Y = std::cos(H) * std::cos(A);
  if (Y == -1) return false;
  const double u = -X / (Y + 1);
  const double v = -Z / (Y + 1);
  sx = (u + 1) * half_width;
  sy = (v + 1) * horizon_y;
  return true;
}

}  // namespace skyvane

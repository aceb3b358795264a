// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/projection.h"

#include <algorithm>
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

double CentreColumnAltitude(double y, double horizon_y) {
  // The projection's centre column: v = -tan(altitude / 2).
  return 2 * std::atan(1 - y / horizon_y) / kDegree;
}

void OffsetSkyPoint(double azimuth, double altitude, double radius, double bearing,
                    double& out_azimuth, double& out_altitude) {
  const double h = altitude * kDegree, r = radius * kDegree, b = bearing * kDegree;
  const double sin_out = std::sin(h) * std::cos(r) + std::cos(h) * std::sin(r) * std::cos(b);
  const double out = std::asin(std::clamp(sin_out, -1.0, 1.0));
  out_altitude = out / kDegree;
  out_azimuth = azimuth + std::atan2(std::sin(b) * std::sin(r) * std::cos(h),
                                     std::cos(r) - std::sin(h) * sin_out) /
                              kDegree;
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// The stereographic dome projection shared by the discs and the annotations.
#pragma once

namespace skyvane {

// Projects an azimuth (view azimuth already added) and altitude, degrees, to
// chart pixels. False for the one point that has no image: straight behind
// the observer on the horizon.
bool ProjectSkyPoint(double azimuth, double altitude, double half_width, double horizon_y,
                     double& sx, double& sy);

// The altitude (degrees) of a point of the chart's centre column `y` pixels
// from the top: 90 at the top edge, 0 on the horizon line.
double CentreColumnAltitude(double y, double horizon_y);

// The point `radius` degrees from (`azimuth`, `altitude`) in the direction
// `bearing` (degrees, 0 towards the zenith, 90 towards growing azimuth), as
// its azimuth and altitude. Any azimuth convention; degrees throughout.
void OffsetSkyPoint(double azimuth, double altitude, double radius, double bearing,
                    double& out_azimuth, double& out_altitude);

}  // namespace skyvane

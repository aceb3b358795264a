// SPDX-License-Identifier: GPL-3.0-or-later
// The stereographic dome projection shared by the discs and the annotations.
#pragma once

namespace skyvane {

// Projects an azimuth (view azimuth already added) and altitude, degrees, to
// chart pixels. False for the one point that has no image: straight behind
// the observer on the horizon.
bool ProjectSkyPoint(double azimuth, double altitude, double half_width, double horizon_y,
                     double& sx, double& sy);

}  // namespace skyvane

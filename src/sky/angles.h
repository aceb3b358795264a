// SPDX-License-Identifier: GPL-3.0-or-later
// Angle helpers shared by the sky arithmetic and the chart.
#pragma once

#include "base/numbers.h"

namespace skyvane {

// Brings an angle into 0 <= a < 360 by single steps of 360. A value that is
// not finite has no place on the circle and comes back as NaN.
double Wrap360(double a);

// Two-argument arc tangent in radians with the program's own constants.
double Atan2(double y, double x);

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// The Sun's place from its mean orbital elements.
#pragma once

namespace skyvane {

struct SunPosition {
  double Ra;         // degrees, 0..360
  double Dec;        // degrees, wrapped into 0..360 (southern values as 360 + value)
  double Distance;   // astronomical units
  double Longitude;  // ecliptic longitude, degrees, not wrapped
};

// `day_number` counts days from J2000.0 (2000 January 1, 12h UT).
SunPosition ComputeSunPosition(double day_number);

}  // namespace skyvane

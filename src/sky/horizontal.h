// SPDX-License-Identifier: GPL-3.0-or-later
// Equatorial to horizontal coordinates for one position.
#pragma once

#include <array>
#include <vector>

namespace skyvane {

struct Horizontal {
  double HourAngle;  // degrees, 0..360, growing westwards
  double Altitude;   // degrees above the horizon
  double Azimuth;    // degrees from north towards the west
};

// All angles in degrees.
Horizontal ToHorizontal(double row_ra, double row_dec, double latitude, double local_sidereal);

// The same conversion with the sines and cosines of the declination and the
// latitude already taken (sin and cos of value * kDegree); the result is
// bit-for-bit that of ToHorizontal.
Horizontal ToHorizontalCached(double row_ra, double sin_dec, double cos_dec, double sin_lat,
                              double cos_lat, double local_sidereal);

// Converts `count` rows at once, with exactly the arithmetic of
// ToHorizontalCached; the work is done in stages over blocks of rows so that
// the processor can overlap the rows' long chains of dependent operations.
// The last row's result is returned.
// `ra_dec` holds right ascension and declination per row, `az_alt` receives
// azimuth and altitude.
Horizontal ToHorizontalRows(const std::array<double, 2>* ra_dec, const double* sin_dec,
                            const double* cos_dec, int count, double sin_lat, double cos_lat,
                            double local_sidereal, std::array<double, 2>* az_alt);

// Sidereal degrees per hour of time.
inline constexpr double kSiderealRate = 15.0410686;

// A source's path across the sky from sidereal time `local_sidereal` on:
// its compass bearings (north 0, east 90) every `step_minutes` of time,
// the first for now, for as long as it stays at or above `min_altitude` and
// `hours` at most. Angles in degrees.
std::vector<double> BearingsAhead(double ra, double dec, double latitude, double local_sidereal,
                                  double min_altitude, double step_minutes, double hours);

}  // namespace skyvane

// Equatorial to horizontal coordinates for one position.
#pragma once

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

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// Numeric helpers every layer shares.
#pragma once

#include <cmath>

namespace skyvane {

// Degrees to radians: the program's 14-digit value of pi/180, kept as is so
// that every position agrees with the published tables.
inline constexpr double kDegree = 0.01745329251994;

// Nearest whole number, halves to the even neighbour.
inline double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

// Whether a whole number fits a 16-bit signed integer.
inline bool Fits16(double value) {
  return value >= -32768.0 && value <= 32767.0;
}

}  // namespace skyvane

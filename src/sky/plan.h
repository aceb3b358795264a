// SPDX-License-Identifier: GPL-3.0-or-later
// Planning a day of observing: when each source rises, transits and sets,
// how long it stays above the antenna's lowest elevation, and which sources
// drift through the beam of a dish that stays where it is. Computed with
// the pass's own arithmetic, so that the times agree with the chart.
#pragma once

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace skyvane {

// The pass's sidereal degrees per hour of time: its sidereal time grows by
// 0.985647 degrees a day on top of 15 degrees an hour.
inline constexpr double kPassSiderealRate = 15 + 0.985647 / 24;

// Hours a plan covers.
inline constexpr double kPlanHours = 24;

// Where and when the day begins.
struct PlanStart {
  double Latitude = 0;       // degrees, north positive
  double LocalSidereal = 0;  // the pass's local sidereal time at the start, degrees
  double DayNumber = 0;      // the pass's days since J2000.0 at the start (UT)
};

// Why a plan cannot be made for a place, or empty when it can.
std::string PlanProblem(double latitude);

inline constexpr double kNoTime = std::numeric_limits<double>::quiet_NaN();

// A source's day. Times are hours from the start, the first of each kind in
// the plan's 24 hours, or kNoTime when there is none.
struct SourceDay {
  enum Visibility { kRisesAndSets, kAlwaysUp, kNeverUp };
  Visibility Up = kRisesAndSets;
  double Rise = kNoTime, Set = kNoTime;
  double Transit = kNoTime;    // upper culmination; none at a pole, where nothing moves in altitude
  double TransitAltitude = 0;  // degrees
  double AltitudeAtStart = 0;  // degrees
  double HoursAboveMinimum = 0;  // within the 24 hours
  // Whether it stands at or above the minimum elevation within the day.
  bool ReachesMinimum = false;
};

// The day of a source that keeps its right ascension and declination
// (degrees) all day. The minimum altitude bears only on the time above it.
SourceDay DayOf(double ra, double dec, const PlanStart& start, double min_altitude = 0);

// The Sun's day, its place taken for the time of each event.
SourceDay SunDay(const PlanStart& start, double min_altitude = 0);

// The Sun's right ascension and declination (declination -90..90) for the
// pass's day number.
std::array<double, 2> SunPlace(double day_number);

// The half-power beam width in degrees of a dish `diameter` metres across at
// `frequency` MHz: 70 wavelengths per diameter. Nothing for a size or a
// frequency that is not positive and finite, or a width of 180 degrees or more.
std::optional<double> BeamWidth(double diameter, double frequency);

// A dish fixed at compass `azimuth` (north 0, east 90) and `altitude`,
// degrees, as an hour angle (degrees, growing westwards) and a declination.
std::array<double, 2> FixedBeam(double azimuth, double altitude, double latitude);

// A source's passage through a fixed beam of width `beam_width` (degrees):
// the time of its closest approach to the beam's centre (hours from the
// start), the separation then (degrees) and the hours it spends within the
// half-power circle. Nothing when it never comes within the circle.
struct Drift {
  double Closest = 0, Separation = 0, Crossing = 0;
};
std::optional<Drift> DriftOf(double ra, double dec, const PlanStart& start,
                             const std::array<double, 2>& beam, double beam_width);

// The Sun's passage, its place taken for the time of closest approach.
std::optional<Drift> SunDrift(const PlanStart& start, const std::array<double, 2>& beam,
                              double beam_width);

}  // namespace skyvane

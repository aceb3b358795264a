// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/plan.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>

#include "base/numbers.h"
#include "sky/angles.h"
#include "sky/sun.h"

namespace skyvane {
namespace {

// Below this cosine of the latitude the observer stands on a pole: every
// source keeps its altitude all day.
constexpr double kPoleCosine = 1e-9;

// Hours from the start until the hour angle, `at_start` then and growing
// `rate` degrees an hour, first reaches `target` (degrees).
double HoursUntil(double at_start, double target, double rate) {
  return Wrap360(target - at_start) / rate;
}

// The hour angle (degrees, 0..180) at which a source stands at `altitude`,
// 180 when it is never lower, -1 when it never reaches it. One that only
// touches `altitude` does reach it, as a source on the horizon is up.
double HourAngleAt(double altitude, double sin_dec, double cos_dec, double sin_lat,
                   double cos_lat) {
  const double c = (std::sin(altitude * kDegree) - sin_dec * sin_lat) / (cos_dec * cos_lat);
  if (c <= -1) return 180;
  if (!(c <= 1)) return -1;
  return std::acos(c) / kDegree;
}

// Reworks the time in `field` with the Sun placed where it is at that time:
// a day's move of a degree, taken at most half a day off, errs by some two
// minutes, and once reworked by well under a second.
template <typename Result, typename Compute>
void Refine(Result& result, double Result::*field, Compute compute) {
  if (result.*field > 0) result.*field = compute(result.*field).*field;
}

}  // namespace

std::string PlanProblem(double latitude) {
  if (!(std::fabs(latitude) <= 90)) {
    return "The latitude must lie between -90 and +90 degrees.";
  }
  return {};
}

namespace {

// The day of a source whose hour angle grows `rate` degrees an hour.
SourceDay DayAtRate(double ra, double dec, const PlanStart& start, double min_altitude,
                    double rate) {
  SourceDay day;
  const double sin_dec = std::sin(dec * kDegree), cos_dec = std::cos(dec * kDegree);
  const double sin_lat = std::sin(start.Latitude * kDegree);
  const double cos_lat = std::cos(start.Latitude * kDegree);
  const double top = std::clamp(sin_dec * sin_lat + cos_dec * cos_lat, -1.0, 1.0);
  day.TransitAltitude = std::asin(top) / kDegree;
  const double at_start = Wrap360(start.LocalSidereal - ra);
  const double now = sin_dec * sin_lat + cos_dec * cos_lat * std::cos(at_start * kDegree);
  day.AltitudeAtStart = std::asin(std::clamp(now, -1.0, 1.0)) / kDegree;
  if (std::fabs(cos_lat) < kPoleCosine) {
    // On a pole the altitude is the declination's, for ever.
    const bool up = day.TransitAltitude >= 0;
    day.Up = up ? SourceDay::kAlwaysUp : SourceDay::kNeverUp;
    const bool high = day.TransitAltitude >= min_altitude;
    day.HoursAboveMinimum = high ? kPlanHours : 0;
    day.ReachesMinimum = high;
    return day;
  }
  auto until = [&](double target) { return HoursUntil(at_start, target, rate); };
  day.Transit = until(0);

  const double horizon = HourAngleAt(0, sin_dec, cos_dec, sin_lat, cos_lat);
  if (horizon >= 180) {
    day.Up = SourceDay::kAlwaysUp;
  } else if (horizon < 0) {
    day.Up = SourceDay::kNeverUp;
  } else {
    day.Rise = until(360 - horizon);
    day.Set = until(horizon);
  }

  const double high = HourAngleAt(min_altitude, sin_dec, cos_dec, sin_lat, cos_lat);
  if (high >= 180) {
    day.HoursAboveMinimum = kPlanHours;
  } else if (high >= 0) {
    // Above the minimum for `half` hours either side of each transit.
    const double half = high / rate;
    const double period = 360 / rate;  // from one transit to the next
    for (const double centre : {day.Transit - period, day.Transit, day.Transit + period}) {
      const double from = std::max(centre - half, 0.0);
      const double to = std::min(centre + half, kPlanHours);
      if (to > from) day.HoursAboveMinimum += to - from;
    }
  }
  day.ReachesMinimum = day.HoursAboveMinimum > 0;
  return day;
}

}  // namespace

SourceDay DayOf(double ra, double dec, const PlanStart& start, double min_altitude) {
  return DayAtRate(ra, dec, start, min_altitude, kPassSiderealRate);
}

std::array<double, 2> SunPlace(double day_number) {
  const SunPosition sun = ComputeSunPosition(day_number);
  return {sun.Ra, sun.Dec > 180 ? sun.Dec - 360 : sun.Dec};
}

SourceDay SunDay(const PlanStart& start, double min_altitude) {
  auto at = [&](double hours) {
    const double day_number = start.DayNumber + hours / 24;
    const auto place = SunPlace(day_number);
    // The Sun's hour angle grows more slowly than the stars': its right
    // ascension grows about a degree a day.
    // Taken where it stands `hours` on, it is placed at the start as if it
    // had moved steadily since.
    const double moves = std::remainder(SunPlace(day_number + 1)[0] - place[0], 360.0) / 24;
    PlanStart shifted = start;
    shifted.LocalSidereal += moves * hours;
    return DayAtRate(place[0], place[1], shifted, min_altitude, kPassSiderealRate - moves);
  };
  SourceDay day = at(kPlanHours / 2);
  if (std::isfinite(day.Transit)) day = at(day.Transit);
  // The Sun moves about a degree a day: each event is worked out again with
  // the Sun where it stands at that event.
  Refine(day, &SourceDay::Transit, at);
  Refine(day, &SourceDay::Rise, at);
  Refine(day, &SourceDay::Set, at);
  return day;
}

std::optional<double> BeamWidth(double diameter, double frequency) {
  if (!(diameter > 0) || !(frequency > 0) || !std::isfinite(diameter) ||
      !std::isfinite(frequency)) {
    return std::nullopt;
  }
  const double wavelength = 299.792458 / frequency;  // metres
  const double width = 70 * wavelength / diameter;
  if (!(width < 180)) return std::nullopt;
  return width;
}

std::array<double, 2> FixedBeam(double azimuth, double altitude, double latitude) {
  double ha, dec;
  eraAe2hd(azimuth * ERFA_DD2R, altitude * ERFA_DD2R, latitude * ERFA_DD2R, &ha, &dec);
  return {Wrap360(ha * ERFA_DR2D), dec * ERFA_DR2D};
}

std::optional<Drift> DriftOf(double ra, double dec, const PlanStart& start,
                             const std::array<double, 2>& beam, double beam_width) {
  const double radius = beam_width / 2;
  Drift drift;
  drift.Separation = std::fabs(dec - beam[1]);
  if (!(drift.Separation <= radius)) return std::nullopt;
  drift.Closest = HoursUntil(Wrap360(start.LocalSidereal - ra), beam[0], kPassSiderealRate);
  // Within the circle while the hour angles differ by less than `half`.
  const double c =
      (std::cos(radius * kDegree) - std::sin(dec * kDegree) * std::sin(beam[1] * kDegree)) /
      (std::cos(dec * kDegree) * std::cos(beam[1] * kDegree));
  const double half = c <= -1 ? 180 : std::acos(std::min(c, 1.0)) / kDegree;
  drift.Crossing = std::min(2 * half / kPassSiderealRate, kPlanHours);
  return drift;
}

std::optional<Drift> SunDrift(const PlanStart& start, const std::array<double, 2>& beam,
                              double beam_width) {
  auto at = [&](double hours) {
    const auto place = SunPlace(start.DayNumber + hours / 24);
    return DriftOf(place[0], place[1], start, beam, beam_width);
  };
  auto drift = at(kPlanHours / 2);
  for (int i = 0; i < 4 && drift; ++i) drift = at(drift->Closest);
  return drift;
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
#include "interact/turn.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>

namespace skyvane {
namespace {

// The turns of `bearing` within the range, as multiples of 360 added to it.
bool TurnsInRange(double bearing, double min_azimuth, double max_azimuth, long& first, long& last) {
  if (!std::isfinite(bearing) || !(max_azimuth - min_azimuth < 3600)) return false;
  first = static_cast<long>(std::ceil((min_azimuth - bearing) / 360));
  last = static_cast<long>(std::floor((max_azimuth - bearing) / 360));
  return first <= last;
}

// Whether `a` is nearer `from` than `b`; the lower of the two without `from`.
bool Nearer(double a, double b, std::optional<double> from) {
  return from ? std::fabs(a - *from) < std::fabs(b - *from) : a < b;
}

}  // namespace

std::optional<double> ChooseTurn(double bearing, double min_azimuth, double max_azimuth,
                                 std::optional<double> from) {
  long first, last;
  if (!TurnsInRange(bearing, min_azimuth, max_azimuth, first, last)) return std::nullopt;
  double best = bearing + 360.0 * first;
  for (long k = first + 1; k <= last; ++k) {
    if (Nearer(bearing + 360.0 * k, best, from)) best = bearing + 360.0 * k;
  }
  return best;
}

TurnPlan PlanTurn(const std::vector<double>& path, double min_azimuth, double max_azimuth,
                  std::optional<double> from) {
  TurnPlan plan;
  long first, last;
  if (path.empty() || !TurnsInRange(path[0], min_azimuth, max_azimuth, first, last)) return plan;
  // The path without its jumps at north: each step the short way round.
  std::vector<double> unwrapped{path[0]};
  for (size_t i = 1; i < path.size(); ++i) {
    const double step = std::remainder(path[i] - path[i - 1], 360.0);
    unwrapped.push_back(unwrapped.back() + step);
  }
  const int size = static_cast<int>(unwrapped.size());
  int best_hold = -1;
  for (long k = first; k <= last; ++k) {
    int hold = 0;
    while (hold < size && unwrapped[hold] + 360.0 * k >= min_azimuth &&
           unwrapped[hold] + 360.0 * k <= max_azimuth) {
      ++hold;
    }
    const double azimuth = path[0] + 360.0 * k;
    if (hold > best_hold || (hold == best_hold && Nearer(azimuth, *plan.azimuth, from))) {
      best_hold = hold;
      plan.azimuth = azimuth;
    }
  }
  if (best_hold < size) plan.unwind_at = best_hold;
  return plan;
}

double Separation(double azimuth1, double elevation1, double azimuth2, double elevation2) {
  return eraSeps(azimuth1 * ERFA_DD2R, elevation1 * ERFA_DD2R, azimuth2 * ERFA_DD2R,
                 elevation2 * ERFA_DD2R) *
         ERFA_DR2D;
}

long long FollowWait(double moved, double step, long long since_sent, long long interval) {
  if (!(moved > step)) return -1;
  return std::max(interval - since_sent, 0LL);
}

}  // namespace skyvane

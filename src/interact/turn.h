// SPDX-License-Identifier: GPL-3.0-or-later
// Which turn a rotator with more (or less) than one turn of travel takes to a
// compass bearing: the one within its range nearest where the antenna is, and
// for a source being followed, one that holds the source's whole path; and
// when a followed source's newest place goes out. Plain arithmetic, no Qt.
#pragma once

#include <optional>
#include <vector>

namespace skyvane {

// The rotator azimuth for compass `bearing` (degrees, north 0, east 90) in the
// turn within [min_azimuth, max_azimuth] nearest `from`, the rotator's last
// known azimuth; without one, the lowest such turn. Nothing when no turn of
// the bearing lies within the range.
std::optional<double> ChooseTurn(double bearing, double min_azimuth, double max_azimuth,
                                 std::optional<double> from);

struct TurnPlan {
  std::optional<double> azimuth;  // the rotator azimuth for the path's first bearing
  // Index of the first bearing the chosen turn cannot reach without going
  // back round through its limit; none when it holds the whole path.
  std::optional<int> unwind_at;
};

// The turn for the first of `path`, a source's compass bearings at successive
// moments, that follows the whole path without passing a limit of
// [min_azimuth, max_azimuth], the one nearest `from` among those. When none
// holds the whole path, the one that holds it longest, and where it must
// unwind. An empty path plans nothing.
TurnPlan PlanTurn(const std::vector<double>& path, double min_azimuth, double max_azimuth,
                  std::optional<double> from);

// The angle on the sky between two pointings (azimuth, elevation), degrees.
double Separation(double azimuth1, double elevation1, double azimuth2, double elevation2);

// When a followed source's newest place, `moved` degrees from the place last
// sent `since_sent` milliseconds ago, goes out: not until it has moved more
// than `step`, and not sooner than `interval` milliseconds after the last.
// The milliseconds to wait (0: now), or -1 while it has not moved enough.
long long FollowWait(double moved, double step, long long since_sent, long long interval);

}  // namespace skyvane

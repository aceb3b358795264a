// SPDX-License-Identifier: GPL-3.0-or-later
// Naming the source under the mouse pointer.
#pragma once

#include <QLocale>
#include <QRect>

#include "catalogue/source_table.h"
#include "chart/chart_state.h"

namespace skyvane {

struct PickCandidate {
  int Row = 0;  // 0: nothing found
  double Distance = 100;
  double X = 0, Y = 0;  // the map cell where it was found
};

// The nearest recorded source centre in the 17 x 17 pixels around (x, y);
// on equal distances the first in scan order (smallest x, then smallest y).
PickCandidate FindNearestSource(const ChartState& chart, float x, float y);

// Wipes any readout from Picture1 by copying the clean chart back over it.
// Returns the part of the surface that changed.
QRect RestoreCleanChart(ChartState& chart);

// The readout lines for a row: the name, then (with details) flux, azimuth
// and altitude, the numbers in the user's regional format.
QString ReadoutName(const SourceTable& table, int row);
QString ReadoutAzimuth(const SourceTable& table, int row, const QLocale& locale);
QString ReadoutAltitude(const SourceTable& table, int row, const QLocale& locale);

// Draws the readout for `found` onto Picture1 and returns the part drawn.
QRect DrawReadout(ChartState& chart, const SourceTable& table, const PickCandidate& found,
                  bool show_info, const QLocale& locale);

}  // namespace skyvane

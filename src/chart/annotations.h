// SPDX-License-Identifier: GPL-3.0-or-later
// The view label, the meridians and the compass ring drawn over the discs.
#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>

#include "catalogue/source_table.h"
#include "chart/chart_state.h"

namespace skyvane {

// The view-direction label text: " 0°", " .25°", " 359.75°".
QString ViewLabelText(double view_azimuth);

// The compass name at internal azimuth `azimuth` - `view_azimuth`.
QString CompassName(const ChartState& chart, double azimuth);

// Clips a segment to a rectangle (Liang-Barsky). False when nothing is left.
bool ClipSegment(QLineF& line, const QRectF& box);

void DrawAnnotations(ChartState& chart, bool bold_text);

// The antenna on the chart: where it points, and where it was sent.
struct AntennaMark {
  double azimuth = 0, elevation = 0;  // compass degrees (north towards east, any turn)
  bool has_target = false;            // a pointing was sent
  double target_azimuth = 0, target_elevation = 0;
  bool on_target = false;  // the two agree within the follow step
  double beam_width = 0;   // the beam's half-power circle round the mark, degrees; 0 none
};

// The planning marks over the finished chart: the beam at the scope marker
// with its elevation beside it, and a ring round the row found by name.
void DrawPlanningMarks(ChartState& chart, const SourceTable& table);

// The antenna's mark, an orange ring and cross with its bearing and
// elevation beside it ("on target" when there); the commanded place as a
// small orange square, with a dashed line to the mark while the antenna
// slews. Drawn into the clean copy and Picture1 alike. A mark drawn since
// the chart was last drawn whole is taken away first, the chart under it
// put back, so that a moving antenna redraws only its own region. Returns
// the chart pixels that changed.
QRect DrawAntennaMark(ChartState& chart, const AntennaMark& mark);
// Takes the mark away; the chart pixels that changed.
QRect EraseAntennaMark(ChartState& chart);

}  // namespace skyvane

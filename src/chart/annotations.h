// SPDX-License-Identifier: GPL-3.0-or-later
// The view label, the meridians and the compass ring drawn over the discs.
#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>

#include "chart/chart_state.h"

namespace skyvane {

// The view-direction label text: " 0°", " .25°", " 359.75°".
QString ViewLabelText(double view_azimuth);

// The compass name at internal azimuth `azimuth` - `view_azimuth`.
QString CompassName(const ChartState& chart, double azimuth);

// Clips a segment to a rectangle (Liang-Barsky). False when nothing is left.
bool ClipSegment(QLineF& line, const QRectF& box);

void DrawAnnotations(ChartState& chart, bool bold_text);

// The antenna's mark, an orange ring and cross with its bearing and
// elevation beside it, at a compass azimuth (north towards east, any turn)
// and elevation, drawn into the clean copy and Picture1 alike. A mark drawn
// since the chart was last drawn whole is taken away first, the chart under
// it put back, so that a moving antenna redraws only its own region. Returns
// the chart pixels that changed.
QRect DrawAntennaMark(ChartState& chart, double compass_azimuth, double elevation);
// Takes the mark away; the chart pixels that changed.
QRect EraseAntennaMark(ChartState& chart);

}  // namespace skyvane

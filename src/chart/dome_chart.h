// SPDX-License-Identifier: GPL-3.0-or-later
// The dome chart: source discs, pick map, ground and layout.
#pragma once

#include <cstdint>

#include "catalogue/source_table.h"
#include "chart/chart_state.h"

namespace skyvane {

// Disc colour (24-bit value) and radius for a flux. Caps the caller's flux
// at 150 in place, as the table entry is passed.
int32_t FluxStyle(double& flux, float symbol_scale, float& symbol_radius);

// Redraws the chart into Picture1 from the background and the rows' AzAlt,
// records the drawn rows in the pick map and copies the result to SwapScreen.
// The chart's texts are bold while `bold_text` holds.
void DrawChart(ChartState& chart, SourceTable& table, bool bold_text);

// Sizes the surfaces to the chart's new size, sets the projection scales,
// paints the ground by the Sun's altitude and redraws the chart.
// `pixel_ratio` device pixels per chart pixel.
void LayOutChart(ChartState& chart, SourceTable& table, int width, int height, double sun_altitude,
                 bool bold_text, double pixel_ratio = 1);

// Paints the black sky and the ground band into SwapScreen2.
void PaintGround(ChartState& chart, double sun_altitude);

}  // namespace skyvane

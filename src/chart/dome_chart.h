// The dome chart: projection, source discs, pick map, ground and layout.
#pragma once

#include <cstdint>

#include "catalogue/source_table.h"
#include "chart/chart_state.h"

namespace skyvane {

// Stereographic dome projection of an azimuth (view azimuth already added)
// and altitude, degrees, to chart pixels. False for the one point that has
// no image: straight behind the observer on the horizon.
bool ProjectSkyPoint(double azimuth, double altitude, double half_width, double horizon_y,
                     double& sx, double& sy);

// Disc colour (24-bit value) and radius for a flux. Caps the caller's flux
// at 150 in place, as the table entry is passed.
int32_t FluxStyle(double& flux, float symbol_scale, float& symbol_radius);

// Redraws the chart into Picture1 from the background and the rows' AzAlt,
// records the drawn rows in the pick map and copies the result to SwapScreen.
void DrawChart(ChartState& chart, SourceTable& table);

// Sizes the surfaces to the chart's new size, sets the projection scales,
// paints the ground by the Sun's altitude and redraws the chart.
void LayOutChart(ChartState& chart, SourceTable& table, int width, int height, double sun_altitude);

// Paints the black sky and the ground band into SwapScreen2.
void PaintGround(ChartState& chart, double sun_altitude);

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/dome_chart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "base/numbers.h"
#include "chart/annotations.h"
#include "chart/projection.h"

namespace skyvane {
namespace {

// Half-widths of a filled disc's pixel rows, one per row offset -R..R.
struct DiscSpans {
  int R = 0;
  std::vector<int> half;
};

const DiscSpans& SpansFor(float radius) {
  // Radii repeat: every flux value of the catalogue gives one of a few
  // thousand, so each shape is worked out once.
  static std::unordered_map<float, DiscSpans> cache;
  auto it = cache.find(radius);
  if (it != cache.end()) return it->second;
  DiscSpans spans;
  const double reach = static_cast<double>(radius) + 0.5;
  spans.R = static_cast<int>(std::floor(reach));
  for (int dy = -spans.R; dy <= spans.R; ++dy) {
    spans.half.push_back(static_cast<int>(std::floor(std::sqrt(reach * reach - dy * dy))));
  }
  if (cache.size() > 65536) cache.clear();
  return cache.emplace(radius, std::move(spans)).first->second;
}

void FillDisc(QImage& image, double sx, double sy, float radius, QRgb colour, double ratio) {
  const DiscSpans& spans = SpansFor(radius);
  const double w = image.width() / ratio, h = image.height() / ratio;
  if (!(sx + spans.R >= -1 && sx - spans.R <= w + 1 && sy + spans.R >= -1 &&
        sy - spans.R <= h + 1)) {
    return;  // wholly off the surface (or not a number)
  }
  const int cx = static_cast<int>(RoundHalfEven(sx));
  const int cy = static_cast<int>(RoundHalfEven(sy));
  const int width = image.width();
  auto fill = [&](int y, int x0, int x1) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width - 1);
    if (y < 0 || y >= image.height() || x0 > x1) return;
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + x0, row + x1 + 1, colour);
  };
  if (ratio == 1) {
    for (int dy = -spans.R; dy <= spans.R; ++dy) {
      const int hw = spans.half[dy + spans.R];
      fill(cy + dy, cx - hw, cx + hw);
    }
    return;
  }
  // On a scaled screen: the same disc, about the same chart pixel, in the
  // finer device pixels.
  const double dx = (cx + 0.5) * ratio, dy = (cy + 0.5) * ratio;
  const double reach = (static_cast<double>(radius) + 0.5) * ratio;
  // The device rows whose middles lie within reach of the centre.
  for (int y = static_cast<int>(std::ceil(dy - reach - 0.5)); y + 0.5 - dy <= reach; ++y) {
    const double off = y + 0.5 - dy;
    const double half = std::sqrt(std::max(0.0, reach * reach - off * off));
    fill(y, static_cast<int>(std::ceil(dx - half - 0.5)),
         static_cast<int>(std::floor(dx + half - 0.5)));
  }
}

struct Disc {
  double sx, sy;
  float radius;
  int32_t colour;
};

void DrawScopeMarker(ChartState& chart) {
  QPainter painter(&chart.Picture1);
  painter.setPen(QColor(0, 255, 255));
  painter.setBrush(Qt::NoBrush);
  // 0 to 6.1 radians counter-clockwise: an open ring with a gap below its
  // rightmost point.
  painter.drawArc(QRectF(chart.Width() / 2.0 - 20, chart.ScopeMarkerY - 20, 40, 40), 0,
                  static_cast<int>(6.1 / kDegree * 16));
}

}  // namespace

int32_t FluxStyle(double& flux, float symbol_scale, float& symbol_radius) {
  if (flux > 150) flux = 150;
  const double g = 255 - std::floor(flux + 1);
  double colour = g * 256 + g + g * 65536;
  // A negative or undefined size draws the smallest disc.
  const double radius = (flux + 1) * symbol_scale;
  symbol_radius = radius > 0 ? static_cast<float>(radius) : 0.0f;
  if (flux > 12) colour = g * 56 + g + g * 65536;
  if (flux < 5) colour = g * 156 + g + g * 65536;
  if (!std::isfinite(colour)) return 0;
  // A flux below -1 goes past 24 bits: keep the low 24.
  colour = std::fmod(colour, 16777216.0);
  if (colour < 0) colour += 16777216.0;
  return static_cast<int32_t>(colour);
}

void DrawChart(ChartState& chart, SourceTable& table, bool bold_text) {
  QImage& picture = chart.Picture1;
  const int W = chart.Width();
  const int H = chart.Height();
  BlockCopy(picture, chart.SwapScreen2, picture.width(), picture.height());
  chart.ReadoutDirty = QRect();
  chart.MarkRect = QRect();
  const bool visible = W > 0 && H > 0;

  const int last_row = static_cast<int>(RoundHalfEven(table.LastRow));
  if (static_cast<int>(chart.ScreenPos.size()) < table.RowCount()) {
    chart.ScreenPos.resize(table.RowCount(), {0, 0});
  }
  for (int r = 0; r <= last_row; ++r) {
    const auto [x, y] = chart.ScreenPos[r];
    if (x >= 0 && y >= 0 && x < chart.PickWidth && y < chart.PickHeight) chart.PickAt(x, y) = 0;
  }

  const int sun_row = static_cast<int>(RoundHalfEven(table.SunRow));
  std::vector<Disc> discs;
  discs.reserve(static_cast<size_t>(std::max(last_row, 0)));
  for (int r = 1; r <= last_row; ++r) {
    float radius = 0;
    int32_t colour = FluxStyle(table.Flux[r], chart.SymbolScale, radius);
    const double azimuth = table.AzAlt[r][0] + chart.ViewAzimuth;
    const double altitude = table.AzAlt[r][1];
    if (!(altitude >= 0)) continue;
    if (r == sun_row) {
      colour = 65535;
      radius = 12;
    }
    double sx, sy;
    if (!ProjectSkyPoint(azimuth, altitude, chart.HalfWidth, chart.HorizonY, sx, sy)) continue;
    if (sx >= 0 && static_cast<float>(sx) <= W && sy >= 0 && static_cast<float>(sy) <= H) {
      const int px = static_cast<int>(RoundHalfEven(sx));
      const int py = static_cast<int>(RoundHalfEven(sy));
      if (px < chart.PickWidth && py < chart.PickHeight) {
        chart.PickAt(px, py) = r;
        chart.ScreenPos[r] = {px, py};
      }
    }
    discs.push_back({sx, sy, radius, colour});
  }
  // The scope marker is drawn before every disc, so only the last disc
  // ends up over it.
  for (size_t i = 0; i < discs.size(); ++i) {
    if (i + 1 == discs.size() && visible) DrawScopeMarker(chart);
    FillDisc(picture, discs[i].sx, discs[i].sy, discs[i].radius, FromColourValue(discs[i].colour),
             chart.PixelRatio());
  }

  if (visible) DrawAnnotations(chart, bold_text);
  if (visible && (chart.BeamWidth > 0 || chart.FoundRow > 0)) DrawPlanningMarks(chart, table);
  BlockCopy(chart.SwapScreen, picture, picture.width(), picture.height());
}

void PaintGround(ChartState& chart, double sun_altitude) {
  const int sign = sun_altitude > 0 ? 1 : sun_altitude < 0 ? -1 : 0;
  QImage& ground = chart.SwapScreen2;
  if (chart.GroundSize == ground.size() && chart.GroundSign == sign) return;
  chart.GroundSize = ground.size();
  chart.GroundSign = sign;
  const int band_top = static_cast<int>(std::floor(chart.HorizonY));
  const float q = 49.0f / 51.0f;
  // The band's 51 rows shade from the horizon down; below them the ground
  // keeps the last shade. Each device row takes the shade of its chart row.
  const double ratio = chart.PixelRatio();
  for (int device_y = 0; device_y < ground.height(); ++device_y) {
    const int k = std::min(static_cast<int>(std::floor(device_y / ratio)) - band_top, 50);
    if (k < 0) continue;
    const int c = static_cast<int>(std::floor(static_cast<float>(k) * q + 1.0f));
    QRgb colour = qRgb(0, 0, 0);
    if (sign > 0) colour = qRgb(1, c + 80, 1);
    if (sign < 0) colour = qRgb(1, 1, c + 80);
    auto* row = reinterpret_cast<QRgb*>(ground.scanLine(device_y));
    std::fill(row, row + ground.width(), colour);
  }
}

void LayOutChart(ChartState& chart, SourceTable& table, int width, int height, double sun_altitude,
                 bool bold_text, double pixel_ratio) {
  chart.SetSize(width, height, pixel_ratio);
  chart.HalfWidth = chart.Width() / 2.0;
  chart.HorizonY = chart.Height() * 0.8;
  PaintGround(chart, sun_altitude);
  chart.SymbolScale = static_cast<float>(
      std::sqrt(chart.Height() * static_cast<double>(chart.Width()) / 2000000 / 10));
  DrawChart(chart, table, bold_text);
}

}  // namespace skyvane

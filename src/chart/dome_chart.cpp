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

void FillDisc(QImage& image, double sx, double sy, float radius, QRgb colour) {
  const DiscSpans& spans = SpansFor(radius);
  const double w = image.width(), h = image.height();
  if (!(sx + spans.R >= -1 && sx - spans.R <= w + 1 && sy + spans.R >= -1 &&
        sy - spans.R <= h + 1)) {
    return;  // wholly off the surface (or not a number)
  }
  const int cx = static_cast<int>(RoundHalfEven(sx));
  const int cy = static_cast<int>(RoundHalfEven(sy));
  const int width = image.width();
  for (int dy = -spans.R; dy <= spans.R; ++dy) {
    const int y = cy + dy;
    if (y < 0 || y >= image.height()) continue;
    const int hw = spans.half[dy + spans.R];
    const int x0 = std::max(cx - hw, 0);
    const int x1 = std::min(cx + hw, width - 1);
    if (x0 > x1) continue;
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + x0, row + x1 + 1, colour);
  }
}

struct Disc {
  double sx, sy;
  float radius;
  int32_t colour;
};

void DrawScopeMarker(QImage& image, double y) {
  QPainter painter(&image);
  painter.setPen(QColor(0, 255, 255));
  painter.setBrush(Qt::NoBrush);
  // 0 to 6.1 radians counter-clockwise: an open ring with a gap below its
  // rightmost point.
  painter.drawArc(QRectF(image.width() / 2.0 - 20, y - 20, 40, 40), 0,
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
  BlockCopy(picture, chart.SwapScreen2, W, H);
  chart.ReadoutDirty = QRect();
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
    if (i + 1 == discs.size() && visible) DrawScopeMarker(picture, chart.ScopeMarkerY);
    FillDisc(picture, discs[i].sx, discs[i].sy, discs[i].radius, FromColourValue(discs[i].colour));
  }

  if (visible) DrawAnnotations(chart, bold_text);
  BlockCopy(chart.SwapScreen, picture, W, H);
}

void PaintGround(ChartState& chart, double sun_altitude) {
  const int sign = sun_altitude > 0 ? 1 : sun_altitude < 0 ? -1 : 0;
  QImage& ground = chart.SwapScreen2;
  if (chart.GroundSize == ground.size() && chart.GroundSign == sign) return;
  chart.GroundSize = ground.size();
  chart.GroundSign = sign;
  const int band_top = static_cast<int>(std::floor(chart.HorizonY));
  const float q = 49.0f / 51.0f;
  QRgb colour = qRgb(0, 0, 0);
  const int width = std::min(chart.Width() + 1, ground.width());
  for (int k = 0; k <= 50; ++k) {
    const int c = static_cast<int>(std::floor(static_cast<float>(k) * q + 1.0f));
    if (sign > 0) colour = qRgb(1, c + 80, 1);
    if (sign < 0) colour = qRgb(1, 1, c + 80);
    const int y = band_top + k;
    if (y < 0 || y >= ground.height()) continue;
    auto* row = reinterpret_cast<QRgb*>(ground.scanLine(y));
    std::fill(row, row + width, colour);
  }
  for (int y = std::max(band_top + 51, 0); y < ground.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(ground.scanLine(y));
    std::fill(row, row + ground.width(), colour);
  }
}

void LayOutChart(ChartState& chart, SourceTable& table, int width, int height, double sun_altitude,
                 bool bold_text) {
  chart.SetSize(width, height);
  chart.HalfWidth = chart.Width() / 2.0;
  chart.HorizonY = chart.Height() * 0.8;
  PaintGround(chart, sun_altitude);
  chart.SymbolScale = static_cast<float>(
      std::sqrt(chart.Height() * static_cast<double>(chart.Width()) / 2000000 / 10));
  DrawChart(chart, table, bold_text);
}

}  // namespace skyvane

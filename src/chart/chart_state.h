// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's surfaces and the state the drawing shares with the readout.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace skyvane {

struct ChartState {
  // The visible chart, the clean copy of the last finished chart, and the
  // background with the ground. All three always have the same size.
  QImage Picture1, SwapScreen, SwapScreen2;

  // Row index per chart pixel, 0 = none; one cell per pixel 0..width and
  // 0..height, so it grows and shrinks with the surface.
  std::vector<int32_t> PickMap;
  int PickWidth = 0, PickHeight = 0;
  // Whole pixel at which each row was last recorded.
  std::vector<std::array<int32_t, 2>> ScreenPos;

  double ViewAzimuth = 0;  // compass azimuth of the chart centre
  double HalfWidth = 0;
  double HorizonY = 0;
  double ScopeMarkerY = 0;
  float SymbolScale = 0;
  float GridStep = 6;
  bool DottedGrid = true;
  std::array<QString, 17> CompassPoints;

  // Part of Picture1 that a readout has drawn over since the last pass.
  QRect ReadoutDirty;
  // Where the antenna's mark lies (chart pixels; empty when none is drawn
  // since the chart was last drawn whole) and the clean chart under it.
  QRect MarkRect;
  QImage UnderMark;
  // Planning marks, none until the user asks: the beam's half-power width
  // in degrees (0: not drawn) and the row found by name (0: none).
  double BeamWidth = 0;
  int FoundRow = 0;

  // The ground last painted into SwapScreen2: repainting the same one is skipped.
  QSize GroundSize;
  int GroundSign = 2;

  ChartState();
  // The chart's size in its own pixels, in which every coordinate of the
  // drawing, the pick map and the readout is given. The images hold
  // `PixelRatio` device pixels per chart pixel, for sharp drawing on scaled
  // screens.
  int Width() const { return width_; }
  int Height() const { return height_; }
  double PixelRatio() const { return ratio_; }
  // A rectangle of chart pixels as the device pixels that cover it.
  QRect DeviceRect(const QRect& rect) const;
  int32_t PickAt(int x, int y) const { return PickMap[static_cast<size_t>(y) * (PickWidth) + x]; }
  int32_t& PickAt(int x, int y) { return PickMap[static_cast<size_t>(y) * (PickWidth) + x]; }
  // Gives the three surfaces and the pick map a new size (black, empty).
  void SetSize(int width, int height, double pixel_ratio = 1);

 private:
  int width_ = 0, height_ = 0;
  double ratio_ = 1;
};

// The chart's font face at a size in points: Verdana, else DejaVu Sans.
QFont ChartFont(double points, bool bold);

// Plain copy of the top-left width x height block of `src` into `dst`
// (device pixels).
void BlockCopy(QImage& dst, const QImage& src, int width, int height);
// The same for one rectangle at the same place in both images.
void BlockCopyRect(QImage& dst, const QImage& src, const QRect& rect);

// 24-bit colour value R + 256 G + 65536 B as a Qt colour.
QRgb FromColourValue(int32_t colour);

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// The chart drawn into images, and the readout drawn over it.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "chart/annotations.h"
#include "chart/dome_chart.h"
#include "chart/projection.h"
#include "interact/readout.h"

namespace skyvane {
namespace {

const QRgb kBlack = qRgb(0, 0, 0), kGreen = qRgb(0, 255, 0), kYellow = qRgb(255, 255, 0);

// Smoothed green text on black: green alone, at least half bright.
bool Greenish(QRgb c) {
  return qRed(c) == 0 && qBlue(c) == 0 && qGreen(c) >= 128;
}

TEST(Projection, DomeAndDiscStyles) {
  struct Place { double azimuth, altitude, sx, sy; };
  Place places[] = {
      {0, 0, 388.5, 411.2}, {0, 90, 388.5, 0}, {90, 0, 0, 411.2}, {270, 0, 777, 411.2},
      {0, 45, 388.5, 240.875}};
  for (const Place& c : places) {
    double sx, sy;
    ASSERT_TRUE(ProjectSkyPoint(c.azimuth, c.altitude, 388.5, 411.2, sx, sy));
    EXPECT_NEAR(sx, c.sx, 1e-2) << c.azimuth << "," << c.altitude;
    EXPECT_NEAR(sy, c.sy, 1e-2) << c.azimuth << "," << c.altitude;
  }
  // The beam's circle: half its width away in each bearing, over the zenith too.
  struct Offset { double azimuth, altitude, radius, bearing, to_azimuth, to_altitude; };
  Offset offsets[] = {
      {100, 30, 10, 0, 100, 40}, {100, 30, 10, 180, 100, 20}, {100, 0, 10, 90, 110, 0},
      {100, 80, 15, 0, 280, 85}};
  for (const Offset& c : offsets) {
    double azimuth, altitude;
    OffsetSkyPoint(c.azimuth, c.altitude, c.radius, c.bearing, azimuth, altitude);
    EXPECT_NEAR(azimuth, c.to_azimuth, 1e-9) << c.bearing;
    EXPECT_NEAR(altitude, c.to_altitude, 1e-9) << c.bearing;
  }
  // Anywhere else it lies the radius away, in the bearing asked: from north
  // towards the larger azimuth.
  for (double bearing : {45.0, 90.0, 135.0, 300.0}) {
    double azimuth, altitude;
    OffsetSkyPoint(100, 60, 10, bearing, azimuth, altitude);
    const double a = 100 * ERFA_DD2R, h = 60 * ERFA_DD2R;
    const double a2 = azimuth * ERFA_DD2R, h2 = altitude * ERFA_DD2R;
    EXPECT_NEAR(eraSeps(a, h, a2, h2) * ERFA_DR2D, 10, 1e-9) << bearing;
    const double turned = eraPas(a, h, a2, h2) * ERFA_DR2D - bearing;
    EXPECT_NEAR(std::remainder(turned, 360), 0, 1e-9) << bearing;
  }

  struct Style { double flux; int32_t colour; double capped; };
  Style styles[] = {
      {0, 16686022, 0}, {4.9, 16423250, 4.9}, {5, 16382457, 5}, {12, 15921906, 12},
      {12.5, 15873506, 12.5}, {150, 6821672, 150}, {150.5, 6821672, 150}, {400, 6821672, 150}};
  for (const Style& c : styles) {
    double flux = c.flux;
    float radius = -1;
    EXPECT_EQ(FluxStyle(flux, 0.1413f, radius), c.colour) << c.flux;
    EXPECT_EQ(flux, c.capped);
    EXPECT_FLOAT_EQ(radius, static_cast<float>((c.capped + 1) * 0.1413f));
  }
  double flux = -27.97;  // below -1 the colour keeps its low 24 bits, the radius is 0
  float radius = 5;
  EXPECT_EQ(FluxStyle(flux, 0.14f, radius),
            int32_t(std::fmod(282.0 * 157 + 282.0 * 65536, 16777216.0)));
  EXPECT_EQ(radius, 0);
  EXPECT_EQ(FromColourValue(15873506), qRgb(226, 53, 242));
}

TEST(Annotations, LabelCompassNamesAndClipping) {
  EXPECT_EQ(ViewLabelText(0.25), QString::fromUtf8(" .25°"));
  ChartState chart;
  struct Case { double view, internal; const char* name; };
  Case cases[] = {
      {0, 0, "N"}, {0, 22.5, "NNW"}, {0, 270, "E"}, {0, 337.5, "NNE"}, {0, 350, "N"},
      {90, 270, "E"}, {0.25, -157.5, "SSE"}};
  for (const Case& c : cases) {
    chart.ViewAzimuth = c.view;
    EXPECT_EQ(CompassName(chart, c.internal + c.view), QString::fromLatin1(c.name)) << c.internal;
  }
  QLineF line(-1e12, 50, 50, 50);
  ASSERT_TRUE(ClipSegment(line, QRectF(0, 0, 100, 100)));
  EXPECT_EQ(line, QLineF(0, 50, 50, 50));
  line = QLineF(50, -10, 50.5, 200);  // steep: less than a pixel across
  ASSERT_TRUE(ClipSegment(line, QRectF(0, 0, 100, 100)));
  EXPECT_EQ(line.y1() + line.y2(), 100);
  line = QLineF(-10, -10, -5, 200);
  EXPECT_FALSE(ClipSegment(line, QRectF(0, 0, 100, 100)));
}

// The pixels of `area` that `is_ink`: how many, and their bounds.
struct Ink { int count = 0; QRect bounds; };
Ink InkIn(const QImage& image, QRect area, const std::function<bool(QRgb)>& is_ink) {
  Ink ink;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (is_ink(image.pixel(x, y))) ++ink.count, ink.bounds |= QRect(x, y, 1, 1);
  return ink;
}

int CountIn(const QImage& image, QRect area, QRgb colour) {
  return InkIn(image, area, [colour](QRgb c) { return c == colour; }).count;
}

// A chart with two catalogue rows (besides row 0) and the Sun.
class ChartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 4; ++i) table.AddRow();
    table.LastRow = table.SunRow = 3;
    table.Flux = {0, 8, 8, -27.97};
    table.AzAlt = {{0, 50}, {0, 45}, {90, -10}, {0, -5}};
  }
  void Lay(double sun_altitude, int width = 777, int height = 514) {
    LayOutChart(chart, table, width, height, sun_altitude, true);
  }
  QPoint At(double azimuth, double altitude) const {
    double sx, sy;
    ProjectSkyPoint(azimuth + chart.ViewAzimuth, altitude, chart.HalfWidth, chart.HorizonY, sx, sy);
    return QPoint(int(std::nearbyint(sx)), int(std::nearbyint(sy)));
  }
  int Count(QRect area, QRgb colour) const { return CountIn(chart.Picture1, area, colour); }
  SourceTable table;
  ChartState chart;
};

TEST_F(ChartTest, LayoutScalesAndGround) {
  Lay(10);
  EXPECT_EQ(chart.HalfWidth, 388.5);
  EXPECT_DOUBLE_EQ(chart.HorizonY, 411.2);
  EXPECT_EQ(chart.SymbolScale, static_cast<float>(std::sqrt(514 * 777 / 2e7)));
  struct Pixel { int y; QRgb day; };
  Pixel rows[] = {
      {410, kBlack}, {411, qRgb(1, 81, 1)}, {436, qRgb(1, 105, 1)}, {461, qRgb(1, 129, 1)},
      {462, qRgb(1, 129, 1)}, {513, qRgb(1, 129, 1)}};
  for (const Pixel& p : rows) {
    EXPECT_EQ(chart.SwapScreen2.pixel(0, p.y), p.day) << p.y;
    EXPECT_EQ(chart.SwapScreen2.pixel(776, p.y), p.day) << p.y;
  }
  Lay(-3);
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 411), qRgb(1, 1, 81));
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 513), qRgb(1, 1, 129));
  Lay(0);
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 513), kBlack);
  Lay(-3, 1000, 514);  // a new width alone repaints the ground over all of it
  EXPECT_EQ(chart.SwapScreen2.pixel(999, 411), qRgb(1, 1, 81));
  EXPECT_EQ(chart.HalfWidth, 500);
  for (double ratio : {0.5, double(NAN)}) {  // a screen below 1x is drawn at 1x, never smaller
    chart.SetSize(300, 200, ratio);
    EXPECT_EQ(chart.Picture1.size(), QSize(300, 200)) << ratio;
  }
}

TEST_F(ChartTest, DiscsThePickMapAndTheSun) {
  table.AzAlt[3] = {270, 30};
  Lay(30);
  EXPECT_EQ(chart.PickAt(At(0, 45).x(), At(0, 45).y()), 1);
  EXPECT_EQ(chart.ScreenPos[1][0], 388);                     // 388.5 goes to the even neighbour
  EXPECT_EQ(chart.PickAt(At(0, 50).x(), At(0, 50).y()), 0);  // row 0 is never drawn
  EXPECT_EQ(chart.SwapScreen, chart.Picture1);
  // The Sun: a yellow disc of radius 12, whatever its flux.
  const QPoint sun = At(270, 30);
  EXPECT_EQ(chart.Picture1.pixel(sun.x() - 12, sun.y()), kYellow);
  EXPECT_EQ(chart.Picture1.pixel(sun.x(), sun.y() + 12), kYellow);
  EXPECT_NE(chart.Picture1.pixel(sun.x() - 13, sun.y()), kYellow);
  EXPECT_EQ(chart.PickAt(sun.x(), sun.y()), 3);
  // A disc whose centre lies just past the right edge still shows its part.
  double az = 265, sx = 0, sy = 0;
  while (ProjectSkyPoint(az, 20, chart.HalfWidth, chart.HorizonY, sx, sy), sx < 777 + 5) az += 0.05;
  table.AzAlt[3] = {az, 20};
  DrawChart(chart, table, true);
  EXPECT_EQ(chart.Picture1.pixel(776, int(std::nearbyint(sy))), kYellow);
  EXPECT_NE(chart.Picture1.pixel(0, int(std::nearbyint(sy)) + 1), kYellow);  // nor beyond
  // One whose centre lies 12.4 pixels left of the surface reaches its first column.
  for (az = 95; ProjectSkyPoint(az, 20, chart.HalfWidth, chart.HorizonY, sx, sy), sx > -12.3;)
    az += 0.01;
  ASSERT_GT(sx, -12.5);
  table.AzAlt[3] = {az, 20};
  DrawChart(chart, table, true);
  EXPECT_EQ(chart.Picture1.pixel(0, int(std::nearbyint(sy))), kYellow);
  table.AzAlt[3] = {270, 30};
  // A small disc (radius 1.27 at flux 8) is three rows of three pixels.
  table.AzAlt[2] = {30, 20};
  DrawChart(chart, table, true);
  const QRgb disc = FromColourValue(16185078);
  EXPECT_EQ(Count(QRect(At(30, 20) - QPoint(1, 1), QSize(3, 3)), disc), 9);
  EXPECT_EQ(Count(QRect(At(30, 20) - QPoint(2, 2), QSize(5, 5)), disc), 9);
  // On a 2x screen the Sun stands on the same chart pixel, 25 device pixels
  // from the middle of it each way.
  LayOutChart(chart, table, 777, 514, 30, true, 2);
  const QPoint middle = sun * 2 + QPoint(1, 1);
  struct Edge { QPoint in, out; };
  Edge edges[] = {
      {{-25, 0}, {-26, 0}}, {{24, 0}, {25, 0}}, {{0, -25}, {0, -26}}, {{0, 24}, {0, 25}}};
  for (const Edge& e : edges) {
    EXPECT_EQ(chart.Picture1.pixel(middle + e.in), kYellow) << e.in.x() << "," << e.in.y();
    EXPECT_NE(chart.Picture1.pixel(middle + e.out), kYellow) << e.out.x() << "," << e.out.y();
  }
}

TEST_F(ChartTest, PickCellsAreClearedAtTheEdgesAndAfterShrinking) {
  // East on the column past the last, west on the leftmost, the zenith on the
  // top row: each is marked, and cleared when the row sets.
  const struct { double azimuth, altitude; int x, y; } edges[] = {
      {270, 0, 777, 411}, {90, 0, 0, 411}, {0, 90, 388, 0}};
  Lay(-5);
  for (const auto& e : edges) {
    table.AzAlt[1] = {e.azimuth, e.altitude};
    DrawChart(chart, table, true);
    EXPECT_EQ(chart.PickAt(e.x, e.y), 1) << e.azimuth;
    table.AzAlt[1] = {0, -1};
    DrawChart(chart, table, true);
    EXPECT_EQ(chart.PickAt(e.x, e.y), 0) << e.azimuth;
  }
  table.AzAlt[1] = {0, 45};
  Lay(-5);
  Lay(-5, 300, 200);
  Lay(-5);
  EXPECT_EQ(chart.PickMap.size() - std::count(chart.PickMap.begin(), chart.PickMap.end(), 0), 1);
  for (QSize size : {QSize(320, 120), QSize(1, 1), QSize(0, 0)}) {
    Lay(3, size.width(), size.height());
    EXPECT_EQ(chart.SwapScreen2.size(), size);
    EXPECT_EQ(chart.PickWidth, size.width() + 1);
  }
}

TEST_F(ChartTest, MeridiansAndCompassPoints) {
  table.AzAlt[1] = {0, -1};  // nothing on the centre line but the meridian
  Lay(-5);
  // The north meridian runs up the centre line, dotted.
  const int dots = Count(QRect(388, 10, 1, 390), kGreen);
  EXPECT_GT(dots, 100);
  EXPECT_LT(dots, 260);
  EXPECT_EQ(Count(QRect(389, 100, 1, 312), kGreen), 0);  // one pixel wide, to its foot
  // The east and west meridians are curves through the zenith, the one behind
  // is not drawn: nothing green near the top corners.
  EXPECT_EQ(Count(QRect(0, 0, 60, 60), kGreen), 0);
  EXPECT_GT(Count(QRect(40, 40, 170, 180), kGreen), 20);
  // Yellow ticks 5 pixels long below the horizon at each of the 16 points,
  // names in dark yellow under them.
  EXPECT_EQ(Count(QRect(388, 411, 1, 7), kYellow), 6);
  EXPECT_EQ(chart.Picture1.pixel(0, 411), kYellow);  // west on the left edge
  EXPECT_GT(Count(QRect(370, 417, 40, 14), qRgb(192, 192, 0)), 5);
  // Every point in front has its tick, whichever way the view is turned.
  for (double view : {100.0, 200.0, 310.5}) {
    chart.ViewAzimuth = view;
    Lay(-5);
    for (double a = 0; a < 360; a += 22.5) {
      if (std::fabs(std::remainder(a + view, 360)) > 85) continue;  // at the edges or behind
      EXPECT_GT(Count(QRect(At(a, 0).x() - 1, 413, 3, 1), kYellow), 0) << view << ", " << a;
    }
  }
}

TEST_F(ChartTest, TheBeamAndTheFoundSourcesRing) {
  table.AzAlt[1] = {0, -1};
  chart.ScopeMarkerY = 0.4 * 514;
  chart.BeamWidth = 0.5;  // a large dish's narrow beam is a beam too
  Lay(-5);
  // The beam's elevation is written to the right of the marker, and a
  // dashed circle drawn half the beam about it.
  auto cyan = [](QRgb c) { return qRed(c) == 0 && qBlue(c) > 60; };
  const QRect beside(409, 180, 80, 40);
  const QRect label = InkIn(chart.Picture1, beside, cyan).bounds;
  EXPECT_EQ(label.left(), 413);
  EXPECT_EQ(label.bottom(), 209);
  const QString text = QString::fromUtf8("el 53.1°");
  EXPECT_NEAR(label.width(), QFontMetrics(ChartFont(8, false)).boundingRect(text).width(), 2);
  chart.BeamWidth = 4;
  DrawChart(chart, table, true);
  const double elevation = CentreColumnAltitude(chart.ScopeMarkerY, chart.HorizonY);
  for (double off : {2.0, -2.0}) {
    const QPoint edge = At(0, elevation + off);
    EXPECT_GT(InkIn(chart.Picture1, QRect(edge - QPoint(3, 1), QSize(7, 3)), cyan).count, 0);
    EXPECT_EQ(InkIn(chart.Picture1, QRect(At(0, elevation + 1.6 * off), QSize(1, 1)), cyan).count,
              0);
  }
  // The found source: a red ring 5 pixels out from its disc, the Sun's too;
  // none for one below the horizon or past the table's end, and no beam.
  chart.BeamWidth = 0;
  table.AzAlt[3] = {270, 30};
  auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 120; };
  const QPoint sun = At(270, 30);
  for (int row : {3, 2, 4, 0}) {
    chart.FoundRow = row;
    DrawChart(chart, table, true);
    const Ink ring = InkIn(chart.Picture1, chart.Picture1.rect(), red);
    EXPECT_EQ(ring.count > 0, row == 3) << row;
    EXPECT_EQ(InkIn(chart.Picture1, beside, cyan).count, 0);
    if (row == 3) {
      EXPECT_NEAR(ring.bounds.width(), 2 * 17 + 2, 1);
      EXPECT_LE((ring.bounds.center() - sun).manhattanLength(), 2);
    }
  }
}

TEST_F(ChartTest, TheViewLabelAndTheAntennaMarkSitInPlace) {
  Lay(-5);
  // The label's text hangs from 85 pixels above the bottom, under the
  // centre mark's two dashes.
  const QRect label = InkIn(chart.Picture1, QRect(300, 420, 87, 40), Greenish).bounds;
  EXPECT_EQ(label.top(), 434);
  // North, 45 degrees up: a ring and cross about the point, its place
  // written below to the right, all of it in the clean copy too.
  DrawAntennaMark(chart, {0, 45});
  auto orange = [](QRgb c) { return qRed(c) > 100 && qBlue(c) == 0 && qGreen(c) < qRed(c); };
  const QRect mark = InkIn(chart.Picture1, QRect(370, 220, 40, 34), orange).bounds;
  const QRect text = InkIn(chart.Picture1, QRect(390, 251, 100, 30), orange).bounds;
  EXPECT_EQ(mark, QRect(377, 229, 24, 24));  // the cross: arms 11 each way from the point
  EXPECT_EQ(text.topLeft(), QPoint(399, 255));
  EXPECT_EQ(chart.Picture1, chart.SwapScreen);
  // Moved, the mark takes only its own region with it: the chart under the
  // old place comes back, and what lies outside both regions (a readout's
  // ink, here) stays. A rotator's azimuth of another turn reads as its bearing.
  const QImage marked = chart.SwapScreen;
  Lay(-5);
  const QImage unmarked = chart.SwapScreen;
  DrawAntennaMark(chart, {0, 45});
  chart.Picture1.setPixel(5, 5, qRgb(1, 2, 3));
  const QRect changed = DrawAntennaMark(chart, {-53.1, 30});
  EXPECT_TRUE(changed.contains(QRect(377, 229, 24, 24)));
  EXPECT_EQ(chart.Picture1.pixel(5, 5), qRgb(1, 2, 3));
  EXPECT_EQ(chart.SwapScreen.copy(377, 229, 24, 24), unmarked.copy(377, 229, 24, 24));
  const QImage other_turn = chart.SwapScreen;
  EraseAntennaMark(chart);
  EXPECT_EQ(chart.SwapScreen, unmarked);
  DrawAntennaMark(chart, {306.9, 30});
  EXPECT_EQ(chart.SwapScreen, other_turn);
  EXPECT_NE(chart.SwapScreen, marked);
  // Sent 30 degrees east while still at north: a square where it was sent,
  // a dashed line from the mark to it; once there, "on target" beside it.
  const QPoint aim = At(330, 45);
  DrawAntennaMark(chart, {0, 45, true, 30, 45, false});
  const QRect square =
      InkIn(chart.SwapScreen, QRect(aim - QPoint(6, 6), QSize(13, 13)), orange).bounds;
  EXPECT_TRUE(square.contains(QRect(aim - QPoint(3, 3), QSize(7, 7))));
  EXPECT_EQ(square.height(), 9);  // 9 pixels a side: the dashed line comes in from the left
  EXPECT_EQ(InkIn(chart.SwapScreen, QRect(square.topLeft(), QSize(13, 1)), orange).count, 9);
  const QRect between(QPoint(400, 225), aim - QPoint(6, -2));
  EXPECT_GT(InkIn(chart.SwapScreen, between, orange).count, 10);
  const int going = InkIn(chart.SwapScreen, QRect(397, 254, 200, 16), orange).bounds.width();
  DrawAntennaMark(chart, {30, 45, true, 30, 45, true});
  const int there =
      InkIn(chart.SwapScreen, QRect(aim + QPoint(8, 13), QSize(200, 16)), orange).bounds.width();
  EXPECT_GT(there, going + 30);
}

TEST(Readout, PickingNamesAndDrawing) {
  ChartState chart;
  chart.SetSize(200, 100);
  // x, y, row
  struct Case { const char* name; std::vector<std::array<int, 3>> marks;
                float x, y; int row; double bx, by; };
  Case cases[] = {
      {"corner", {{58, 58, 7}}, 50, 50, 7, 58, 58}, {"corner", {{42, 42, 7}}, 50, 50, 7, 42, 42},
      {"one too far", {{59, 50, 7}}, 50, 50, 0, 0, 0},
      {"one too far up and left", {{50, 41, 7}, {41, 50, 7}}, 50, 50, 0, 0, 0},
      {"tie goes left", {{53, 50, 8}, {47, 50, 9}}, 50, 50, 9, 47, 50},
      {"tie goes up", {{50, 53, 8}, {50, 47, 9}}, 50, 50, 9, 50, 47},
      {"nearer wins", {{56, 50, 8}, {52, 52, 9}}, 50, 50, 9, 52, 52},
      {"left edge", {{0, 3, 5}}, 2, 2, 5, 0, 3},
      {"bottom right corner", {{200, 100, 5}}, 199, 99, 5, 200, 100},
      {"fractional pointer", {{51, 50, 4}}, 50.4f, 50, 4, 51.4f, 50},
  };
  for (const Case& c : cases) {
    std::fill(chart.PickMap.begin(), chart.PickMap.end(), 0);
    for (const auto& m : c.marks) chart.PickAt(m[0], m[1]) = m[2];
    const PickCandidate found = FindNearestSource(chart, c.x, c.y);
    EXPECT_EQ(found.Row, c.row) << c.name;
    EXPECT_LT(c.row ? std::hypot(found.X - c.bx, found.Y - c.by) : 0, 1e-5) << c.name;
  }

  ChartState wide;  // a chart wider than any screen of old: the map still answers
  wide.SetSize(7000, 60);
  wide.PickAt(6500, 30) = 5;
  EXPECT_EQ(FindNearestSource(wide, 6503, 31).Row, 5);

  SourceTable table;
  for (int i = 0; i < 8; ++i) table.AddRow();
  table.CatalogText[5][8] = "   ";
  table.CatalogText[4][8] = "\xC9toile";
  table.CatalogText[7][8] = " Sun ";
  table.CatalogText[7][3] = "-27.97";
  table.AzAlt[7] = {90, 12.345};
  EXPECT_EQ(ReadoutName(table, 5), "Star #5 (No Name Supplied)");
  EXPECT_EQ(ReadoutName(table, 4), QString::fromUtf8("Étoile"));
  EXPECT_EQ(ReadoutName(table, 7), "Sun");
  EXPECT_EQ(ReadoutAzimuth(table, 7, QLocale::c()), QString::fromUtf8("Azimuth: 270.00°"));
  EXPECT_EQ(ReadoutAltitude(table, 7, QLocale(QLocale::German)),
            QString::fromUtf8("Altitude: 12,35°"));

  // The lines sit 20 right of the source: name 20 above, flux 10 above,
  // azimuth 10 below, altitude 20 below; a grey leader and a red dotted ring.
  // With the name written as the flux line is, the two lines are the same
  // pixels 10 rows apart.
  table.CatalogText[7][8] = "FLUX: -27.97";
  chart.SwapScreen.fill(kBlack);
  chart.Picture1.fill(kBlack);
  const QRect drawn = DrawReadout(chart, table, {7, 0, 60, 50}, true, QLocale::c());
  auto green_rows = [&](int top, int bottom) {
    return InkIn(chart.Picture1, QRect(QPoint(80, top), QPoint(199, bottom)), Greenish).count;
  };
  for (int line_top : {30, 40, 60, 70})
    EXPECT_GT(green_rows(line_top + 2, line_top + 7), 3) << line_top;
  EXPECT_EQ(green_rows(50, 58), 0);  // the gap where the source's own row is
  for (int y = 33; y < 38; ++y)      // the lines' middles: the lines touch at their edges
    for (int x = 79; x < 200; ++x)
      ASSERT_EQ(chart.Picture1.pixel(x, y), chart.Picture1.pixel(x, y + 10)) << x << "," << y;
  auto left_edge = [&](int top) {
    return InkIn(chart.Picture1, QRect(70, top, 130, 10), Greenish).bounds.left();
  };
  EXPECT_EQ(left_edge(60), left_edge(70));  // "Azimuth" and "Altitude" start alike
  EXPECT_LE(std::abs(left_edge(60) - left_edge(30)), 1);  // and where the name starts
  EXPECT_EQ(chart.Picture1.pixel(62, 48), qRgb(85, 85, 85));  // the leader, 2 from the centre
  EXPECT_EQ(chart.Picture1.pixel(64, 50), qRgb(255, 0, 0));
  // Nothing is drawn outside the rectangle the readout reports.
  EXPECT_EQ(CountIn(chart.Picture1, chart.Picture1.rect(), kBlack),
            200 * 100 - drawn.width() * drawn.height() + CountIn(chart.Picture1, drawn, kBlack));
  RestoreCleanChart(chart);
  EXPECT_EQ(chart.Picture1, chart.SwapScreen);
  DrawReadout(chart, table, {7, 0, 60, 50}, false, QLocale::c());
  EXPECT_GT(green_rows(32, 37), 3);
  EXPECT_EQ(green_rows(40, 99), 0);  // without details only the name
  const QRect corner = DrawReadout(chart, table, {7, 0, 195, 5}, true, QLocale::c());
  EXPECT_TRUE(chart.Picture1.rect().contains(corner));
}

}  // namespace
}  // namespace skyvane

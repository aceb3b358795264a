// SPDX-License-Identifier: GPL-3.0-or-later
// The chart drawn into images, and the readout drawn over it.
#include <gtest/gtest.h>

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "chart/annotations.h"
#include "chart/dome_chart.h"
#include "chart/projection.h"
#include "interact/readout.h"
#include "kept_picture.h"

namespace skyvane {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);

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

// How many pixels of `area` are `is_ink`.
int InkIn(const QImage& image, QRect area, const std::function<bool(QRgb)>& is_ink) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += is_ink(image.pixel(x, y));
  return count;
}

int CountIn(const QImage& image, QRect area, QRgb colour) {
  return InkIn(image, area, [colour](QRgb c) { return c == colour; });
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
  SourceTable table;
  ChartState chart;
};

TEST_F(ChartTest, LayoutScalesAndGround) {
  Lay(10);
  EXPECT_EQ(chart.HalfWidth, 388.5);
  EXPECT_DOUBLE_EQ(chart.HorizonY, 411.2);
  Lay(0);  // no ground by night; the day's from the first rise of the Sun
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 513), kBlack);
  Lay(0.5);
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 513), qRgb(1, 129, 1));
  Lay(-3);
  Lay(-3, 1000, 514);  // a new width alone repaints the ground over all of it
  EXPECT_EQ(chart.SwapScreen2.pixel(999, 411), qRgb(1, 1, 81));
  EXPECT_EQ(chart.HalfWidth, 500);
  for (double ratio : {0.5, double(NAN), 1.5}) {  // a screen below 1x is drawn at 1x
    chart.SetSize(300, 200, ratio);
    EXPECT_EQ(chart.Picture1.size(), QSize(300, 200) * (ratio == 1.5 ? 1.5 : 1)) << ratio;
  }
}

TEST_F(ChartTest, DiscsThePickMapAndTheSun) {
  table.AzAlt[3] = {270, 30};
  Lay(30);
  EXPECT_EQ(chart.PickAt(At(0, 45).x(), At(0, 45).y()), 1);
  EXPECT_EQ(chart.ScreenPos[1][0], 388);                     // 388.5 goes to the even neighbour
  EXPECT_EQ(chart.PickAt(At(0, 50).x(), At(0, 50).y()), 0);  // row 0 is never drawn
  EXPECT_EQ(chart.PickAt(At(270, 30).x(), At(270, 30).y()), 3);
  EXPECT_EQ(chart.SwapScreen, chart.Picture1);
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

// The found source's ring only for a row on the chart; no beam, nor its
// elevation, without a width, and a beam however narrow.
TEST_F(ChartTest, TheFoundSourcesRingAndNoBeam) {
  table.AzAlt[3] = {270, 30};
  Lay(-5);
  const QImage plain = chart.Picture1;
  for (int row : {2, 4}) {  // below the horizon, past the table's end
    chart.FoundRow = row;
    DrawChart(chart, table, true);
    EXPECT_EQ(chart.Picture1, plain) << row;
  }
  chart.FoundRow = 3;
  DrawChart(chart, table, true);
  EXPECT_NE(chart.Picture1, plain);
  auto cyan = [](QRgb c) { return qRed(c) == 0 && qBlue(c) > 60; };
  EXPECT_EQ(InkIn(chart.Picture1, QRect(409, 180, 80, 40), cyan), 0);
  chart.FoundRow = 0;
  chart.BeamWidth = 0.5;  // with no source found
  DrawChart(chart, table, true);
  EXPECT_NE(chart.Picture1, plain);
}

// Moved, the antenna's mark takes only its own region with it: the chart
// under the old place comes back, and what lies outside both regions (a
// readout's ink, here) stays. A rotator's azimuth of another turn reads as
// its bearing.
TEST_F(ChartTest, TheAntennaMarkMovesWithItsOwnRegion) {
  Lay(-5);
  DrawAntennaMark(chart, {0, 45});
  EXPECT_EQ(chart.Picture1, chart.SwapScreen);  // drawn into the clean copy too
  const QImage marked = chart.SwapScreen;
  Lay(-5);
  const QImage unmarked = chart.SwapScreen;
  DrawAntennaMark(chart, {0, 45});
  chart.Picture1.setPixel(5, 5, qRgb(1, 2, 3));
  const QRect changed = DrawAntennaMark(chart, {-53.1, 30});
  EXPECT_TRUE(changed.contains(QRect(377, 229, 24, 24)));  // the old mark's ring and cross
  EXPECT_EQ(chart.Picture1.pixel(5, 5), qRgb(1, 2, 3));
  EXPECT_EQ(chart.SwapScreen.copy(377, 229, 24, 24), unmarked.copy(377, 229, 24, 24));
  const QImage other_turn = chart.SwapScreen;
  EraseAntennaMark(chart);
  EXPECT_EQ(chart.SwapScreen, unmarked);
  DrawAntennaMark(chart, {306.9, 30});
  EXPECT_EQ(chart.SwapScreen, other_turn);
  EXPECT_NE(chart.SwapScreen, marked);
  DrawAntennaMark(chart, {0, 89});  // cut by the top edge, and taken away whole
  EraseAntennaMark(chart);
  EXPECT_EQ(chart.SwapScreen, unmarked);
  DrawAntennaMark(chart, {0, 45});  // over row 1: a new drawing, with row 1 gone, forgets it
  table.AzAlt[1] = {0, -1};
  DrawChart(chart, table, true);
  const QImage redrawn = chart.SwapScreen;
  EraseAntennaMark(chart);
  EXPECT_EQ(chart.SwapScreen, redrawn);
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

  // Nothing is drawn outside the rectangle the readout reports, in the
  // middle or cut by the corner; the clean chart takes it all away.
  for (const QPoint at : {QPoint(60, 50), QPoint(195, 2)}) {
    chart.SwapScreen.fill(kBlack);
    chart.Picture1.fill(kBlack);
    const QRect drawn = DrawReadout(chart, table, {7, 0, double(at.x()), double(at.y())}, true,
                                    QLocale::c());
    EXPECT_EQ(CountIn(chart.Picture1, chart.Picture1.rect(), kBlack),
              200 * 100 - drawn.width() * drawn.height() + CountIn(chart.Picture1, drawn, kBlack))
        << at.x();
    EXPECT_TRUE(chart.Picture1.rect().contains(drawn));
    RestoreCleanChart(chart);
    EXPECT_EQ(chart.Picture1, chart.SwapScreen);
  }
}

// The chart as kept with the tests, twice: by day on a 1x screen, its texts
// bold, and at dusk on a 2x screen with the view turned. Discs of each style,
// one at the zenith, one below the horizon and two reaching in from past the
// edges; the ground, meridians, compass ring and view label; the beam and
// its elevation, the found source's ring, the antenna's mark and a readout.
TEST(ChartPictures, DayAndDuskLookAsKept) {
  SourceTable table;
  table.AddRow();
  // azimuth (north towards west), altitude, flux
  const std::array<double, 3> rows[] = {
      {0, 60, 0}, {20, 30, 4.9}, {340, 30, 12.5}, {40, 50, 150}, {0, 89.9, 8}, {10, -5, 400},
      {0, 20, 150}, {0, 20, -27.97}};
  for (const auto& [azimuth, altitude, flux] : rows) {
    const int r = table.AddRow();
    table.AzAlt[r] = {azimuth, altitude};
    table.Flux[r] = flux;
  }
  table.LastRow = table.SunRow = table.RowCount() - 1;
  table.CatalogText[2][8] = "3C 405";
  table.CatalogText[2][3] = "4.9";
  ChartState chart;
  LayOutChart(chart, table, 777, 514, 10, true);
  // Row 7's centre 5 pixels past the right edge, the Sun's 12.4 left of the left.
  const auto past = [&](double azimuth, double edge) {
    double sx = 0, sy = 0;
    while (ProjectSkyPoint(azimuth, 20, chart.HalfWidth, chart.HorizonY, sx, sy),
           edge > 0 ? sx < edge : sx > edge)
      azimuth += 0.01;
    return azimuth;
  };
  table.AzAlt[7][0] = past(265, 777 + 5);
  table.AzAlt[8][0] = past(95, -12.4);
  chart.ScopeMarkerY = 0.4 * 514;
  chart.BeamWidth = 4;
  chart.FoundRow = 4;
  DrawChart(chart, table, true);
  DrawAntennaMark(chart, {0, 45, true, 30, 45, false});
  DrawReadout(chart, table, FindNearestSource(chart, chart.ScreenPos[2][0], chart.ScreenPos[2][1]),
              true, QLocale::c());
  LooksAsKept(chart.Picture1, "chart_day.png");

  chart.ViewAzimuth = 310.5;
  chart.BeamWidth = 0.5;  // a large dish's narrow beam is a beam too
  chart.FoundRow = 8;
  LayOutChart(chart, table, 777, 514, -3, false, 2);
  DrawAntennaMark(chart, {330, 30, true, 330, 30, true});
  DrawReadout(chart, table, FindNearestSource(chart, chart.ScreenPos[8][0], chart.ScreenPos[8][1]),
              false, QLocale::c());
  LooksAsKept(chart.Picture1, "chart_dusk.png");
}

}  // namespace
}  // namespace skyvane

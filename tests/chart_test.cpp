#include <gtest/gtest.h>

#include <cmath>

#include "chart/annotations.h"
#include "chart/dome_chart.h"

namespace skyvane {
namespace {

TEST(ProjectSkyPoint, DomeExamples) {
  // clang-format off
  struct Case {
    double azimuth, altitude, sx, sy;
  } cases[] = {
      {0, 0, 388.5, 411.2},    // north on the horizon, chart centre
      {0, 90, 388.5, 0},       // zenith on the top edge
      {90, 0, 0, 411.2},       // west on the left edge
      {270, 0, 777, 411.2},    // east on the right edge
      {360, 0, 388.5, 411.2},  // a view turned by a full circle
  };
  // clang-format on
  for (const Case& c : cases) {
    double sx, sy;
    ASSERT_TRUE(ProjectSkyPoint(c.azimuth, c.altitude, 388.5, 411.2, sx, sy));
    EXPECT_NEAR(sx, c.sx, 1e-6) << c.azimuth << "," << c.altitude;
    EXPECT_NEAR(sy, c.sy, 1e-6) << c.azimuth << "," << c.altitude;
  }
  double sx, sy;
  EXPECT_FALSE(ProjectSkyPoint(180, 0, 388.5, 411.2, sx, sy));  // straight behind
  ASSERT_TRUE(ProjectSkyPoint(180, 45, 388.5, 411.2, sx, sy));
  EXPECT_LT(sy, 0);  // behind and above: off the top edge
}

TEST(FluxStyle, ColourTableAndCap) {
  // clang-format off
  struct Case {
    double flux;
    int32_t colour;
    double capped;
  } cases[] = {
      {0, 16686022, 0},       {1, 16620329, 1},       {4.9, 16423250, 4.9},
      {5, 16382457, 5},       {12, 15921906, 12},     {12.5, 15873506, 12.5},
      {20, 15348762, 20},     {100, 10101322, 100},   {150, 6821672, 150},
      {400, 6821672, 150},
  };
  // clang-format on
  for (const Case& c : cases) {
    double flux = c.flux;
    float radius = -1;
    EXPECT_EQ(FluxStyle(flux, 0.1413f, radius), c.colour) << c.flux;
    EXPECT_EQ(flux, c.capped);
    EXPECT_FLOAT_EQ(radius, static_cast<float>((c.capped + 1) * 0.1413f));
  }
  EXPECT_EQ(FromColourValue(6821672), qRgb(40, 23, 104));
  EXPECT_EQ(FromColourValue(15873506), qRgb(226, 53, 242));
}

TEST(FluxStyle, FluxBelowMinusOneKeepsTheLow24Bits) {
  double flux = -27.97;
  float radius = 5;
  const int32_t colour = FluxStyle(flux, 0.14f, radius);
  EXPECT_GE(colour, 0);
  EXPECT_LE(colour, 0xFFFFFF);
  EXPECT_EQ(colour, static_cast<int32_t>(std::fmod(282.0 * 157 + 282.0 * 65536, 16777216.0)));
  EXPECT_EQ(radius, 0);  // no negative radius reaches the painter
  flux = -1e300;
  FluxStyle(flux, 0.14f, radius);
  EXPECT_EQ(radius, 0);
  flux = -INFINITY;
  EXPECT_EQ(FluxStyle(flux, 0.14f, radius), 0);
}

TEST(Annotations, ViewLabelAndCompassNames) {
  EXPECT_EQ(ViewLabelText(0), QString::fromUtf8(" 0°"));
  EXPECT_EQ(ViewLabelText(90), QString::fromUtf8(" 90°"));
  EXPECT_EQ(ViewLabelText(359.75), QString::fromUtf8(" 359.75°"));
  EXPECT_EQ(ViewLabelText(0.25), QString::fromUtf8(" .25°"));
  ChartState chart;
  struct Case {
    double view, internal;
    const char* name;
  } cases[] = {{0, 0, "N"},           {0, 22.5, "NNW"},  {0, 90, "W"},  {0, 180, "S"},
               {0, 270, "E"},         {0, 337.5, "NNE"}, {0, 350, "N"}, {90, 270, "E"},
               {0.25, -157.5, "SSE"}, {0.25, 180, "S"}};
  for (const Case& c : cases) {
    chart.ViewAzimuth = c.view;
    EXPECT_EQ(CompassName(chart, c.internal + c.view), QString::fromLatin1(c.name))
        << c.view << " " << c.internal;
  }
}

TEST(ClipSegment, KeepsOnlyThePartInTheBox) {
  const QRectF box(0, 0, 100, 100);
  QLineF line(-1e12, 50, 50, 50);
  ASSERT_TRUE(ClipSegment(line, box));
  EXPECT_DOUBLE_EQ(line.x1(), 0);
  EXPECT_DOUBLE_EQ(line.x2(), 50);
  line = QLineF(-10, -10, -5, 200);
  EXPECT_FALSE(ClipSegment(line, box));
}

// A chart with one catalogue row (besides row 0) and the Sun.
class ChartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 4; ++i) table.AddRow();
    table.LastRow = table.SunRow = 3;
    table.Flux = {0, 8, 8, -27.97};
    Place(1, 0, 45);
    Place(2, 90, -10);
    Place(3, 0, -5);
  }
  void Place(int row, double azimuth, double altitude) { table.AzAlt[row] = {azimuth, altitude}; }
  void Lay(double sun_altitude) { LayOutChart(chart, table, 777, 514, sun_altitude); }
  int32_t PickNear(double azimuth, double altitude) const {
    double sx, sy;
    ProjectSkyPoint(azimuth + chart.ViewAzimuth, altitude, chart.HalfWidth, chart.HorizonY, sx, sy);
    return chart.PickAt(static_cast<int>(std::nearbyint(sx)), static_cast<int>(std::nearbyint(sy)));
  }

  SourceTable table;
  ChartState chart;
};

TEST_F(ChartTest, LayoutScalesAndGroundColours) {
  Lay(10);
  EXPECT_EQ(chart.HalfWidth, 388.5);
  EXPECT_DOUBLE_EQ(chart.HorizonY, 411.2);
  EXPECT_EQ(chart.SymbolScale, static_cast<float>(std::sqrt(514 * 777 / 2e7)));
  EXPECT_NEAR(chart.SymbolScale, 0.1413, 1e-4);
  EXPECT_EQ(chart.SwapScreen.size(), QSize(777, 514));
  EXPECT_EQ(chart.SwapScreen2.size(), QSize(777, 514));
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 410), qRgb(0, 0, 0));
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 411), qRgb(1, 81, 1));
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 436), qRgb(1, 105, 1));
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 437), qRgb(1, 105, 1));
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 461), qRgb(1, 129, 1));
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 512), qRgb(1, 129, 1));
  Lay(-3);
  EXPECT_EQ(chart.SwapScreen2.pixel(5, 411), qRgb(1, 1, 81));
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 512), qRgb(1, 1, 129));
  Lay(0);
  EXPECT_EQ(chart.SwapScreen2.pixel(700, 512), qRgb(0, 0, 0));
}

TEST_F(ChartTest, DrawnRowsAreRecordedAndCleared) {
  Lay(-5);
  EXPECT_EQ(PickNear(0, 45), 1);
  EXPECT_EQ(chart.ScreenPos[1][0], 388);  // 388.5 goes to the even neighbour
  EXPECT_EQ(chart.SwapScreen, chart.Picture1);
  const auto old_pos = chart.ScreenPos[1];
  Place(1, 0, -1);  // sets below the horizon
  DrawChart(chart, table);
  EXPECT_EQ(chart.PickAt(old_pos[0], old_pos[1]), 0);
  EXPECT_EQ(chart.ScreenPos[1], old_pos);  // kept, although its cell was cleared
  EXPECT_EQ(chart.SwapScreen, chart.Picture1);
}

TEST_F(ChartTest, LaterRowWinsASharedPixelAndRowZeroIsNeverDrawn) {
  Place(0, 10, 10);
  Place(2, 0, 45);
  Lay(-5);
  EXPECT_EQ(PickNear(0, 45), 2);
  EXPECT_EQ(PickNear(10, 10), 0);
}

TEST_F(ChartTest, SunIsAYellowDiscOnlyAboveTheHorizon) {
  Place(1, 0, -20);
  Place(3, 270, 30);  // east-south-east of the view, on the right
  Lay(30);
  double sx, sy;
  ProjectSkyPoint(270, 30, chart.HalfWidth, chart.HorizonY, sx, sy);
  EXPECT_EQ(chart.Picture1.pixel(int(std::nearbyint(sx)) - 11, int(std::nearbyint(sy))),
            qRgb(255, 255, 0));
  EXPECT_EQ(PickNear(270, 30), 3);
  Place(3, 270, -1);
  Lay(-1);
  EXPECT_EQ(chart.Picture1.pixel(int(std::nearbyint(sx)) - 11, int(std::nearbyint(sy))),
            qRgb(0, 0, 0));
}

TEST_F(ChartTest, ScopeMarkerOnlyWithADiscDrawn) {
  chart.ScopeMarkerY = 200;
  auto cyan_count = [&] {
    int n = 0;
    for (int y = 175; y < 226; ++y)
      for (int x = 360; x < 420; ++x) n += chart.Picture1.pixel(x, y) == qRgb(0, 255, 255);
    return n;
  };
  Lay(-5);
  EXPECT_GT(cyan_count(), 40);
  Place(1, 0, -1);
  DrawChart(chart, table);
  EXPECT_EQ(cyan_count(), 0);
}

TEST_F(ChartTest, ViewTurnsTheSkyAndFarPointsAreHarmless) {
  Place(1, 270, 0);  // east on the horizon
  chart.ViewAzimuth = 90;
  Lay(-5);
  EXPECT_EQ(PickNear(270, 0), 1);
  EXPECT_NEAR(chart.ScreenPos[1][0], 388.5, 0.5);
  EXPECT_EQ(chart.ScreenPos[1][1], 411);
  for (double view : {270.0, 359.75, 180.0, 0.25, 10.0}) {
    chart.ViewAzimuth = view;
    DrawChart(chart, table);  // meridians behind the observer project far away
    EXPECT_EQ(chart.SwapScreen, chart.Picture1);
  }
}

TEST_F(ChartTest, ResizedSurfacesKeepTheirSizeTogether) {
  for (QSize size : {QSize(320, 120), QSize(1600, 1000), QSize(1, 1), QSize(0, 0)}) {
    LayOutChart(chart, table, size.width(), size.height(), 3);
    EXPECT_EQ(chart.Picture1.size(), size);
    EXPECT_EQ(chart.SwapScreen.size(), size);
    EXPECT_EQ(chart.SwapScreen2.size(), size);
    EXPECT_EQ(chart.PickWidth, size.width() + 1);
  }
}

}  // namespace
}  // namespace skyvane

#include "interact/readout.h"

#include <gtest/gtest.h>

#include "chart/dome_chart.h"

namespace skyvane {
namespace {

class ReadoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.SetSize(200, 100);
    for (int i = 0; i < 60; ++i) table.AddRow();
    table.LastRow = table.SunRow = 59;
  }
  void Mark(int x, int y, int row) { chart.PickAt(x, y) = row; }
  SourceTable table;
  ChartState chart;
};

TEST_F(ReadoutTest, NearestInTheWindowWins) {
  // clang-format off
  struct Case {
    const char* name;
    std::vector<std::array<int, 3>> marks;  // x, y, row
    float x, y;
    int row;
    double bx, by;
  } cases[] = {
      {"exact", {{50, 50, 7}}, 50, 50, 7, 50, 50},
      {"corner", {{58, 58, 7}}, 50, 50, 7, 58, 58},
      {"one too far", {{59, 50, 7}}, 50, 50, 0, 0, 0},
      {"tie goes left", {{53, 50, 8}, {47, 50, 9}}, 50, 50, 9, 47, 50},
      {"tie goes up", {{50, 53, 8}, {50, 47, 9}}, 50, 50, 9, 50, 47},
      {"nearer wins", {{56, 50, 8}, {52, 52, 9}}, 50, 50, 9, 52, 52},
      {"left edge", {{0, 3, 5}}, 2, 2, 5, 0, 3},
      {"bottom right corner", {{200, 100, 5}}, 199, 99, 5, 200, 100},
      {"beyond the surface", {}, 230, 130, 0, 0, 0},
      {"fractional pointer", {{51, 50, 4}}, 50.4f, 50, 4, 50.4f + 1, 50},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::fill(chart.PickMap.begin(), chart.PickMap.end(), 0);
    for (const auto& m : c.marks) Mark(m[0], m[1], m[2]);
    const PickCandidate found = FindNearestSource(chart, c.x, c.y);
    EXPECT_EQ(found.Row, c.row);
    if (c.row != 0) {
      EXPECT_NEAR(found.X, c.bx, 1e-5);
      EXPECT_NEAR(found.Y, c.by, 1e-5);
    }
  }
}

TEST_F(ReadoutTest, Texts) {
  table.CatalogText[57][8] = "   ";
  table.CatalogText[3][8] = " 3c99 ";
  table.CatalogText[4][8] = "\xC9toile";
  table.AzAlt[3] = {90, 12.345};
  table.AzAlt[4] = {0, -0.004};
  const QLocale english(QLocale::English);
  const QLocale german(QLocale::German);
  EXPECT_EQ(ReadoutName(table, 57), "Star #57 (No Name Supplied)");
  EXPECT_EQ(ReadoutName(table, 3), "3c99");
  EXPECT_EQ(ReadoutName(table, 4), QString::fromUtf8("Étoile"));
  EXPECT_EQ(ReadoutAzimuth(table, 3, english), QString::fromUtf8("Azimuth: 270.00°"));
  EXPECT_EQ(ReadoutAzimuth(table, 4, english), QString::fromUtf8("Azimuth: 360.00°"));
  EXPECT_EQ(ReadoutAltitude(table, 3, english), QString::fromUtf8("Altitude: 12.35°"));
  EXPECT_EQ(ReadoutAltitude(table, 3, german), QString::fromUtf8("Altitude: 12,35°"));
}

TEST_F(ReadoutTest, DrawingAndWipingTheReadout) {
  table.CatalogText[7][8] = "Sun";
  table.CatalogText[7][3] = "-27.97";
  chart.SwapScreen.fill(qRgb(1, 2, 3));
  chart.Picture1.fill(qRgb(1, 2, 3));
  PickCandidate found{7, 0, 60, 50};
  const QRect drawn = DrawReadout(chart, table, found, true, QLocale::c());
  EXPECT_FALSE(chart.FontBold);
  EXPECT_NE(chart.Picture1, chart.SwapScreen);
  EXPECT_EQ(chart.Picture1.pixel(64, 50), qRgb(255, 0, 0));  // the dotted ring's rightmost dot
  // everything drawn lies in the reported rectangle
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (chart.Picture1.pixel(x, y) != qRgb(1, 2, 3)) {
        ASSERT_TRUE(drawn.contains(x, y)) << x << "," << y;
      }
    }
  }
  RestoreCleanChart(chart);
  EXPECT_EQ(chart.Picture1, chart.SwapScreen);
  // without details only the name line, the leader and the ring
  DrawReadout(chart, table, found, false, QLocale::c());
  bool below = false;
  for (int y = 60; y < 100; ++y)
    for (int x = 80; x < 200; ++x) below |= chart.Picture1.pixel(x, y) != qRgb(1, 2, 3);
  EXPECT_FALSE(below);
}

}  // namespace
}  // namespace skyvane

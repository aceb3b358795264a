// SPDX-License-Identifier: GPL-3.0-or-later
// The chart update pass, the mouse readout and the row conversion against
// budgets. Run build/bench/skyvane_bench; each figure is printed with its
// budget at the end. The row conversion is timed as the pass runs it: the
// declination's sine and cosine kept per row, the latitude's per pass.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QStandardPaths>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "bench_support.h"
#include "catalogue/catalogue_reader.h"
#include "chart/dome_chart.h"
#include "sky/angles.h"
#include "sky/horizontal.h"
#include "sky/sky_pass.h"
#ifdef SKYVANE_HAVE_ERFA
#include <erfa.h>
#endif

namespace skyvane {
namespace {

BenchClock clock_for_bench;

void BM_FullPassShippedCatalogue(benchmark::State& state) {
  auto form = StartWindow(clock_for_bench, QStringLiteral(SKYVANE_DATA_DIR));
  for (auto _ : state) form->RecalculateSky();
  state.counters["rows"] = form->Sources().RowCount();
}
BENCHMARK(BM_FullPassShippedCatalogue)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_FullPassPositionsOfDate(benchmark::State& state) {
  auto form = StartWindow(clock_for_bench, QStringLiteral(SKYVANE_DATA_DIR));
  form->findChild<QAction*>(QStringLiteral("actionPositionsOfDate"))->setChecked(true);
  for (auto _ : state) form->RecalculateSky();
  form->findChild<QAction*>(QStringLiteral("actionPositionsOfDate"))->setChecked(false);
}
BENCHMARK(BM_FullPassPositionsOfDate)->Unit(benchmark::kMillisecond)->MinTime(2);

// The whole plan of the shipped catalogue as its window makes it: every
// source's day with its texts, and the drift list through a 5-degree beam.
void BM_PlanShippedCatalogue(benchmark::State& state) {
  auto form = StartWindow(clock_for_bench, QStringLiteral(SKYVANE_DATA_DIR));
  form->OpenPlan();  // which takes the start of its day
  PlanInputs inputs = form->MakePlanInputs();
  inputs.BeamWidth = 5;
  inputs.BeamAltitude = 60;
  for (auto _ : state) {
    PlanTable sources = SourcesTable(inputs);
    PlanTable drift = DriftTable(inputs);
    benchmark::DoNotOptimize(sources.Lines.data());
    benchmark::DoNotOptimize(drift.Lines.data());
  }
}
BENCHMARK(BM_PlanShippedCatalogue)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_FullPass20000Rows(benchmark::State& state) {
  QTemporaryDir dir;
  auto form = StartWindow(clock_for_bench, GeneratedCatalogue(dir, 20000));
  for (auto _ : state) form->RecalculateSky();
  state.counters["rows"] = form->Sources().RowCount();
}
BENCHMARK(BM_FullPass20000Rows)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_StartUpMillionLines(benchmark::State& state) {
  QTemporaryDir dir;
  {
    QFile file(dir.filePath(QStringLiteral("StarData.txt")));
    if (!file.open(QIODevice::WriteOnly)) return;
    QByteArray text;
    for (int i = 0; i < 1000000; ++i) {
      text += QByteArray::number(i) + "\t\tX\t3.5\t\t\t1h2'3''\t+4*5'6''\t\r\n";
    }
    file.write(text);
  }
  for (auto _ : state) {
    auto form = StartWindow(clock_for_bench, dir.path());
    benchmark::DoNotOptimize(form.get());
  }
}
BENCHMARK(BM_StartUpMillionLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// A user's table of a million rows, from the file: the brightest 19,999 kept.
void BM_OpenMillionRowTable(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.csv"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    QByteArray text = "name,raj2000,dej2000,flux\n";
    for (int i = 0; i < 1000000; ++i) {
      text += "S" + QByteArray::number(i) + "," + QByteArray::number((i * 7) % 360) + ".5," +
              QByteArray::number(i % 170 - 80) + ".25," + QByteArray::number(1 + i % 977) + "\n";
    }
    file.write(text);
  }
  for (auto _ : state) {
    SourceTable table;
    LoadCatalogueFile(QFile::encodeName(path).toStdString(), table);
    benchmark::DoNotOptimize(table.RowCount());
  }
}
BENCHMARK(BM_OpenMillionRowTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same million rows in the catalogue format, for the ratio: that format
// stops taking rows at the table's limit and only counts the rest.
void BM_OpenMillionLineCatalogue(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.txt"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    QByteArray text = "Number\tone\tName\tFlux\tfour\tfive\tRA\tDec\tProper Name\r\n";
    for (int i = 0; i < 1000000; ++i) {
      text += QByteArray::number(i + 1) + "\t\tS" + QByteArray::number(i) + "\t" +
              QByteArray::number(1 + i % 977) + "\t\t\t" + QByteArray::number((i * 7) % 24) +
              "h30'0''\t" + (i % 170 < 80 ? "-" : "+") +
              QByteArray::number(std::abs(i % 170 - 80)) + "*15'0''\t\r\n";
    }
    file.write(text);
  }
  for (auto _ : state) {
    SourceTable table;
    LoadCatalogueFile(QFile::encodeName(path).toStdString(), table);
    benchmark::DoNotOptimize(table.RowCount());
  }
}
BENCHMARK(BM_OpenMillionLineCatalogue)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MouseReadout(benchmark::State& state) {
  auto form = StartWindow(clock_for_bench, QStringLiteral(SKYVANE_DATA_DIR));
  // Points over recorded sources, so every move draws a full readout.
  std::vector<QPoint> points;
  for (int r = 1; r < form->Sources().RowCount() && points.size() < 64; ++r) {
    const auto [x, y] = form->Chart().ScreenPos[r];
    if (x > 20 && y > 30 && x < 700 && y < 400 && form->Chart().PickAt(x, y) == r) {
      points.emplace_back(x, y);
    }
  }
  size_t i = 0;
  for (auto _ : state) {
    const QPoint p = points[i++ % points.size()];
    form->Picture1_MouseMove(p.x() + 1.0f, p.y() + 1.0f);
  }
}
BENCHMARK(BM_MouseReadout)->Unit(benchmark::kMicrosecond)->MinTime(1);

// The pass and the drawing on a screen of `ratio` device pixels per chart
// pixel: a scaled screen must not cost more than three times a plain one.
void BM_PassAndDraw(benchmark::State& state, double ratio) {
  SourceTable table;
  LoadCatalogueFile(SKYVANE_DATA_DIR "/StarData.txt", table);
  SettingsFields fields;
  fields.Latitude = "42.2";
  fields.Longitude = "-82.84";
  fields.Date = {"6", "21", "2024"};
  fields.Time = {"22", "30", "0"};
  fields.ClockMode = kClock24;
  SkyState sky;
  ChartState chart;
  ComputeSky(fields, sky, table);
  LayOutChart(chart, table, 777, 513, sky.SunAltitude, true, ratio);
  for (auto _ : state) {
    SettingsFields again = fields;
    ComputeSky(again, sky, table);
    DrawChart(chart, table, true);
  }
}
BENCHMARK_CAPTURE(BM_PassAndDraw, 1x, 1.0)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK_CAPTURE(BM_PassAndDraw, 2x, 2.0)->Unit(benchmark::kMillisecond)->MinTime(1);

struct Rows {
  std::vector<double> ra, dec;
};

const Rows& ShippedRows() {
  static Rows rows = [] {
    SourceTable table;
    LoadCatalogueFile(SKYVANE_DATA_DIR "/StarData.txt", table);
    Rows out;
    for (int r = 0; r < table.RowCount(); ++r) {
      out.ra.push_back(table.RaDec[r][0]);
      out.dec.push_back(table.RaDec[r][1]);
    }
    return out;
  }();
  return rows;
}

void BM_ToHorizontal(benchmark::State& state) {
  SourceTable table;
  LoadCatalogueFile(SKYVANE_DATA_DIR "/StarData.txt", table);
  double lst = 10;
  for (auto _ : state) {
    const double sin_lat = std::sin(42.2 * kDegree), cos_lat = std::cos(42.2 * kDegree);
    ToHorizontalRows(table.RaDec.data(), table.SinDec.data(), table.CosDec.data(), table.RowCount(),
                     sin_lat, cos_lat, lst, table.AzAlt.data());
    benchmark::DoNotOptimize(table.AzAlt.data());
    benchmark::ClobberMemory();
    lst = std::fmod(lst + 0.25, 360);
  }
}
BENCHMARK(BM_ToHorizontal)->Unit(benchmark::kMicrosecond);

#ifdef SKYVANE_HAVE_ERFA
void BM_Hd2ae(benchmark::State& state) {
  const Rows& rows = ShippedRows();
  double lst = 10;
  for (auto _ : state) {
    double sum = 0;
    for (size_t r = 0; r < rows.ra.size(); ++r) {
      double ha = lst - rows.ra[r];
      if (ha < 0) ha += 360;
      double az, el;
      eraHd2ae(ha * kDegree, rows.dec[r] * kDegree, 42.2 * kDegree, &az, &el);
      sum += az + el;
    }
    benchmark::DoNotOptimize(sum);
    lst = std::fmod(lst + 0.25, 360);
  }
}
BENCHMARK(BM_Hd2ae)->Unit(benchmark::kMicrosecond);
#endif

// Collects each benchmark's real time per iteration, in milliseconds.
class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ms;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
      ms[run.run_name.function_name] = run.GetAdjustedRealTime() *
                                       benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                                       benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace
}  // namespace skyvane

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);  // the menu's choice is not the user's
  benchmark::Initialize(&argc, argv);
  skyvane::BudgetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto line = [&](const char* what, const char* name, double budget_ms, double scale,
                  const char* unit) {
    auto it = reporter.ms.find(name);
    if (it == reporter.ms.end()) return;
    const double value = it->second * scale;
    std::printf("%-44s %9.3f %s   budget %7.3f %s   %s\n", what, value, unit, budget_ms * scale,
                unit, it->second <= budget_ms ? "ok" : "OVER");
  };
  std::printf("\nBudgets\n");
  line("full pass, shipped catalogue, 777x513", "BM_FullPassShippedCatalogue", 3, 1, "ms");
  const auto plain = reporter.ms.find("BM_FullPassShippedCatalogue");
  if (plain != reporter.ms.end()) {
    line("full pass, positions for the date", "BM_FullPassPositionsOfDate", plain->second + 0.2, 1,
         "ms");
  }
  line("full pass, 20,000 rows", "BM_FullPass20000Rows", 12, 1, "ms");
  const auto plan = reporter.ms.find("BM_PlanShippedCatalogue");
  if (plain != reporter.ms.end() && plan != reporter.ms.end()) {
    std::printf("%-44s %9.3f ms  %.3f ms  ratio %.2f, budget 5   %s\n",
                "the day's plan, shipped catalogue; a pass", plan->second, plain->second,
                plan->second / plain->second, plan->second <= 5 * plain->second ? "ok" : "OVER");
  }
  line("mouse readout", "BM_MouseReadout", 0.3, 1, "ms");
  line("start-up with a 1,000,000-line catalogue", "BM_StartUpMillionLines", 1000, 1, "ms");
  line("opening a 1,000,000-row table", "BM_OpenMillionRowTable", 2000, 1, "ms");
  const auto table = reporter.ms.find("BM_OpenMillionRowTable");
  const auto format = reporter.ms.find("BM_OpenMillionLineCatalogue");
  if (table != reporter.ms.end() && format != reporter.ms.end()) {
    std::printf("%-44s %9.3f ms  %.3f ms  ratio %.2f, budget 3   %s\n",
                "1,000,000 rows: a table, the catalogue format", table->second, format->second,
                table->second / format->second,
                table->second <= 3 * format->second ? "ok" : "OVER");
  }
  const auto one = reporter.ms.find("BM_PassAndDraw/1x");
  const auto two = reporter.ms.find("BM_PassAndDraw/2x");
  if (one != reporter.ms.end() && two != reporter.ms.end()) {
    std::printf("%-44s %9.3f ms  %.3f ms  ratio %.2f, budget 3   %s\n",
                "pass and drawing at 1x, at 2x", one->second, two->second,
                two->second / one->second, two->second <= 3 * one->second ? "ok" : "OVER");
  }
  const auto ours = reporter.ms.find("BM_ToHorizontal");
  const auto theirs = reporter.ms.find("BM_Hd2ae");
  if (ours != reporter.ms.end() && theirs != reporter.ms.end()) {
    std::printf("%-44s %9.3f      budget   1.000      %s\n", "ToHorizontal / eraHd2ae time ratio",
                ours->second / theirs->second, ours->second <= theirs->second ? "ok" : "OVER");
  }
  benchmark::Shutdown();
  return 0;
}

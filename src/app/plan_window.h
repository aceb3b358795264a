// SPDX-License-Identifier: GPL-3.0-or-later
// The plan of a day's observing: when each source of the table rises,
// transits and sets, and what drifts through a fixed dish's beam, in a
// window of its own. The main window only opens it, hands it the sky to
// plan for, and is told where to go when the user picks a line.
#pragma once

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVariant>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "sky/plan.h"
#include "time/moment.h"

namespace skyvane {

// What a plan is made for, taken from the main window when it is made.
struct PlanInputs {
  PlanStart Start;
  Moment StartMoment;  // the fields' moment, local time
  double ZoneHours = 0;
  double MinElevation = 0;                   // the antenna's lowest elevation, degrees
  std::vector<std::array<double, 2>> RaDec;  // per row, as the chart places them
  std::vector<QString> Names, FluxTexts;
  int SunRow = -1;
  // The dish of the drift list: compass azimuth and altitude it stays at,
  // and the beam's half-power width (0: none set).
  double BeamAzimuth = 0, BeamAltitude = 0, BeamWidth = 0;
  QString Place;  // the observer's place as the heading shows it
};

// What a column of a plan's table holds.
enum class PlanColumn { kName, kFlux, kAngle, kTime, kHours, kMinutes };

// One line of a plan's table: the row of the source table, the value of
// each column after the name and the flux (times in hours from the start,
// NaN for none), the hours to go to by default and the filters' facts.
// Texts are made only for the cells shown.
struct PlanLine {
  int Row = 0;
  QString Name, FluxText;
  std::vector<double> Values;
  SourceDay::Visibility Up = SourceDay::kRisesAndSets;
  double GoTo = kNoTime;
  double Flux = 0;
  bool UpNow = false, ReachesMinimum = false;
};
struct PlanTable {
  QStringList Headers;
  std::vector<PlanColumn> Columns;
  std::vector<PlanLine> Lines;
  Moment Start;    // the local moment the times count from
  QString Reason;  // why the table is empty, when it is
  // A cell's text as the table shows it, and the value it sorts by.
  QString Text(const PlanLine& line, int column) const;
  QVariant SortValue(const PlanLine& line, int column) const;
};

// The sources' table and the drift list for `inputs`.
PlanTable SourcesTable(const PlanInputs& inputs);
PlanTable DriftTable(const PlanInputs& inputs);

// A moment `hours` after the start as the table shows it: "21:05", with
// the date in front when it is not the start's ("9 Dec 03:12").
QString PlanTimeText(const Moment& start, double hours);

class PlanModel;

class PlanWindow : public QWidget {
 public:
  PlanWindow();
  ~PlanWindow() override;

  // Makes the plan for `inputs`, or with `drift_only` its drift list alone
  // (the sources' table, its selection and scroll, stay); a table of more
  // than `background_rows` rows is computed beside the window's thread.
  void Compute(PlanInputs inputs, bool drift_only = false);
  void SetBackgroundRows(int rows) { background_rows_ = rows; }
  // Whether a plan is being made beside the window; tests wait for it.
  bool Computing() const { return worker_.joinable() && computing_; }
  // The altitudes the chart last computed, for the "altitude now" column.
  void ShowAltitudes(const std::vector<std::array<double, 2>>& az_alt);

  // Goes to a line as shown (after filter and sort) of tab 0 (sources) or 1
  // (drift): to the time of `column` when it is one, else to the line's own.
  void GoToLine(int tab, int shown_row, int column);
  // Where to go: a local moment and a row; `turn_view` false for the drift
  // list, whose dish stays where it points.
  std::function<void(const Moment& local, int row, bool turn_view)> GoTo;

  // Writes the table shown, filter and sort kept, as CSV; empty, or why not.
  QString ExportCsv(const QString& path) const;

  // For tests and the main window.
  QTabWidget* Tabs = nullptr;
  QTableView *SourcesView = nullptr, *DriftView = nullptr;
  QLineEdit* FilterText = nullptr;
  QDoubleSpinBox* FilterFlux = nullptr;
  QCheckBox *FilterUpNow = nullptr, *FilterReaches = nullptr;
  QLabel *Heading = nullptr, *Count = nullptr, *DriftHeading = nullptr;

 private:
  void Show(std::optional<PlanTable> sources, PlanTable drift, PlanInputs inputs);
  void ShowSources(PlanTable sources, const PlanInputs& inputs);
  void ShowCount();
  QSortFilterProxyModel* Proxy(int tab) const;

  PlanModel *sources_, *drift_;
  QSortFilterProxyModel *sources_proxy_, *drift_proxy_;
  Moment start_;
  double zone_hours_ = 0;
  int background_rows_ = 5000;
  std::thread worker_;
  bool computing_ = false;
  int generation_ = 0;
};

}  // namespace skyvane

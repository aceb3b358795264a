// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/plan_window.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMetaObject>
#include <QVBoxLayout>
#include <cmath>

#include "base/number_text.h"
#include "sky/find_source.h"
#include "sky/horizontal.h"
#include "time/calendar.h"

namespace skyvane {

class PlanModel : public QAbstractTableModel {
 public:
  explicit PlanModel(QObject* parent) : QAbstractTableModel(parent) {}
  void Set(PlanTable table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
  }
  const PlanTable& Table() const { return table_; }
  PlanTable& Table() { return table_; }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.Lines.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(table_.Headers.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const PlanLine& line = table_.Lines[static_cast<size_t>(index.row())];
    const int column = index.column();
    if (role == Qt::DisplayRole) return table_.Text(line, column);
    if (role == Qt::UserRole) return table_.SortValue(line, column);
    if (role == Qt::TextAlignmentRole && column > 0) {
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return table_.Headers[section];
    return {};
  }
  // The "altitude now" column takes new values without a new table.
  void Refresh(int column) {
    if (!table_.Lines.empty()) emit dataChanged(index(0, column), index(rowCount() - 1, column));
  }

 private:
  PlanTable table_;
};

namespace {

// The table's line shown at `shown` through the filter and the sort.
int SourceRow(const QSortFilterProxyModel& proxy, int shown) {
  return proxy.mapToSource(proxy.index(shown, 0)).row();
}

// Times a table sorts last: none at all.
constexpr double kNever = std::numeric_limits<double>::infinity();

QString Degrees(double value, int decimals = 2) {
  return QString::number(value, 'f', decimals);
}

// The sources' filter: text, flux, up now, reaching the minimum elevation.
class PlanFilter : public QSortFilterProxyModel {
 public:
  explicit PlanFilter(PlanWindow* window) : QSortFilterProxyModel(window), window_(window) {}
  void Refilter() { invalidateFilter(); }

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex&) const override {
    const auto* model = static_cast<const PlanModel*>(sourceModel());
    const PlanLine& line = model->Table().Lines[static_cast<size_t>(source_row)];
    if (window_->FilterUpNow->isChecked() && !line.UpNow) return false;
    if (window_->FilterReaches->isChecked() && !line.ReachesMinimum) return false;
    if (line.Flux < window_->FilterFlux->value()) return false;
    const std::string wanted = MatchKey(window_->FilterText->text().toStdString());
    return wanted.empty() || MatchKey(line.Name.toStdString()).find(wanted) != std::string::npos;
  }

 private:
  const PlanWindow* window_;
};

// The place of a row for the plan: the Sun's at the start.
std::array<double, 2> PlaceOf(const PlanInputs& in, int row) {
  return row == in.SunRow ? SunPlace(in.Start.DayNumber) : in.RaDec[row];
}

// The start of every plan's line: the name, the flux and the declination.
PlanLine LineOf(const PlanInputs& in, int row) {
  PlanLine line;
  line.Row = row;
  const bool sun = row == in.SunRow;
  line.Name = in.Names[row];
  if (!sun) line.FluxText = in.FluxTexts[row];
  line.Flux = sun ? kNever : ParseLeadingNumber(in.FluxTexts[row].toStdString());
  line.Values.push_back(PlaceOf(in, row)[1]);
  return line;
}

double AltitudeAtStart(const PlanInputs& in, int row) {
  const auto place = PlaceOf(in, row);
  return ToHorizontal(place[0], place[1], in.Start.Latitude, in.Start.LocalSidereal).Altitude;
}

const QStringList kSourceHeaders = {
    QStringLiteral("Name"),        QStringLiteral("Flux (Jy)"),
    QStringLiteral("Dec (°)"),     QStringLiteral("Rise"),
    QStringLiteral("Transit"),     QStringLiteral("Alt. at transit (°)"),
    QStringLiteral("Set"),         QStringLiteral("Above minimum (h:mm)"),
    QStringLiteral("Alt. now (°)")};
const QStringList kDriftHeaders = {
    QStringLiteral("Name"),           QStringLiteral("Flux (Jy)"),
    QStringLiteral("Dec (°)"),        QStringLiteral("Closest approach"),
    QStringLiteral("Separation (°)"), QStringLiteral("Crossing (min)")};

}  // namespace

QString PlanTimeText(const Moment& start, double hours) {
  const Moment at = MomentAfter(start, hours * 3600);
  const QString time = QStringLiteral("%1:%2")
                           .arg(at.Hour, 2, 10, QLatin1Char('0'))
                           .arg(at.Minute, 2, 10, QLatin1Char('0'));
  if (at.Day == start.Day && at.Month == start.Month && at.Year == start.Year) return time;
  return QStringLiteral("%1 %2 %3")
      .arg(static_cast<int>(at.Day))
      .arg(QLocale::c().monthName(at.Month, QLocale::ShortFormat), time);
}

QString PlanTable::Text(const PlanLine& line, int column) const {
  if (column == 0) return line.Name;
  if (column == 1) return line.FluxText;
  const double value = line.Values[static_cast<size_t>(column - 2)];
  switch (Columns[static_cast<size_t>(column)]) {
    case PlanColumn::kTime:
      if (std::isfinite(value)) return PlanTimeText(Start, value);
      return line.Up == SourceDay::kAlwaysUp  ? QStringLiteral("always up")
             : line.Up == SourceDay::kNeverUp ? QStringLiteral("never up")
                                              : QStringLiteral("—");
    case PlanColumn::kHours:
      return QStringLiteral("%1:%2")
          .arg(static_cast<int>(value))
          .arg(static_cast<int>(std::fmod(value * 60, 60)), 2, 10, QLatin1Char('0'));
    case PlanColumn::kMinutes:
      return Degrees(value, 1);
    default:
      return Degrees(value);
  }
}

QVariant PlanTable::SortValue(const PlanLine& line, int column) const {
  if (column == 0) return line.Name.toLower();
  if (column == 1) return line.Flux;
  const double value = line.Values[static_cast<size_t>(column - 2)];
  return std::isfinite(value) ? value : kNever;
}

namespace {

// A table of `headers` and `columns` for the day of `in`: a line for each
// source that `make` gives one for, or the reason there is none.
template <typename Make>
PlanTable MakeTable(const PlanInputs& in, const QStringList& headers,
                    std::vector<PlanColumn> columns, const QString& none, Make make) {
  PlanTable table;
  table.Headers = headers;
  table.Columns = std::move(columns);
  table.Start = in.StartMoment;
  table.Reason = QString::fromStdString(PlanProblem(in.Start.Latitude));
  if (!table.Reason.isEmpty()) return table;
  table.Lines.reserve(in.RaDec.size());
  for (int r = 1; r < static_cast<int>(in.RaDec.size()); ++r) {
    if (std::optional<PlanLine> line = make(r)) table.Lines.push_back(std::move(*line));
  }
  if (table.Lines.empty()) table.Reason = none;
  return table;
}

}  // namespace

PlanTable SourcesTable(const PlanInputs& in) {
  auto line_of = [&](int r) {
    const SourceDay day = r == in.SunRow
                              ? SunDay(in.Start, in.MinElevation)
                              : DayOf(in.RaDec[r][0], in.RaDec[r][1], in.Start, in.MinElevation);
    PlanLine line = LineOf(in, r);
    const double now = r == in.SunRow ? AltitudeAtStart(in, r) : day.AltitudeAtStart;
    line.Values.insert(line.Values.end(), {day.Rise, day.Transit, day.TransitAltitude, day.Set,
                                           day.HoursAboveMinimum, now});
    line.Up = day.Up;
    line.GoTo = day.Transit;
    line.UpNow = now >= 0;
    line.ReachesMinimum = day.ReachesMinimum;
    return std::optional(std::move(line));
  };
  return MakeTable(in, kSourceHeaders,
                   {PlanColumn::kName, PlanColumn::kFlux, PlanColumn::kAngle, PlanColumn::kTime,
                    PlanColumn::kTime, PlanColumn::kAngle, PlanColumn::kTime, PlanColumn::kHours,
                    PlanColumn::kAngle},
                   QStringLiteral("The catalogue in use has no sources."), line_of);
}

PlanTable DriftTable(const PlanInputs& in) {
  const bool beam_set = in.BeamWidth > 0;
  const auto beam = FixedBeam(in.BeamAzimuth, in.BeamAltitude, in.Start.Latitude);
  auto line_of = [&](int r) -> std::optional<PlanLine> {
    if (!beam_set) return std::nullopt;
    const auto drift = r == in.SunRow
                           ? SunDrift(in.Start, beam, in.BeamWidth)
                           : DriftOf(in.RaDec[r][0], in.RaDec[r][1], in.Start, beam, in.BeamWidth);
    if (!drift) return std::nullopt;
    PlanLine line = LineOf(in, r);
    line.Values.insert(line.Values.end(),
                       {drift->Closest, drift->Separation, drift->Crossing * 60});
    line.GoTo = drift->Closest;
    line.UpNow = AltitudeAtStart(in, r) >= 0;
    line.ReachesMinimum = in.BeamAltitude >= in.MinElevation;
    return line;
  };
  return MakeTable(in, kDriftHeaders,
                   {PlanColumn::kName, PlanColumn::kFlux, PlanColumn::kAngle, PlanColumn::kTime,
                    PlanColumn::kAngle, PlanColumn::kMinutes},
                   beam_set ? QStringLiteral("Nothing passes through the beam in these 24 hours.")
                            : QStringLiteral("Set the dish's beam under Antenna > Beam... first."),
                   line_of);
}

PlanWindow::PlanWindow() {
  setWindowTitle(QStringLiteral("Plan - Skyvane"));
  auto* layout = new QVBoxLayout(this);
  Heading = new QLabel;
  Heading->setWordWrap(true);
  layout->addWidget(Heading);

  auto* filters = new QHBoxLayout;
  FilterText = new QLineEdit;
  FilterText->setPlaceholderText(QStringLiteral("Name"));
  FilterText->setClearButtonEnabled(true);
  FilterFlux = new QDoubleSpinBox;
  FilterFlux->setRange(0, 100000);
  FilterFlux->setDecimals(1);
  FilterFlux->setPrefix(QStringLiteral("flux at least "));
  FilterFlux->setSuffix(QStringLiteral(" Jy"));
  FilterUpNow = new QCheckBox(QStringLiteral("Up now"));
  FilterReaches = new QCheckBox(QStringLiteral("Rises above the minimum elevation"));
  Count = new QLabel;
  filters->addWidget(FilterText);
  filters->addWidget(FilterFlux);
  filters->addWidget(FilterUpNow);
  filters->addWidget(FilterReaches);
  filters->addWidget(Count);
  layout->addLayout(filters);

  Tabs = new QTabWidget;
  sources_ = new PlanModel(this);
  drift_ = new PlanModel(this);
  auto make_view = [&](PlanModel* model, QSortFilterProxyModel*& proxy, const QString& name) {
    proxy = new PlanFilter(this);
    proxy->setSourceModel(model);
    proxy->setSortRole(Qt::UserRole);
    auto* view = new QTableView;
    view->setObjectName(name);
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->sortByColumn(-1, Qt::AscendingOrder);
    return view;
  };
  SourcesView = make_view(sources_, sources_proxy_, QStringLiteral("SourcesView"));
  DriftView = make_view(drift_, drift_proxy_, QStringLiteral("DriftView"));
  auto* drift_page = new QWidget;
  auto* drift_layout = new QVBoxLayout(drift_page);
  drift_layout->setContentsMargins(0, 0, 0, 0);
  DriftHeading = new QLabel;
  DriftHeading->setWordWrap(true);
  drift_layout->addWidget(DriftHeading);
  drift_layout->addWidget(DriftView);
  Tabs->addTab(SourcesView, QStringLiteral("Sources"));
  Tabs->addTab(drift_page, QStringLiteral("Drift"));
  layout->addWidget(Tabs, 1);

  for (int tab : {0, 1}) {
    QTableView* view = tab ? DriftView : SourcesView;
    connect(view, &QAbstractItemView::activated, this,
            [this, tab](const QModelIndex& index) { GoToLine(tab, index.row(), index.column()); });
  }
  auto refilter = [this] {
    static_cast<PlanFilter*>(sources_proxy_)->Refilter();
    static_cast<PlanFilter*>(drift_proxy_)->Refilter();
    ShowCount();
  };
  connect(FilterText, &QLineEdit::textChanged, this, refilter);
  connect(FilterFlux, &QDoubleSpinBox::valueChanged, this, refilter);
  connect(FilterUpNow, &QCheckBox::toggled, this, refilter);
  connect(FilterReaches, &QCheckBox::toggled, this, refilter);
  connect(Tabs, &QTabWidget::currentChanged, this, [this] { ShowCount(); });
  resize(820, 520);
}

PlanWindow::~PlanWindow() {
  if (worker_.joinable()) worker_.join();
}

void PlanWindow::Compute(PlanInputs inputs, bool drift_only) {
  if (worker_.joinable()) worker_.join();
  // A plan still on its way from the thread is dropped: this one takes its place whole.
  drift_only = drift_only && !computing_;
  const int generation = ++generation_;
  auto make = [drift_only](const PlanInputs& in) {
    return std::make_pair(drift_only ? std::nullopt : std::optional(SourcesTable(in)),
                          DriftTable(in));
  };
  if (static_cast<int>(inputs.RaDec.size()) <= background_rows_) {
    computing_ = false;
    auto [sources, drift] = make(inputs);
    Show(std::move(sources), std::move(drift), std::move(inputs));
    return;
  }
  computing_ = true;
  Count->setText(QStringLiteral("computing..."));
  worker_ = std::thread([this, generation, make, inputs = std::move(inputs)]() mutable {
    auto [sources, drift] = make(inputs);
    // The window waits for this thread before it goes, so it is still there.
    QMetaObject::invokeMethod(
        this,
        [this, generation, sources = std::move(sources), drift = std::move(drift),
         inputs = std::move(inputs)]() mutable {
          if (generation != generation_) return;
          computing_ = false;
          Show(std::move(sources), std::move(drift), std::move(inputs));
        },
        Qt::QueuedConnection);
  });
}

void PlanWindow::Show(std::optional<PlanTable> sources, PlanTable drift, PlanInputs inputs) {
  start_ = inputs.StartMoment;
  zone_hours_ = inputs.ZoneHours;
  if (sources) ShowSources(std::move(*sources), inputs);
  DriftHeading->setText(
      drift.Reason.isEmpty()
          ? QStringLiteral("A dish fixed at azimuth %1°, elevation %2°, beam %3° wide: "
                           "what passes within its half-power circle.")
                .arg(Degrees(inputs.BeamAzimuth, 2), Degrees(inputs.BeamAltitude, 2),
                     Degrees(inputs.BeamWidth, 2))
          : drift.Reason);
  drift_->Set(std::move(drift));
  ShowCount();
}

void PlanWindow::ShowSources(PlanTable sources, const PlanInputs& inputs) {
  const QDate date(static_cast<int>(start_.Year), start_.Month, static_cast<int>(start_.Day));
  const int minutes = static_cast<int>(std::lround(std::fabs(inputs.ZoneHours) * 60));
  const QString zone = QStringLiteral("UTC%1%2:%3")
                           .arg(inputs.ZoneHours < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                           .arg(minutes / 60)
                           .arg(minutes % 60, 2, 10, QLatin1Char('0'));
  QString heading =
      QStringLiteral("%1, %2: the 24 hours from %3 %4, minimum elevation %5°.")
          .arg(inputs.Place, zone, QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy")),
               PlanTimeText(start_, 0), Degrees(inputs.MinElevation, 1));
  if (!sources.Reason.isEmpty()) heading += QStringLiteral("  ") + sources.Reason;
  Heading->setText(heading);
  sources_->Set(std::move(sources));
}

void PlanWindow::ShowAltitudes(const std::vector<std::array<double, 2>>& az_alt) {
  constexpr int kNowColumn = 8;
  auto& lines = sources_->Table().Lines;
  for (PlanLine& line : lines) {
    if (line.Row >= static_cast<int>(az_alt.size())) continue;
    const double now = az_alt[static_cast<size_t>(line.Row)][1];
    line.Values[kNowColumn - 2] = now;
    line.UpNow = now >= 0;
  }
  sources_->Refresh(kNowColumn);  // the filter takes the changed lines again by itself
  ShowCount();
}

QSortFilterProxyModel* PlanWindow::Proxy(int tab) const {
  return tab ? drift_proxy_ : sources_proxy_;
}

void PlanWindow::ShowCount() {
  const int tab = Tabs->currentIndex();
  const int total = (tab ? drift_ : sources_)->rowCount();
  Count->setText(QStringLiteral("%1 of %2").arg(Proxy(tab)->rowCount()).arg(total));
}

void PlanWindow::GoToLine(int tab, int shown_row, int column) {
  QSortFilterProxyModel* proxy = Proxy(tab);
  if (shown_row < 0 || shown_row >= proxy->rowCount()) return;
  const int row = SourceRow(*proxy, shown_row);
  const PlanTable& table = (tab ? drift_ : sources_)->Table();
  const PlanLine& line = table.Lines[static_cast<size_t>(row)];
  double hours = line.GoTo;
  if (column >= 2 && table.Columns[static_cast<size_t>(column)] == PlanColumn::kTime &&
      std::isfinite(line.Values[static_cast<size_t>(column - 2)])) {
    hours = line.Values[static_cast<size_t>(column - 2)];
  }
  if (GoTo && std::isfinite(hours)) GoTo(MomentAfter(start_, hours * 3600), line.Row, tab == 0);
}

QString PlanWindow::ExportCsv(const QString& path) const {
  const int tab = Tabs->currentIndex();
  const QSortFilterProxyModel* proxy = Proxy(tab);
  const PlanTable& table = (tab ? drift_ : sources_)->Table();
  auto field = [](QString text) {
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))) {
      text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
             QLatin1Char('"');
    }
    return text;
  };
  auto is_time = [&](int c) { return table.Columns[static_cast<size_t>(c)] == PlanColumn::kTime; };
  QStringList header;
  for (int c = 0; c < table.Headers.size(); ++c) {
    QString name = table.Headers[c];
    name.replace(QStringLiteral("(°)"), QStringLiteral("(deg)"));
    header << field(is_time(c) ? name + QStringLiteral(" (local)") : name);
    if (is_time(c)) header << field(name + QStringLiteral(" (UTC)"));
  }
  QString text = header.join(QLatin1Char(',')) + QLatin1Char('\n');
  for (int shown = 0; shown < proxy->rowCount(); ++shown) {
    const int row = SourceRow(*proxy, shown);
    const PlanLine& line = table.Lines[static_cast<size_t>(row)];
    QStringList cells;
    for (int c = 0; c < table.Headers.size(); ++c) {
      cells << field(table.Text(line, c));
      if (!is_time(c)) continue;
      const double hours = line.Values[static_cast<size_t>(c - 2)];
      QString utc;
      if (std::isfinite(hours)) {
        const Moment at = MomentAfter(start_, (hours - zone_hours_) * 3600);
        utc = QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", static_cast<int>(at.Year),
                                at.Month, static_cast<int>(at.Day), at.Hour, at.Minute, at.Second);
      }
      cells << utc;
    }
    text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 ||
      !file.flush()) {
    return QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
  }
  return {};
}

}  // namespace skyvane

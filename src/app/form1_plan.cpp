// SPDX-License-Identifier: GPL-3.0-or-later
// Planning from the main window: finding a source by name or place, the
// plan of the day in its own window, and the dish's beam on the chart.
#include <QCheckBox>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QSettings>
#include <cmath>

#include "app/form1.h"
#include "chart/projection.h"
#include "interact/readout.h"
#include "sky/angles.h"
#include "sky/find_source.h"
#include "sky/horizontal.h"

namespace skyvane {
namespace {

const char* const kDiameterKey = "beam/diameter";
const char* const kFrequencyKey = "beam/frequency";
const char* const kWidthTypedKey = "beam/widthTyped";
const char* const kWidthKey = "beam/width";
const char* const kShownKey = "beam/shown";

// A typed place finds the source within this many degrees of it.
constexpr double kPlaceRadius = 1;

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void Form1::CreatePlanMenus(QMenu* file, QMenu* view, QMenu* antenna) {
  plan_altitudes_ = new QTimer(this);
  plan_altitudes_->setSingleShot(true);
  plan_altitudes_->setInterval(1000);
  connect(plan_altitudes_, &QTimer::timeout, this, [this] {
    if (plan_) plan_->ShowAltitudes(table_.AzAlt);
  });
  QAction* export_plan = file->addAction(tr("&Export Plan..."), this, [this] {
    OpenPlan();
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Export Plan"), QString(), tr("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    const QString why = plan_->ExportCsv(path);
    if (!why.isEmpty()) ShowMessage(why);
  });
  export_plan->setObjectName(QStringLiteral("actionExportPlan"));

  QAction* find = new QAction(tr("&Find Source..."), this);
  find->setObjectName(QStringLiteral("actionFindSource"));
  find->setShortcut(QKeySequence::Find);
  connect(find, &QAction::triggered, this, [this] { AskFind(); });
  QMenu* edit = new QMenu(tr("&Edit"), menu_bar_);
  edit->addAction(find);
  menu_bar_->insertMenu(view->menuAction(), edit);

  view->addSeparator();
  QAction* plan = view->addAction(tr("P&lan..."), this, [this] { OpenPlan(); });
  plan->setObjectName(QStringLiteral("actionPlan"));
  plan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));

  antenna->addSeparator();
  antenna->addAction(tr("&Beam..."), this, [this] { AskBeam(); })
      ->setObjectName(QStringLiteral("actionBeam"));
  QSettings settings;
  if (settings.value(kShownKey, false).toBool()) chart_.BeamWidth = BeamSetting();

  // "/" on the chart finds, Esc lets the found source go.
  const auto key_down = Picture1->KeyDown;
  Picture1->KeyDown = [this, key_down](int key, Qt::KeyboardModifiers modifiers) {
    key_down(key, modifiers);
    if (key == Qt::Key_Slash) AskFind();
    if (key == Qt::Key_Escape && chart_.FoundRow) {
      chart_.FoundRow = 0;
      find_note_.clear();
      ShowAntennaState();
      DrawChart();
    }
  };
}

double Form1::BeamSetting() const {
  QSettings settings;
  if (settings.value(kWidthTypedKey, false).toBool())
    return settings.value(kWidthKey, 0).toDouble();
  return BeamWidth(settings.value(kDiameterKey, 0).toDouble(),
                   settings.value(kFrequencyKey, 0).toDouble())
      .value_or(0);
}

QString Form1::SetBeam(double diameter, double frequency, std::optional<double> typed_width,
                       bool shown) {
  const auto width = typed_width ? typed_width : BeamWidth(diameter, frequency);
  if (!width || !(*width > 0 && *width < 180)) {
    return typed_width ? tr("A beam width must lie above 0 and below 180 degrees.")
                       : tr("No beam for a dish of %1 m at %2 MHz: both must be above 0, "
                            "and the beam narrower than 180 degrees.")
                             .arg(diameter)
                             .arg(frequency);
  }
  // The dish and the frequency are kept with a typed width too: the dialog
  // offers them again.
  QSettings settings;
  settings.setValue(kWidthTypedKey, typed_width.has_value());
  if (typed_width) settings.setValue(kWidthKey, *width);
  settings.setValue(kDiameterKey, diameter);
  settings.setValue(kFrequencyKey, frequency);
  settings.setValue(kShownKey, shown);
  chart_.BeamWidth = shown ? *width : 0;
  DrawChart();  // which gives the plan the new beam
  return {};
}

void Form1::AskBeam() {
  QSettings settings;
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Beam"));
  auto* form = new QFormLayout(&dialog);
  auto number = [&](double value, double low, double high, int decimals) {
    auto* spin = new QDoubleSpinBox;
    spin->setRange(low, high);
    spin->setDecimals(decimals);
    spin->setValue(value);
    return spin;
  };
  auto* diameter = number(settings.value(kDiameterKey, 3).toDouble(), 0, 1000, 2);
  auto* frequency = number(settings.value(kFrequencyKey, 1420.4).toDouble(), 0, 1e6, 1);
  auto* typed = new QCheckBox(tr("Width typed directly (degrees):"));
  typed->setChecked(settings.value(kWidthTypedKey, false).toBool());
  auto* width = number(settings.value(kWidthKey, 5).toDouble(), 0, 179.99, 2);
  auto* computed = new QLabel;
  auto* shown = new QCheckBox(tr("Draw the beam on the chart"));
  diameter->setObjectName(QStringLiteral("diameter"));
  frequency->setObjectName(QStringLiteral("frequency"));
  width->setObjectName(QStringLiteral("width"));
  computed->setObjectName(QStringLiteral("computed"));
  typed->setObjectName(QStringLiteral("typed"));
  shown->setObjectName(QStringLiteral("shown"));
  shown->setChecked(settings.value(kShownKey, false).toBool());
  form->addRow(tr("Dish diameter (m):"), diameter);
  form->addRow(tr("Observing frequency (MHz):"), frequency);
  form->addRow(tr("Half-power beam width (70 wavelengths / diameter):"), computed);
  form->addRow(typed, width);
  form->addRow(shown);
  auto show_width = [&] {
    const auto w = BeamWidth(diameter->value(), frequency->value());
    computed->setText(w ? tr("%1°").arg(QString::number(*w, 'f', 2)) : tr("none for these values"));
    width->setEnabled(typed->isChecked());
  };
  connect(diameter, &QDoubleSpinBox::valueChanged, &dialog, show_width);
  connect(frequency, &QDoubleSpinBox::valueChanged, &dialog, show_width);
  connect(typed, &QCheckBox::toggled, &dialog, show_width);
  show_width();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const QString why =
        SetBeam(diameter->value(), frequency->value(),
                typed->isChecked() ? std::optional<double>(width->value()) : std::nullopt,
                shown->isChecked());
    if (why.isEmpty()) {
      dialog.accept();
    } else {
      ShowMessage(why);
    }
  });
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.exec();
}

void Form1::AskFind() {
  QDialog dialog(this);
  dialog.setObjectName(QStringLiteral("FindDialog"));
  dialog.setWindowTitle(tr("Find Source"));
  auto* form = new QFormLayout(&dialog);
  auto* line = new QLineEdit;
  line->setPlaceholderText(tr("3C405, Cyg A, 4C +40.40, or 19 59 28 +40 44 02"));
  QStringList names;
  for (const std::string& text : CompletionTexts(table_)) names << Latin1(text);
  auto* completer = new QCompleter(names, &dialog);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  line->setCompleter(completer);
  form->addRow(tr("Name, designation or place (RA, Dec J2000):"), line);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() == QDialog::Accepted) FindSource(line->text());
}

bool Form1::FindSource(const QString& query) {
  const std::string text = query.toLatin1().toStdString();
  int row = 0;
  const std::vector<int> rows = FindRows(table_, text);
  if (!rows.empty()) {
    row = rows.front();
  } else if (const auto place = ReadPlace(text)) {
    row = NearestRow(table_, *place, kPlaceRadius);
    if (!row) find_note_ = tr("no source within %1° of that place").arg(kPlaceRadius);
  } else {
    find_note_ = tr("no source is called \"%1\"").arg(query.trimmed());
    // The brightest lines of the catalogue format may be what was looked for.
    if (!brightest_->isChecked())
      find_note_ += tr(" (View > Brightest Sources adds those above 1000 Jy)");
  }
  if (!row) {
    ShowAntennaState();
    return false;
  }
  ShowFound(row);
  return true;
}

void Form1::ShowFound(int row, bool turn_view) {
  chart_.FoundRow = row;  // the antenna's target while it is found
  // The view turns so that the source stands on the centre line.
  if (turn_view) {
    chart_.ViewAzimuth = Wrap360(std::round(CompassAzimuth(table_.AzAlt[row][0]) * 100) / 100);
  }
  const QString name = ReadoutName(table_, row);
  find_note_ = name;
  const double altitude = table_.AzAlt[row][1];
  if (!(altitude >= 0)) {
    // Below the horizon: when it comes up, and how high it gets.
    const PlanStart start{sky_.Latitude, sky_.LocalSidereal, sky_.DayNumber};
    const int sun = static_cast<int>(std::lround(table_.SunRow));
    const auto& place = positions_of_date_->isChecked() ? of_date_.RaDec()[row] : table_.RaDec[row];
    const SourceDay day = row == sun ? SunDay(start) : DayOf(place[0], place[1], start);
    if (day.Up == SourceDay::kNeverUp) {
      find_note_ = tr("%1 never rises here (highest %2°)")
                       .arg(name)
                       .arg(QString::number(day.TransitAltitude, 'f', 1));
    } else {
      find_note_ =
          tr("%1 is below the horizon: rises %2, transits %3 at %4°")
              .arg(name, PlanTimeText(sky_.At, day.Rise), PlanTimeText(sky_.At, day.Transit))
              .arg(QString::number(day.TransitAltitude, 'f', 1));
    }
  }
  ShowAntennaState();
  DrawChart();
}

void Form1::GoToMoment(const Moment& local, int row, bool turn_view) {
  state_.Stepping = true;
  Timer3->stop();
  SettingsFields fields = ReadFields();
  // The hour field holds the same text under AM and PM: only the choice follows.
  if (fields.ClockMode != kClock24) SelectOption1(local.Hour >= 12 ? kClockPm : kClockAm);
  WriteMoment(local, fields);
  WriteFields(fields);
  state_.Stepping = false;
  RecalculateSky();
  if (row > 0 && row < table_.RowCount()) ShowFound(row, turn_view);
}

void Form1::OpenPlan() {
  if (!plan_) {
    plan_ = new PlanWindow;
    // A window of its own that goes with the chart's.
    plan_->setParent(this, Qt::Window);
    plan_->setAttribute(Qt::WA_DeleteOnClose);
    plan_->GoTo = [this](const Moment& local, int row, bool turn_view) {
      GoToMoment(local, row, turn_view);
    };
    plan_sky_.clear();
  }
  plan_->show();
  plan_->raise();
  plan_->activateWindow();
  FollowPlan();
}

PlanInputs Form1::MakePlanInputs() const {
  PlanInputs in = plan_start_;  // the day's start, kept while the plan holds
  in.MinElevation = MinimumElevation();
  const int rows =
      std::min<int>(static_cast<int>(std::lround(table_.LastRow)) + 1, table_.RowCount());
  const auto* places = positions_of_date_->isChecked() ? of_date_.RaDec() : table_.RaDec.data();
  in.RaDec.assign(places, places + std::max(rows, 0));
  for (int r = 0; r < rows; ++r) {
    QString name = ReadoutName(table_, r);
    const QString designation = Latin1(table_.CatalogText[r][2]).trimmed();
    if (!designation.isEmpty() && designation.compare(name, Qt::CaseInsensitive) != 0) {
      name += QStringLiteral(" (%1)").arg(designation);
    }
    in.Names.push_back(name);
    in.FluxTexts.push_back(Latin1(table_.CatalogText[r][3]).trimmed());
  }
  in.SunRow = static_cast<int>(std::lround(table_.SunRow));
  in.BeamAzimuth = chart_.ViewAzimuth;
  in.BeamAltitude = CentreColumnAltitude(chart_.ScopeMarkerY, chart_.HorizonY);
  in.BeamWidth = BeamSetting();
  in.Place = tr("%1° %2, %3° %4")
                 .arg(QString::number(std::fabs(sky_.Latitude), 'f', 2))
                 .arg(sky_.Latitude < 0 ? 'S' : 'N')
                 .arg(QString::number(std::fabs(sky_.Longitude), 'f', 2))
                 .arg(sky_.Longitude < 0 ? 'W' : 'E');
  return in;
}

void Form1::FollowPlan() {
  if (!plan_) return;
  const double minimum = MinimumElevation();
  const double beam_altitude = CentreColumnAltitude(chart_.ScopeMarkerY, chart_.HorizonY);
  const QList<QVariant> sky = {sky_.Latitude,
                               sky_.Longitude,
                               sky_.ZoneHours,
                               catalogue_generation_,
                               positions_of_date_->isChecked(),
                               minimum};
  const QList<QVariant> beam = {chart_.ViewAzimuth, beam_altitude, BeamSetting()};
  // The plan holds for its 24 hours: the clock and play move within them
  // without a new plan, and only the "altitude now" column follows. A new
  // beam makes a new drift list for the same day.
  const bool within = sky_.DayNumber >= plan_start_.Start.DayNumber &&
                      sky_.DayNumber < plan_start_.Start.DayNumber + 1;
  if (sky == plan_sky_ && within && beam == plan_beam_) {
    if (!plan_altitudes_->isActive()) plan_altitudes_->start();
    return;
  }
  const bool same_day = sky == plan_sky_ && within;
  if (!same_day) {
    plan_start_.Start = {sky_.Latitude, sky_.LocalSidereal, sky_.DayNumber};
    plan_start_.StartMoment = sky_.At;
    plan_start_.ZoneHours = sky_.ZoneHours;
  }
  plan_sky_ = sky;
  plan_beam_ = beam;
  plan_->Compute(MakePlanInputs(), same_day);  // a new beam: only the drift list is new
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <cmath>

#include "base/number_text.h"
#include "base/numbers.h"
#include "catalogue/catalogue_reader.h"
#include "chart/dome_chart.h"
#include "interact/readout.h"
#include "time/time_steps.h"
#include "time/zones.h"

namespace skyvane {
namespace {

std::string ToStd(const QString& text) {
  return text.toStdString();
}
QString FromStd(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

Form1::Form1(const Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock) {
  setWindowTitle(QStringLiteral("4C Skyvane"));
  ShowMessage = [this](const QString& text) {
    QMessageBox::information(this, QStringLiteral("Skyvane"), text);
  };
  CreateControls();
  WireHandlers();
  CreateMenus();
  // The menu bar lies above the design area, which keeps its size.
  const QSize size = kDesignSize + QSize(0, MenuHeight());
  resize(size);
  // Narrower, the "AM" and "PM" options could no longer show their text in
  // a legible face.
  setMinimumSize(680, MenuHeight() + kBandHeight + 120);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
  }
}

Form1::~Form1() = default;

bool Form1::Form_Load(const std::vector<std::filesystem::path>& folders,
                      const std::optional<std::filesystem::path>& file, Equinox assumed) {
  state_.Loading = true;
  for (int i = 0; i < ZoneCount(); ++i) Combo1->addItem(FromStd(ZoneText(i)));
  // The open list shows its longest zones whole, wider than the closed one.
  Combo1->view()->setMinimumWidth(Combo1->view()->sizeHintForColumn(0) + 24);
  for (const char* unit : {"Sec.", "Min.", "Hr.", "Day", "Mo.", "Yr."}) {
    Combo2->addItem(QString::fromLatin1(unit));
  }
  Text2[0]->setText(QStringLiteral("42.2"));
  Text2[1]->setText(QStringLiteral("-82.84"));
  sky_.ZoneHours = -5;
  Combo1->setCurrentIndex(static_cast<int>(sky_.ZoneHours) + 12);
  Combo2->setCurrentIndex(1);
  RestoreClockForm();
  SetComputerTime();

  const CatalogueReport report =
      LoadFirstCatalogue(folders, file, table_, assumed, brightest_->isChecked());
  if (report.status != CatalogueStatus::kLoaded) {
    ShowMessage(QString::fromLocal8Bit(DescribeReport(report)));
    return false;
  }
  catalogue_equinox_ = assumed;
  if (!report.passed_over.empty()) {
    std::string said = "Nothing to draw in";
    for (const auto& empty : report.passed_over) {
      said += '\n';
      said += ShownPath(empty);
    }
    said += "\nUsing ";
    said += ShownPath(report.file);
    said += " instead.";
    ShowMessage(QString::fromUtf8(said));
  }
  catalogue_summary_ = QString::fromUtf8(ShownPath(report.file) + "\n" + report.read.Summary());
  catalogue_file_ = report.file;
  if (!folders.empty()) {
    shipped_catalogue_ = FindCatalogueFile(folders.back()).value_or(std::filesystem::path());
  }
  ShowTitle();
  of_date_.Prepare(table_);
  RestoreObserver();
  state_.Loading = false;
  RecalculateSky();
  remembering_ = true;
  Timer2->start();
  Timer3->start();
  StartAntenna();
  return true;
}

SettingsFields Form1::ReadFields() const {
  SettingsFields f;
  f.Latitude = ToStd(Text2[0]->text());
  f.Longitude = ToStd(Text2[1]->text());
  for (int i = 0; i < 3; ++i) {
    f.Time[i] = ToStd(Text3[i]->text());
    f.Date[i] = ToStd(Text4[i]->text());
  }
  f.ZoneIndex = Combo1->currentIndex();
  f.ClockMode = option1_chosen_;
  return f;
}

void Form1::WriteFields(const SettingsFields& f) {
  auto write = [](QLineEdit* edit, const std::string& text) {
    const QString value = FromStd(text);
    if (edit->text() != value) edit->setText(value);
  };
  for (int i = 0; i < 3; ++i) {
    write(Text3[i], f.Time[i]);
    write(Text4[i], f.Date[i]);
  }
}

void Form1::SelectOption1(int index) {
  Option1[index]->setChecked(true);
}

void Form1::RecalculateSky() {
  if (state_.Loading) return;
  SettingsFields fields = ReadFields();
  if (computer_zone_->isChecked()) UseComputerZone(fields);
  ComputeSky(fields, sky_, table_, positions_of_date_->isChecked() ? &of_date_ : nullptr);
  WriteFields(fields);
  // The back buffers are off-screen images and are never shown, so the
  // refresh the daytime pass asks of them has nothing to do. The pass's own
  // drawing is replaced at once by the layout's, except while minimised,
  // when the layout leaves everything as it is.
  if (isMinimized()) DrawChart();
  Form_Resize();
  FollowTarget();
  FollowPlan();
  Save(QStringLiteral("observer/latitude"), Text2[0]->text());
  Save(QStringLiteral("observer/longitude"), Text2[1]->text());
}

void Form1::DrawChart() {
  skyvane::DrawChart(chart_, table_, state_.BoldChartText);
  DrawAntenna();
  Picture1->update();
  FollowPlan();  // the view is the drift list's dish
  Save(QStringLiteral("view/azimuth"), chart_.ViewAzimuth);
}

void Form1::Form_Resize() {
  if (isMinimized()) return;
  if (size() != laid_out_size_) {
    // Every pass ends here; the controls move only when the window's size did.
    laid_out_size_ = size();
    const int top = MenuHeight();
    menu_bar_->setGeometry(0, 0, width(), top);
    design_->setGeometry(0, top, width(), std::max(height() - top, 0));
    const QSize area = design_->size();
    Picture1->setGeometry(0, kBandHeight, area.width(), std::max(area.height() - kBandHeight, 0));
    band_layout_->Apply(area);
    frame_layout_->Apply(Frame1->size());
    chart_layout_->Apply(Picture1->size());
    if (scope_restored_) chart_.ScopeMarkerY = VScroll1->value() / 100.0 * Picture1->height();
    FitFonts();
    ShowAntennaState();  // the status's room follows the menu bar's width
  }
  LayOutChart(chart_, table_, Picture1->width(), Picture1->height(), sky_.SunAltitude,
              state_.BoldChartText, Picture1->devicePixelRatioF());
  DrawAntenna();
  Picture1->update();
  Save(QStringLiteral("view/azimuth"), chart_.ViewAzimuth);
}

void Form1::SetComputerTime() {
  const QDateTime now = clock_.Now();
  const QDate date = now.date();
  const QTime time = now.time();
  Text4[0]->setText(QString::number(date.month()));
  Text4[1]->setText(QString::number(date.day()));
  Text4[2]->setText(QString::number(date.year()));
  Text3[0]->setText(QString::number(time.hour()));
  Text3[1]->setText(QString::number(time.minute()));
  Text3[2]->setText(QString::number(time.second()));
  // A form the user chose stands in for the one the time format implies.
  QString designator = TimeDesignator(time, clock_.TimeFormat());
  if (clock_form_) {
    designator = *clock_form_ == kClock24 ? QString()
                 : time.hour() < 12       ? QStringLiteral("AM")
                                          : QStringLiteral("PM");
  }
  if (designator == QLatin1String("AM")) {
    SelectOption1(kClockAm);
  } else if (designator == QLatin1String("PM")) {
    SelectOption1(kClockPm);
  } else {
    SelectOption1(kClock24);
  }
}

void Form1::Combo1_Click() {
  // The computer's zone shows itself without this handler, so a zone chosen
  // here is the user's own answer: the computer's gives way.
  if (!state_.Loading && computer_zone_->isChecked()) computer_zone_->setChecked(false);
  FitFont(Combo1);
  Save(QStringLiteral("observer/zone"), Combo1->currentText());
  RecalculateSky();
}

void Form1::Command1_Click() {
  if (state_.PlayDirection == 0) RecalculateSky();
}

void Form1::Command2_Click() {
  Timer3->start();
  SetComputerTime();
  RecalculateSky();
}

void Form1::Timer3_Timer() {
  Command2_Click();
}

void Form1::Option1_Click(int index) {
  if (const auto hour = ConvertHourText(ToStd(Text3[0]->text()), state_.ClockMode, index)) {
    Text3[0]->setText(FromStd(*hour));
  }
  state_.ClockMode = static_cast<int16_t>(index);
  if (state_.PlayDirection == 0 && !state_.Stepping) RecalculateSky();
}

void Form1::Option2_Click(int) {
  Timer3->stop();
  if (option2_chosen_ == 0) state_.PlayDirection = 1;
  if (option2_chosen_ == 1) state_.PlayDirection = 0;
  if (option2_chosen_ == 2) state_.PlayDirection = -1;
}

void Form1::Label8_Click() {
  const int sun = static_cast<int>(RoundHalfEven(table_.SunRow));
  if (sun < 0 || sun >= table_.RowCount()) return;
  ShowMessage(
      FromStd(FormatShortest(table_.RaDec[sun][0]) + ", " + FormatShortest(table_.RaDec[sun][1])));
}

void Form1::Command8_Click() {
  if (!Info) {
    Info = new Form2();
    Info->show();
  }
  Info->raise();
  Info->activateWindow();
}

void Form1::Command3_Click(int index) {
  state_.Stepping = true;
  Timer3->stop();
  SettingsFields fields = ReadFields();
  const TimeMove move =
      TrackStep(fields, Combo2->currentIndex(), 2 * index - 1, ToStd(clock_.DecimalSeparator()));
  if (move.Applied) {
    if (move.SelectClockMode >= 0) SelectOption1(move.SelectClockMode);
    WriteFields(fields);
  }
  state_.Stepping = false;
  if (move.Applied) RecalculateSky();
}

void Form1::Timer2_Timer() {
  if (state_.PlayDirection == 0) return;
  SettingsFields fields = ReadFields();
  const TimeMove move =
      PlayTick(fields, state_.PlayDirection, state_.PlayRate, ToStd(clock_.DecimalSeparator()));
  if (!move.Applied) return;
  if (move.SelectClockMode >= 0) SelectOption1(move.SelectClockMode);
  WriteFields(fields);
  RecalculateSky();
}

void Form1::TurnView(double step) {
  double v = chart_.ViewAzimuth + step;
  if (step < 0) {
    if (v < 0) v += 360;
  } else {
    if (v > 360) v -= 360;
    if (v == 360) v = 0;
  }
  chart_.ViewAzimuth = v;
  DrawChart();
}

void Form1::Command4_Click() {
  TurnView(-1);
}
void Form1::Command5_Click() {
  TurnView(-10);
}
void Form1::Command6_Click() {
  TurnView(10);
}
void Form1::Command7_Click() {
  TurnView(1);
}

void Form1::Picture1_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  double step = 1;
  if (held == Qt::ShiftModifier) step = 5;
  if (held == Qt::ControlModifier) step = 0.25;
  if (key == Qt::Key_Right) {
    chart_.ViewAzimuth -= step;
    if (chart_.ViewAzimuth < 0) chart_.ViewAzimuth += 360;
    DrawChart();
  } else if (key == Qt::Key_Left) {
    chart_.ViewAzimuth += step;
    if (chart_.ViewAzimuth >= 360) chart_.ViewAzimuth -= 360;
    DrawChart();
  }
}

void Form1::Picture1_KeyPress(QChar character) {
  if (character == QLatin1Char('i') || character == QLatin1Char('I')) {
    state_.ShowInfo = !state_.ShowInfo;
  }
}

void Form1::VScroll1_Change() {
  if (remembering_) scope_restored_ = false;
  chart_.ScopeMarkerY = VScroll1->value() / 100.0 * Picture1->height();
  Save(QStringLiteral("view/scopeElevation"), VScroll1->value());
  RecalculateSky();
}

void Form1::HScroll1_Change() {
  Label12->setText(QString::number(HScroll1->value()));
  state_.PlayRate = static_cast<int16_t>(HScroll1->value());
  Save(QStringLiteral("play/rate"), HScroll1->value());
}

void Form1::Picture1_MouseMove(float x, float y) {
  if (!state_.ShowReadout) return;
  const PickCandidate found = FindNearestSource(chart_, x, y);
  QRect changed = RestoreCleanChart(chart_);
  if (found.Row != 0) {
    changed |= DrawReadout(chart_, table_, found, state_.ShowInfo, clock_.NumberLocale());
    state_.BoldChartText = false;  // for good: the next drawing's texts are plain
  }
  if (!changed.isEmpty()) Picture1->update(changed);
}

void Form1::Picture1_MouseDown(Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  if (state_.ShowReadout) {
    state_.ShowReadout = false;
    Picture1->update(RestoreCleanChart(chart_));
  } else {
    state_.ShowReadout = true;
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
  SaveWindow();
}

void Form1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  SaveWindow();
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) Form_Resize();
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  Timer2->stop();
  Timer3->stop();
  QWidget::closeEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Enter is taken by the field: no character, no beep, one pass.
      RecalculateSky();
      return true;
    }
  }
  if (watched == Label8 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Label8->rect().contains(mouse->position().toPoint())) {
      Label8_Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace skyvane

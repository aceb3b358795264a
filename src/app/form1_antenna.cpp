// SPDX-License-Identifier: GPL-3.0-or-later
// The Antenna menu: a rotator daemon's antenna on the chart, pointed at a
// source once or following it as the sky turns.
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <cmath>

#include "app/form1.h"
#include "chart/annotations.h"
#include "interact/readout.h"
#include "interact/turn.h"
#include "sky/horizontal.h"

namespace skyvane {
namespace {

const char* const kHostKey = "antenna/host";
const char* const kPortKey = "antenna/port";
const char* const kMinElevationKey = "antenna/minimumElevation";
const char* const kFollowStepKey = "antenna/followStep";
const char* const kSendIntervalKey = "antenna/sendInterval";
const char* const kConnectAtStartKey = "antenna/connectAtStart";
const char* const kGoToAzimuthKey = "antenna/goToAzimuth";
const char* const kGoToElevationKey = "antenna/goToElevation";
const char* const kOwnParkKey = "antenna/ownPark";
const char* const kParkAzimuthKey = "antenna/parkAzimuth";
const char* const kParkElevationKey = "antenna/parkElevation";
const char* const kAzimuthOffsetKey = "antenna/azimuthOffset";
const char* const kElevationOffsetKey = "antenna/elevationOffset";
// What the settings hold until the user chooses otherwise.
constexpr int kDefaultPort = 4533;  // the daemon's own
constexpr double kDefaultFollowStep = 0.1;
constexpr double kDefaultSendInterval = 1;
// How far ahead, and how finely, a followed source's path is planned.
constexpr double kPathHours = 12;
constexpr double kPathStepMinutes = 2;

double Separation(const RotatorLink::Pointing& a, const RotatorLink::Pointing& b) {
  return skyvane::Separation(a.azimuth, a.elevation, b.azimuth, b.elevation);
}

}  // namespace

std::optional<std::pair<double, double>> Form1::AskAzimuthElevation(const QString& title,
                                                                    const QString& choice,
                                                                    double azimuth,
                                                                    double elevation, bool* chosen,
                                                                    double lowest) {
  QDialog dialog(this);
  dialog.setWindowTitle(title);
  auto* form = new QFormLayout(&dialog);
  auto* box = chosen ? new QCheckBox(choice) : nullptr;
  if (box) {
    box->setChecked(*chosen);
    form->addRow(box);
  }
  auto number = [&](double value, double low, double high) {
    auto* spin = new QDoubleSpinBox;  // two decimals
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
  };
  // An offset is a small correction either way; a place is a bearing.
  auto* az = lowest < 0 ? number(azimuth, lowest, -lowest) : number(azimuth, 0, 360);
  auto* el = number(elevation, lowest < 0 ? lowest : -10, lowest < 0 ? -lowest : 90);
  az->setObjectName(QStringLiteral("azimuth"));
  el->setObjectName(QStringLiteral("elevation"));
  form->addRow(tr("Azimuth (degrees, north 0, east 90):"), az);
  form->addRow(tr("Elevation (degrees):"), el);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (box) *chosen = box->isChecked();
  return std::make_pair(az->value(), el->value());
}

void Form1::PointAntennaAt(double azimuth, double elevation) {
  {
    const QSignalBlocker quiet(follow_);
    follow_->setChecked(false);
  }
  QString why;
  antenna_note_ = antenna_.Point(azimuth, elevation, &why) ? QString() : why;
  ShowAntennaState();
}

double Form1::MinimumElevation() const {
  return QSettings().value(kMinElevationKey, 0.0).toDouble();
}

int Form1::MenuTarget() const {
  if (chart_.FoundRow > 0) return chart_.FoundRow;
  const PickCandidate found = FindNearestSource(chart_, float(pointer_.x()), float(pointer_.y()));
  return found.Row ? found.Row : target_row_;
}

QMenu* Form1::CreateAntennaMenu() {
  QMenu* menu = menu_bar_->addMenu(tr("&Antenna"));
  auto add = [&](const QString& text, const char* name, auto handler) {
    QAction* action = menu->addAction(text, this, handler);
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  add(tr("&Connect to Rotator..."), "actionConnectRotator", [this] {
    QSettings settings;
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Connect to Rotator"));
    auto* form = new QFormLayout(&dialog);
    auto* host = new QLineEdit(settings.value(kHostKey, QStringLiteral("localhost")).toString());
    auto* port = new QSpinBox;
    port->setRange(1, 65535);
    port->setValue(rotator_port_);
    form->addRow(tr("Host of the rotator daemon (rotctld):"), host);
    form->addRow(tr("Port:"), port);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() == QDialog::Accepted) {
      ConnectRotator(host->text().trimmed(), static_cast<quint16>(port->value()));
    }
  });
  reconnect_ = add(tr("&Reconnect"), "actionReconnect",
                   [this] { ConnectRotator(rotator_host_, rotator_port_); });
  add(tr("&Disconnect"), "actionDisconnect", [this] { antenna_.Disconnect(); });
  connect_at_start_ = add(tr("Connect at &Start-up"), "actionConnectAtStart",
                          [](bool on) { QSettings().setValue(kConnectAtStartKey, on); });
  connect_at_start_->setCheckable(true);
  connect_at_start_->setChecked(QSettings().value(kConnectAtStartKey, false).toBool());
  menu->addSeparator();
  add(tr("&Point at Source (P on the chart)"), "actionPoint",
      [this] { PointAntenna(MenuTarget(), false); });
  follow_ = add(tr("&Follow Source (F on the chart)"), "actionFollow", [this](bool on) {
    if (on) PointAntenna(MenuTarget(), true);
  });
  follow_->setCheckable(true);
  add(tr("S&top"), "actionStop", [this] {
    follow_->setChecked(false);
    antenna_.Stop();
  });
  add(tr("P&ark"), "actionPark", [this] {
    follow_->setChecked(false);
    QSettings settings;
    std::optional<std::pair<double, double>> own;
    if (settings.value(kOwnParkKey, false).toBool()) {
      own = std::make_pair(settings.value(kParkAzimuthKey, 0).toDouble(),
                           settings.value(kParkElevationKey, 0).toDouble());
    }
    QString why;
    antenna_note_ = antenna_.Park(&why, own) ? QString() : why;
    ShowAntennaState();
  });
  add(tr("&Go To Az/El..."), "actionGoTo", [this] {
    QSettings settings;
    const auto place =
        AskAzimuthElevation(tr("Go To Az/El"), {}, settings.value(kGoToAzimuthKey, 180).toDouble(),
                            settings.value(kGoToElevationKey, 45).toDouble());
    if (!place) return;
    settings.setValue(kGoToAzimuthKey, place->first);
    settings.setValue(kGoToElevationKey, place->second);
    PointAntennaAt(place->first, place->second);
  });
  menu->addSeparator();
  add(tr("&Minimum Elevation..."), "actionMinimumElevation", [this] {
    QSettings settings;
    bool ok = false;
    const double value = QInputDialog::getDouble(this, tr("Minimum Elevation"),
                                                 tr("Lowest elevation to point at (degrees):"),
                                                 MinimumElevation(), -10, 90, 1, &ok);
    if (!ok) return;
    settings.setValue(kMinElevationKey, value);
    FollowPlan();  // the plan's time above it
  });
  add(tr("Follow &Step..."), "actionFollowStep", [this] {
    QSettings settings;
    bool ok = false;
    const double value = QInputDialog::getDouble(
        this, tr("Follow Step"), tr("Send a new pointing when the source has moved by (degrees):"),
        settings.value(kFollowStepKey, kDefaultFollowStep).toDouble(), 0.01, 10, 2, &ok);
    if (ok) settings.setValue(kFollowStepKey, value);
  });
  add(tr("Park &Position..."), "actionParkPosition", [this] {
    QSettings settings;
    bool own = settings.value(kOwnParkKey, false).toBool();
    const auto place = AskAzimuthElevation(
        tr("Park Position"), tr("Park here rather than at the daemon's own park position"),
        settings.value(kParkAzimuthKey, 0).toDouble(),
        settings.value(kParkElevationKey, 0).toDouble(), &own);
    if (!place) return;
    settings.setValue(kOwnParkKey, own);
    settings.setValue(kParkAzimuthKey, place->first);
    settings.setValue(kParkElevationKey, place->second);
  });
  add(tr("Pointing &Offset..."), "actionPointingOffset", [this] {
    QSettings settings;
    const auto offset = AskAzimuthElevation(
        tr("Pointing Offset"), {}, settings.value(kAzimuthOffsetKey, 0).toDouble(),
        settings.value(kElevationOffsetKey, 0).toDouble(), nullptr, -30);
    if (!offset) return;
    settings.setValue(kAzimuthOffsetKey, offset->first);
    settings.setValue(kElevationOffsetKey, offset->second);
    antenna_.SetOffsets(offset->first, offset->second);
    RedrawAntenna();
  });
  add(tr("Send &Interval..."), "actionSendInterval", [this] {
    QSettings settings;
    bool ok = false;
    const double value = QInputDialog::getDouble(
        this, tr("Send Interval"),
        tr("While following, send at most one pointing every (seconds):"),
        settings.value(kSendIntervalKey, kDefaultSendInterval).toDouble(), 0.1, 60, 1, &ok);
    if (ok) settings.setValue(kSendIntervalKey, value);
  });

  antenna_status_ = new QLabel(menu_bar_);
  antenna_status_->setObjectName(QStringLiteral("AntennaStatus"));
  follow_later_ = new QTimer(this);
  follow_later_->setSingleShot(true);
  connect(follow_later_, &QTimer::timeout, this, [this] { FollowTarget(); });
  {
    // A daemon used before can be reached again after a restart.
    QSettings settings;
    antenna_.SetOffsets(settings.value(kAzimuthOffsetKey, 0).toDouble(),
                        settings.value(kElevationOffsetKey, 0).toDouble());
    rotator_host_ = settings.value(kHostKey).toString();
    rotator_port_ = static_cast<quint16>(settings.value(kPortKey, kDefaultPort).toUInt());
  }
  antenna_.Changed = [this] {
    // Following belongs to the connection: it ends with it, and says so.
    const auto state = antenna_.state();
    if (follow_->isChecked() && state != RotatorLink::State::kConnected) {
      const QSignalBlocker quiet(follow_);
      follow_->setChecked(false);
      antenna_note_ = state == RotatorLink::State::kDisconnected
                          ? tr("following ended")
                          : tr("following ended with the link");
    }
    ShowAntennaState();
    RedrawAntenna();
  };

  // P and F on the chart choose the source under the pointer; a right click
  // over a source offers the same. The design's own keys and clicks stay.
  const auto key_down = Picture1->KeyDown;
  Picture1->KeyDown = [this, key_down](int key, Qt::KeyboardModifiers modifiers) {
    key_down(key, modifiers);
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
    if (key == Qt::Key_S || key == Qt::Key_Escape) {
      findChild<QAction*>(QStringLiteral("actionStop"))->trigger();
      return;
    }
    if (key != Qt::Key_P && key != Qt::Key_F) return;
    const PickCandidate found = FindNearestSource(chart_, float(pointer_.x()), float(pointer_.y()));
    const int row = found.Row ? found.Row : chart_.FoundRow;
    if (row) PointAntenna(row, key == Qt::Key_F);
  };
  const auto mouse_move = Picture1->MouseMove;
  Picture1->MouseMove = [this, mouse_move](float x, float y) {
    pointer_ = QPointF(x, y);
    mouse_move(x, y);
  };
  Picture1->ContextMenu = [this](QPoint at) { ShowChartMenu(at); };
  return menu;
}

void Form1::ShowChartMenu(QPoint at) {
  const PickCandidate found = FindNearestSource(chart_, float(at.x()), float(at.y()));
  if (!found.Row) return;
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("ChartMenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QString name = ReadoutName(table_, found.Row);
  const int row = found.Row;
  menu->addAction(tr("Point Antenna at %1").arg(name), this,
                  [this, row] { PointAntenna(row, false); })
      ->setObjectName(QStringLiteral("actionPointHere"));
  menu->addAction(tr("Follow %1 with Antenna").arg(name), this,
                  [this, row] { PointAntenna(row, true); })
      ->setObjectName(QStringLiteral("actionFollowHere"));
  menu->popup(Picture1->mapToGlobal(at));
}

void Form1::ConnectRotator(const QString& host, quint16 port) {
  rotator_host_ = host;
  rotator_port_ = port;
  QSettings settings;
  settings.setValue(kHostKey, host);
  settings.setValue(kPortKey, port);
  antenna_note_.clear();
  antenna_.Connect(host, port);
}

void Form1::StartAntenna() {
  if (connect_at_start_->isChecked() && !rotator_host_.isEmpty()) {
    ConnectRotator(rotator_host_, rotator_port_);
  }
}

std::vector<double> Form1::TargetPath(int row) const {
  const double minimum = MinimumElevation();
  const auto& place = positions_of_date_->isChecked() ? of_date_.RaDec()[row] : table_.RaDec[row];
  return BearingsAhead(place[0], place[1], sky_.Latitude, sky_.LocalSidereal, minimum,
                       kPathStepMinutes, kPathHours);
}

void Form1::PointAntenna(int row, bool follow) {
  if (row <= 0 || row >= table_.RowCount()) return;
  target_row_ = row;
  {
    const QSignalBlocker quiet(follow_);
    follow_->setChecked(follow);
  }
  const RotatorLink::Pointing target{CompassAzimuth(table_.AzAlt[row][0]), table_.AzAlt[row][1]};
  const double minimum = MinimumElevation();
  QString why;
  std::optional<int> unwind_at;
  std::optional<RotatorLink::Pointing> sent;  // nothing when it could not go out
  if (!(target.elevation >= minimum)) {
    why = tr("%1 is at %2°, below the minimum elevation of %3°")
              .arg(ReadoutName(table_, row))
              .arg(QString::number(target.elevation, 'f', 1))
              .arg(minimum);
  } else if (antenna_.Point(target.azimuth, target.elevation, &why,
                            follow ? TargetPath(row) : std::vector<double>(), &unwind_at)) {
    sent = target;
    since_sent_.start();
    why.clear();
    // No turn of the rotator holds the whole pass: say when it must go back round.
    if (unwind_at) {
      const QTime at = QTime(sky_.At.Hour, sky_.At.Minute, sky_.At.Second)
                           .addSecs(static_cast<int>(*unwind_at * kPathStepMinutes * 60));
      why = tr("the rotator must unwind at about %1").arg(at.toString(QStringLiteral("HH:mm")));
    }
  }
  last_sent_ = sent;
  antenna_note_ = why;
  ShowAntennaState();
}

void Form1::FollowTarget() {
  if (!follow_->isChecked()) return;  // the row is checked where it is pointed at
  const RotatorLink::Pointing now{CompassAzimuth(table_.AzAlt[target_row_][0]),
                                  table_.AzAlt[target_row_][1]};
  QSettings settings;
  const double step = settings.value(kFollowStepKey, kDefaultFollowStep).toDouble();
  const double interval = settings.value(kSendIntervalKey, kDefaultSendInterval).toDouble();
  // Fast play moves a source further than the step at every tick: the
  // daemon gets the newest place at most once an interval. With nothing
  // sent yet it goes out at once.
  if (last_sent_) {
    const long long wait = FollowWait(Separation(now, *last_sent_), step, since_sent_.elapsed(),
                                      static_cast<long long>(interval * 1000));
    if (wait < 0) return;
    if (wait > 0) {
      if (!follow_later_->isActive()) follow_later_->start(static_cast<int>(wait));
      return;
    }
  }
  PointAntenna(target_row_, true);
}

AntennaMark Form1::MarkOfAntenna() const {
  AntennaMark mark;
  const auto position = antenna_.Position();
  mark.azimuth = position->azimuth;
  mark.elevation = position->elevation;
  mark.beam_width = chart_.BeamWidth;  // 0 when no beam is drawn
  if (const auto target = antenna_.Target()) {
    mark.has_target = true;
    mark.target_azimuth = target->azimuth;
    mark.target_elevation = target->elevation;
    mark.on_target = Separation(*position, *target) <=
                     QSettings().value(kFollowStepKey, kDefaultFollowStep).toDouble();
  }
  return mark;
}

void Form1::DrawAntenna() {
  if (antenna_.Position()) DrawAntennaMark(chart_, MarkOfAntenna());
}

void Form1::RedrawAntenna() {
  const QRect changed =
      antenna_.Position() ? DrawAntennaMark(chart_, MarkOfAntenna()) : EraseAntennaMark(chart_);
  Picture1->update(changed);  // nothing when nothing changed
}

void Form1::ShowAntennaState() {
  const bool idle = antenna_.state() == RotatorLink::State::kDisconnected;
  QString text = idle ? QString() : antenna_.StateText();
  for (const QString& note : {antenna_note_, find_note_}) {
    if (!note.isEmpty()) text += (text.isEmpty() ? "" : "  ") + note;
  }
  // The status keeps to the room the menus leave; the whole of it is in its tip.
  const int used = menu_bar_->actionGeometry(menu_bar_->actions().last()).right();
  const int room = std::max(menu_bar_->width() - used - 24, 0);
  antenna_status_->setToolTip(text);
  antenna_status_->setText(antenna_status_->fontMetrics().elidedText(text, Qt::ElideRight, room));
  antenna_status_->setFixedWidth(std::min(
      antenna_status_->fontMetrics().horizontalAdvance(antenna_status_->text()) + 4, room));
  menu_bar_->setCornerWidget(antenna_status_);  // lays the bar out again for the new width
  reconnect_->setEnabled(!rotator_host_.isEmpty());
}

}  // namespace skyvane

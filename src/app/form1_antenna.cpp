// SPDX-License-Identifier: GPL-3.0-or-later
// The Antenna menu: a rotator daemon's antenna on the chart, pointed at a
// source once or following it as the sky turns.
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <cmath>

#include "app/form1.h"
#include "chart/annotations.h"
#include "interact/readout.h"

namespace skyvane {
namespace {

const char* const kHostKey = "antenna/host";
const char* const kPortKey = "antenna/port";
const char* const kMinElevationKey = "antenna/minimumElevation";
const char* const kFollowStepKey = "antenna/followStep";

// Angle on the sky between two pointings, degrees.
double Separation(const RotatorLink::Pointing& a, const RotatorLink::Pointing& b) {
  const double k = M_PI / 180;
  const double c =
      std::sin(a.elevation * k) * std::sin(b.elevation * k) +
      std::cos(a.elevation * k) * std::cos(b.elevation * k) * std::cos((a.azimuth - b.azimuth) * k);
  return std::acos(std::clamp(c, -1.0, 1.0)) / k;
}

}  // namespace

void Form1::CreateAntennaMenu() {
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
    port->setValue(settings.value(kPortKey, 4533).toInt());
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
  menu->addSeparator();
  add(tr("&Point at Source (P on the chart)"), "actionPoint", [this] {
    const PickCandidate found = FindNearestSource(chart_, float(pointer_.x()), float(pointer_.y()));
    PointAntenna(found.Row ? found.Row : target_row_, false);
  });
  follow_ = add(tr("&Follow Source (F on the chart)"), "actionFollow", [this](bool on) {
    if (!on) return;
    const PickCandidate found = FindNearestSource(chart_, float(pointer_.x()), float(pointer_.y()));
    PointAntenna(found.Row ? found.Row : target_row_, true);
  });
  follow_->setCheckable(true);
  add(tr("S&top"), "actionStop", [this] {
    follow_->setChecked(false);
    antenna_.Stop();
  });
  add(tr("P&ark"), "actionPark", [this] {
    follow_->setChecked(false);
    antenna_.Park();
  });
  menu->addSeparator();
  add(tr("&Minimum Elevation..."), "actionMinimumElevation", [this] {
    QSettings settings;
    bool ok = false;
    const double value = QInputDialog::getDouble(
        this, tr("Minimum Elevation"), tr("Lowest elevation to point at (degrees):"),
        settings.value(kMinElevationKey, 0.0).toDouble(), -10, 90, 1, &ok);
    if (ok) settings.setValue(kMinElevationKey, value);
  });
  add(tr("Follow &Step..."), "actionFollowStep", [this] {
    QSettings settings;
    bool ok = false;
    const double value = QInputDialog::getDouble(
        this, tr("Follow Step"), tr("Send a new pointing when the source has moved by (degrees):"),
        settings.value(kFollowStepKey, 0.1).toDouble(), 0.01, 10, 2, &ok);
    if (ok) settings.setValue(kFollowStepKey, value);
  });

  antenna_status_ = new QLabel(menu_bar_);
  antenna_status_->setObjectName(QStringLiteral("AntennaStatus"));
  menu_bar_->setCornerWidget(antenna_status_);
  antenna_.Changed = [this] {
    ShowAntennaState();
    DrawChart();
  };
  ShowAntennaState();

  // P and F on the chart choose the source under the pointer; a right click
  // over a source offers the same. The design's own keys and clicks stay.
  const auto key_down = Picture1->KeyDown;
  Picture1->KeyDown = [this, key_down](int key, Qt::KeyboardModifiers modifiers) {
    key_down(key, modifiers);
    if (key != Qt::Key_P && key != Qt::Key_F) return;
    const PickCandidate found = FindNearestSource(chart_, float(pointer_.x()), float(pointer_.y()));
    if (found.Row) PointAntenna(found.Row, key == Qt::Key_F);
  };
  const auto mouse_move = Picture1->MouseMove;
  Picture1->MouseMove = [this, mouse_move](float x, float y) {
    pointer_ = QPointF(x, y);
    mouse_move(x, y);
  };
  Picture1->ContextMenu = [this](QPoint at) { ShowChartMenu(at); };
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

void Form1::PointAntenna(int row, bool follow) {
  if (row <= 0 || row >= table_.RowCount()) return;
  target_row_ = row;
  last_sent_.reset();
  {
    const QSignalBlocker quiet(follow_);
    follow_->setChecked(follow);
  }
  const RotatorLink::Pointing target{CompassAzimuth(table_.AzAlt[row][0]), table_.AzAlt[row][1]};
  const double minimum = QSettings().value(kMinElevationKey, 0.0).toDouble();
  QString why;
  if (!(target.elevation >= minimum)) {
    why = tr("%1 is at %2°, below the minimum elevation of %3°")
              .arg(ReadoutName(table_, row))
              .arg(target.elevation, 0, 'f', 1)
              .arg(minimum);
  } else if (antenna_.Point(target.azimuth, target.elevation, &why)) {
    last_sent_ = target;
    why.clear();
  }
  antenna_note_ = why;
  ShowAntennaState();
}

void Form1::FollowTarget() {
  if (!follow_ || !follow_->isChecked() || target_row_ <= 0 || target_row_ >= table_.RowCount()) {
    return;
  }
  const RotatorLink::Pointing now{CompassAzimuth(table_.AzAlt[target_row_][0]),
                                  table_.AzAlt[target_row_][1]};
  const double step = QSettings().value(kFollowStepKey, 0.1).toDouble();
  if (!last_sent_ || Separation(now, *last_sent_) > step) PointAntenna(target_row_, true);
}

void Form1::DrawAntenna() {
  if (const auto position = antenna_.Position()) {
    DrawAntennaMark(chart_, position->azimuth, position->elevation);
  }
}

void Form1::ShowAntennaState() {
  const bool idle = antenna_.state() == RotatorLink::State::kDisconnected;
  QString text = idle ? QString() : antenna_.StateText();
  if (!antenna_note_.isEmpty()) text += (text.isEmpty() ? "" : "  ") + antenna_note_;
  antenna_status_->setText(text);
  antenna_status_->adjustSize();
  menu_bar_->setCornerWidget(antenna_status_);  // lays the bar out again for the new width
  reconnect_->setEnabled(!rotator_host_.isEmpty());
}

}  // namespace skyvane

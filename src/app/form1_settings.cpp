// SPDX-License-Identifier: GPL-3.0-or-later
// What the window remembers between runs: the observer's place and zone, the
// hour's form, the step unit, the play rate, the view and the window itself.
// Each is saved as it changes and read back at start through the same checks
// a typed value meets; anything else in the settings file leaves the
// design's value in place. The moment is never restored: the chart starts at
// the computer clock.
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <cmath>

#include "app/form1.h"
#include "time/zones.h"

namespace skyvane {
namespace {

// No typed place needs more; a longer text in the file is not the user's.
constexpr qsizetype kLongestField = 64;
// No screen is larger; a window bigger than that is not one the user left.
constexpr int kLargestWindow = 6000;

std::optional<QString> TextOf(const QVariant& value) {
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  const QString text = value.toString();
  if (text.size() > kLongestField) return std::nullopt;
  for (const QChar c : text) {
    if (c.category() == QChar::Other_Control) return std::nullopt;
  }
  return text;
}

std::optional<int> WholeIn(const QVariant& value, int lo, int hi) {
  bool ok = false;
  const int n = value.toInt(&ok);
  if (!ok || n < lo || n > hi) return std::nullopt;
  return n;
}

}  // namespace

void Form1::Save(const QString& key, const QVariant& value) {
  if (!remembering_) return;
  auto& saved = saved_[key];
  if (saved == value) return;
  saved = value;
  QSettings().setValue(key, value);
}

void Form1::RestoreClockForm() {
  const QString form = QSettings().value(QStringLiteral("clock/form")).toString();
  if (form == QLatin1String("24") || form == QLatin1String("12")) {
    clock_form_ = form == QLatin1String("24") ? kClock24 : kClockAm;
  }
}

void Form1::RestoreObserver() {
  QSettings settings;
  for (int i = 0; i < 2; ++i) {
    const char* key = i == 0 ? "observer/latitude" : "observer/longitude";
    if (const auto text = TextOf(settings.value(QLatin1String(key)))) Text2[i]->setText(*text);
  }
  if (const auto zone = TextOf(settings.value(QStringLiteral("observer/zone")))) {
    const int index = Combo1->findText(*zone, Qt::MatchExactly);
    if (index >= 0) Combo1->setCurrentIndex(index);
  }
  if (const auto unit = WholeIn(settings.value(QStringLiteral("time/stepUnit")), 0, 5)) {
    Combo2->setCurrentIndex(*unit);
  }
  const auto rate = WholeIn(settings.value(QStringLiteral("play/rate")), HScroll1->minimum(),
                            HScroll1->maximum());
  if (rate) HScroll1->setValue(*rate);
  const auto scope = WholeIn(settings.value(QStringLiteral("view/scopeElevation")),
                             VScroll1->minimum(), VScroll1->maximum());
  if (scope) {
    VScroll1->setValue(*scope);
    scope_restored_ = true;  // placed again once the chart has its size
  }
  bool ok = false;
  const double azimuth = settings.value(QStringLiteral("view/azimuth")).toDouble(&ok);
  if (ok && azimuth >= 0 && azimuth < 360) chart_.ViewAzimuth = azimuth;
  RestoreWindow(settings.value(QStringLiteral("window/place")).toString());
}

void Form1::SaveWindow() {
  if (isMinimized() || isMaximized() || isFullScreen()) return;
  Save(QStringLiteral("window/place"),
       QStringLiteral("%1,%2,%3,%4").arg(x()).arg(y()).arg(width()).arg(height()));
}

void Form1::RestoreWindow(const QString& place) {
  const QStringList parts = place.split(QLatin1Char(','));
  if (parts.size() != 4) return;
  int n[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    n[i] = parts[i].toInt(&ok);
    if (!ok) return;
  }
  // A size the window cannot take keeps the design's size and the centre of
  // the screen; a place on no screen keeps the centre alone.
  const QSize size(n[2], n[3]);
  const QSize largest =
      screen() ? screen()->availableVirtualSize() : QSize(kLargestWindow, kLargestWindow);
  if (size.width() < minimumWidth() || size.height() < minimumHeight() ||
      size.width() > std::min(largest.width(), kLargestWindow) ||
      size.height() > std::min(largest.height(), kLargestWindow)) {
    return;
  }
  resize(size);
  const QRect at(QPoint(n[0], n[1]), size);
  if (screen() && !screen()->availableVirtualGeometry().intersects(at)) return;
  move(at.topLeft());
}

void Form1::UseComputerZone(SettingsFields& fields) {
  const Moment m = ReadValidMoment(fields);
  const QDate date(static_cast<int>(m.Year), m.Month, static_cast<int>(m.Day));
  const std::optional<int> seconds = ComputerZoneSeconds(date, QTime(m.Hour, m.Minute, m.Second));
  if (!seconds) return;
  fields.ZoneSeconds = seconds;
  const int index = *seconds % 60 == 0 ? ZoneIndexOf(*seconds / 60) : -1;
  if (index < 0 || index == Combo1->currentIndex()) return;
  // The list follows the zone without a pass of its own: this is the pass.
  const QSignalBlocker quiet(Combo1);
  Combo1->setCurrentIndex(index);
  fields.ZoneIndex = index;
  FitFont(Combo1);
}

}  // namespace skyvane

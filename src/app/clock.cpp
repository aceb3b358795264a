// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clock.h"

namespace skyvane {

std::optional<int> ComputerZoneSeconds(const QDate& date, const QTime& time) {
  const QDateTime local(date, time, Qt::LocalTime);
  if (!local.isValid()) return std::nullopt;
  return local.offsetFromUtc();
}

QString TimeDesignator(const QTime& time, const QString& format) {
  QString trimmed = format.trimmed();
  // A time zone written after the time ("h:mm:ss AP t") is not part of the
  // clock time's text.
  while (trimmed.endsWith(QLatin1Char('t'))) trimmed.chop(1);
  trimmed = trimmed.trimmed();
  // A designator at the end of the format shows as AM or PM, whatever words
  // the language uses for them.
  if (trimmed.endsWith(QLatin1Char('a'), Qt::CaseInsensitive) ||
      trimmed.endsWith(QLatin1String("ap"), Qt::CaseInsensitive)) {
    return time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
  }
  return QLocale::c().toString(time, trimmed).right(2).toUpper();
}

}  // namespace skyvane

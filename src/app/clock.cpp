#include "app/clock.h"

namespace skyvane {

QString TimeDesignator(const QTime& time, const QString& format) {
  const QString trimmed = format.trimmed();
  // A designator at the end of the format shows as AM or PM, whatever words
  // the language uses for them.
  if (trimmed.endsWith(QLatin1Char('a'), Qt::CaseInsensitive) ||
      trimmed.endsWith(QLatin1String("ap"), Qt::CaseInsensitive)) {
    return time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
  }
  return QLocale::c().toString(time, trimmed).right(2).toUpper();
}

}  // namespace skyvane

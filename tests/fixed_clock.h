// A clock for tests: a fixed moment and chosen formats.
#pragma once

#include "app/clock.h"

namespace skyvane {

class FixedClock : public Clock {
 public:
  QDateTime now{QDate(2024, 3, 5), QTime(15, 7, 9)};
  QString format = QStringLiteral("h:mm:ss AP");
  QString separator = QStringLiteral(".");
  QLocale locale{QLocale::English, QLocale::UnitedStates};

  QDateTime Now() const override { return now; }
  QString TimeFormat() const override { return format; }
  QString DecimalSeparator() const override { return separator; }
  QLocale NumberLocale() const override { return locale; }
};

}  // namespace skyvane

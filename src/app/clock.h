// SPDX-License-Identifier: GPL-3.0-or-later
// The computer clock and the user's formats, behind an interface that tests
// replace with a fixed moment.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace skyvane {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
  // The user's time format, in QLocale's notation ("h:mm:ss AP", "HH:mm:ss").
  virtual QString TimeFormat() const = 0;
  // The user's decimal separator.
  virtual QString DecimalSeparator() const = 0;
  // The user's number format, for the readout.
  virtual QLocale NumberLocale() const = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
  QString TimeFormat() const override { return QLocale::system().timeFormat(QLocale::ShortFormat); }
  QString DecimalSeparator() const override { return QLocale::system().decimalPoint(); }
  QLocale NumberLocale() const override { return QLocale::system(); }
};

// The computer's own zone at the local civil moment `date` `time`, summer
// time included: seconds east of universal time; nothing for a date the
// calendar cannot hold.
std::optional<int> ComputerZoneSeconds(const QDate& date, const QTime& time);

// The last two characters of the time written in `format`, in upper case:
// "AM" or "PM" exactly when the format ends in an AM/PM designator.
QString TimeDesignator(const QTime& time, const QString& format);

}  // namespace skyvane

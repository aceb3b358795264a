// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/calendar.h"

#include <cmath>

#include "base/numbers.h"

namespace skyvane {

bool IsLeapYear(double year) {
  const double y = std::fabs(year);
  if (std::fmod(y, 4) != 0) return false;
  if (std::fmod(y, 100) != 0) return true;
  return std::fmod(y, 400) == 0;
}

int MonthLength(int month, double year) {
  int days = MonthDays[month];
  if (month == 2 && IsLeapYear(year)) ++days;
  return days;
}

int32_t JulianDayNumber(float year, int16_t month) {
  const int32_t a = (month - 14) / 12;
  // Formed in double, exact for every supported year, then taken to the
  // nearest whole number before the truncating division.
  const auto t1 = static_cast<int32_t>(RoundHalfEven((double{year} + 4800 + a) * 1461)) / 4;
  const auto t2 = static_cast<int16_t>((367 * (month - 2 - 12 * a)) / 12);
  const auto t3 = (3 * (static_cast<int32_t>(RoundHalfEven(double{year} + 4900 + a)) / 100)) / 4;
  return t1 + t2 - t3;
}

Moment MomentAfter(const Moment& from, double seconds) {
  Moment m = from;
  const double total = from.Hour * 3600.0 + from.Minute * 60 + from.Second + std::round(seconds);
  const double days = std::floor(total / 86400);
  const auto in_day = static_cast<int32_t>(total - days * 86400);
  m.Hour = in_day / 3600;
  m.Minute = in_day / 60 % 60;
  m.Second = in_day % 60;
  for (double d = days; d > 0; --d) {
    if (++m.Day > MonthLength(m.Month, m.Year)) {
      m.Day = 1;
      if (++m.Month > 12) m.Month = 1, ++m.Year;
    }
  }
  for (double d = days; d < 0; ++d) {
    if (--m.Day < 1) {
      if (--m.Month < 1) m.Month = 12, --m.Year;
      m.Day = MonthLength(m.Month, m.Year);
    }
  }
  return m;
}

}  // namespace skyvane

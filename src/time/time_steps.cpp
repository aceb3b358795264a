// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/time_steps.h"

#include <string>

#include "base/number_text.h"
#include "base/numbers.h"
#include "time/calendar.h"

namespace skyvane {
namespace {

// Month length for a lookup; false when the month has no entry.
bool LookUp(int32_t month, float year, int& days) {
  if (month < 0 || month > 12) return false;
  days = MonthLength(month, year);
  return true;
}

// A day before the 1st moves to the last day of the previous month. False
// when the month has no length to look up.
bool BorrowFromPreviousMonth(Moment& m) {
  if (!Fits16(m.Month - 1)) return false;
  --m.Month;
  if (m.Month >= 1) {
    int days = 0;
    if (!LookUp(m.Month, m.Year, days)) return false;
    m.Day = days;
  } else {
    m.Month = 12;
    m.Day = 31;
    m.Year -= 1;
  }
  return true;
}

// A day beyond the month's end moves to the 1st of the next month. False
// when the month has no length to look up; `moved` tells whether it moved.
bool CarryIntoNextMonth(Moment& m, bool& moved) {
  int days = 0;
  if (!LookUp(m.Month, m.Year, days)) return false;
  moved = m.Day > days;
  if (moved) {
    ++m.Month;
    m.Day = 1;
    if (m.Month > 12) {
      m.Month = 1;
      m.Year += 1;
    }
  }
  return true;
}

}  // namespace

TimeMove TrackStep(SettingsFields& fields, int unit, int d, std::string_view decimal_separator) {
  TimeMove move;
  Moment m;
  if (!ReadRoundedTime(fields.Time[2], m.Second) || !ReadRoundedTime(fields.Time[1], m.Minute) ||
      !ReadRoundedTime(fields.Time[0], m.Hour)) {
    return move;
  }
  m.Hour = TwentyFourHour(m.Hour, fields.ClockMode, false);
  if (!ReadStrictDate(fields, decimal_separator, m)) return move;

  switch (unit) {
    case kUnitSecond:
      m.Second += d;
      break;
    case kUnitMinute:
      m.Minute += d;
      break;
    case kUnitHour:
      m.Hour += d;
      break;
    case kUnitDay:
      m.Day += d;
      break;
    case kUnitMonth:
      m.Month += d;
      if (!InRange16(m)) return move;
      if (m.Month > 12) {
        m.Year += 1;
        m.Month = 1;
      }
      if (m.Month < 1) {
        m.Year -= 1;
        m.Month = 12;
      }
      break;
    case kUnitYear:
      m.Year += d;
  }

  // Every carry is checked at once: a 16-bit value that overflows on the
  // way must stop the step even if a later carry would bring it back.
  if (!InRange16(m)) return move;
  if (m.Second < 0) {
    m.Second = 59;
    --m.Minute;
  }
  if (m.Second > 59) {
    m.Second = 0;
    ++m.Minute;
  }
  if (!InRange16(m)) return move;
  if (m.Minute < 0) {
    m.Minute = 59;
    --m.Hour;
  }
  if (m.Minute > 59) {
    m.Minute = 0;
    ++m.Hour;
  }
  if (!InRange16(m)) return move;
  if (m.Hour < 0) {
    m.Hour = 23;
    m.Day -= 1;
  }
  if (m.Hour > 23) {
    m.Hour = 0;
    m.Day += 1;
  }
  if (m.Day < 1 && !BorrowFromPreviousMonth(m)) return move;
  // The month lookups accept only 0..12, so after the carry the month
  // always lies in 1..12.
  bool moved = false;
  if (!CarryIntoNextMonth(m, moved)) return move;
  if (!InRange16(m)) return move;

  if (fields.ClockMode != kClock24) {
    move.SelectClockMode = m.Hour >= 12 ? kClockPm : kClockAm;
    fields.ClockMode = move.SelectClockMode;
  }
  WriteMoment(m, fields);
  move.Applied = true;
  return move;
}

TimeMove PlayTick(SettingsFields& fields, int direction, int rate,
                  std::string_view decimal_separator) {
  TimeMove move;
  if (direction == 0) return move;
  Moment m;
  // The hour stays in the form the field shows.
  if (!ReadRoundedTime(fields.Time[1], m.Minute) || !ReadRoundedTime(fields.Time[0], m.Hour)) {
    return move;
  }
  m.Minute += rate * direction;
  if (!ReadStrictDate(fields, decimal_separator, m) || !InRange16(m)) return move;
  const bool twelve_hour = fields.ClockMode != kClock24;
  bool date_changed = false;
  if (direction == 1) {
    if (m.Minute > 59) {
      m.Minute -= 60;
      ++m.Hour;
      if (!InRange16(m)) return move;
      if (twelve_hour) {
        if (m.Hour > 12) m.Hour = 1;
        if (m.Hour == 12) {
          if (fields.ClockMode == kClockAm) {
            move.SelectClockMode = kClockPm;
          } else {
            move.SelectClockMode = kClockAm;
            m.Day += 1;
          }
        }
      } else if (m.Hour > 23) {
        m.Hour = 0;
        m.Day += 1;
      }
    }
    if (!CarryIntoNextMonth(m, date_changed)) return move;
  } else if (direction == -1) {
    if (m.Minute < 0) {
      m.Minute += 60;
      --m.Hour;
      if (!InRange16(m)) return move;
      if (twelve_hour) {
        if (m.Hour < 1) m.Hour = 12;
        if (m.Hour == 11) {
          if (fields.ClockMode == kClockAm) {
            move.SelectClockMode = kClockPm;
            m.Day -= 1;
          } else {
            move.SelectClockMode = kClockAm;
          }
        }
      } else if (m.Hour < 0) {
        m.Hour = 23;
        m.Day -= 1;
      }
    }
    if (m.Day < 1) {
      if (!BorrowFromPreviousMonth(m)) return move;
      date_changed = true;
    }
  } else {
    return move;
  }
  if (!InRange16(m)) return {};

  if (move.SelectClockMode >= 0) fields.ClockMode = move.SelectClockMode;
  if (date_changed) WriteDate(m, fields);
  fields.Time[1] = std::to_string(m.Minute);
  fields.Time[0] = std::to_string(m.Hour);
  fields.Date[1] = FormatShortest(m.Day);
  move.Applied = true;
  return move;
}

}  // namespace skyvane

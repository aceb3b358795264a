#include "interact/time_steps.h"

#include <cmath>
#include <limits>
#include <string>

#include "catalogue/number_text.h"
#include "sky/calendar.h"

namespace skyvane {
namespace {

// The working values of a step. Whole numbers are kept in 32 bits so that
// leaving the 16-bit range can be noticed instead of wrapping.
struct Moment {
  int32_t Hour = 0, Minute = 0, Second = 0, Month = 0;
  double Day = 0;
  float Year = 0;
};

bool ReadRounded(const std::string& text, int32_t& out) {
  const double value = RoundHalfEven(ParseLeadingNumber(text));
  if (!Fits16(value)) return false;
  out = static_cast<int32_t>(value);
  return true;
}

bool ReadDate(const SettingsFields& f, std::string_view separator, Moment& m) {
  double month, day, year;
  if (!ParseStrictNumber(f.Text4[0], separator, month) ||
      !ParseStrictNumber(f.Text4[1], separator, day) ||
      !ParseStrictNumber(f.Text4[2], separator, year)) {
    return false;
  }
  month = RoundHalfEven(month);
  if (!Fits16(month) || !std::isfinite(day)) return false;
  // A year beyond single precision's range has no value to step.
  if (!(std::fabs(year) <= std::numeric_limits<float>::max())) return false;
  m.Month = static_cast<int32_t>(month);
  m.Day = day;
  m.Year = static_cast<float>(year);
  return true;
}

bool InRange16(const Moment& m) {
  return Fits16(m.Hour) && Fits16(m.Minute) && Fits16(m.Second) && Fits16(m.Month) &&
         std::isfinite(m.Year);
}

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

void WriteDate(SettingsFields& f, const Moment& m) {
  f.Text4[0] = std::to_string(m.Month);
  f.Text4[1] = FormatShortest(m.Day);
  f.Text4[2] = FormatSingle(m.Year);
}

}  // namespace

TimeMove TrackStep(SettingsFields& fields, int unit, int index,
                   std::string_view decimal_separator) {
  TimeMove move;
  Moment m;
  if (!ReadRounded(fields.Text3[2], m.Second) || !ReadRounded(fields.Text3[1], m.Minute) ||
      !ReadRounded(fields.Text3[0], m.Hour)) {
    return move;
  }
  const bool twelve_hour = fields.Option1Index != kOption24;
  if (twelve_hour) {
    if (m.Hour == 12) m.Hour = 0;
    if (fields.Option1Index == kOptionPm) m.Hour += 12;
  }
  if (!ReadDate(fields, decimal_separator, m)) return move;

  const int d = 2 * index - 1;
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
      break;
    default:
      break;
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
  bool moved = false;
  if (!CarryIntoNextMonth(m, moved)) return move;
  if (m.Month < 1) {
    m.Month = 12;
    m.Year -= 1;
  }
  if (m.Month > 12) {
    m.Month = 1;
    m.Year += 1;
  }
  if (!InRange16(m)) return move;

  fields.Text3[2] = FormatTwoDigits(m.Second);
  fields.Text3[1] = FormatTwoDigits(m.Minute);
  if (twelve_hour) {
    move.SelectOption = m.Hour >= 12 ? kOptionPm : kOptionAm;
    fields.Option1Index = move.SelectOption;
    const int h = m.Hour % 12;
    fields.Text3[0] = std::to_string(h == 0 ? 12 : h);
  } else {
    fields.Text3[0] = std::to_string(m.Hour);
  }
  WriteDate(fields, m);
  move.Applied = true;
  return move;
}

TimeMove PlayTick(SettingsFields& fields, int direction, int rate,
                  std::string_view decimal_separator) {
  TimeMove move;
  if (direction == 0) return move;
  Moment m;
  if (!ReadRounded(fields.Text3[1], m.Minute) || !ReadRounded(fields.Text3[0], m.Hour)) {
    return move;
  }
  m.Minute += rate * direction;
  if (!ReadDate(fields, decimal_separator, m) || !InRange16(m)) return move;
  const bool twelve_hour = fields.Option1Index != kOption24;
  bool date_changed = false;
  if (direction == 1) {
    if (m.Minute > 59) {
      m.Minute -= 60;
      ++m.Hour;
      if (!InRange16(m)) return move;
      if (twelve_hour) {
        if (m.Hour > 12) m.Hour = 1;
        if (m.Hour == 12) {
          if (fields.Option1Index == kOptionAm) {
            move.SelectOption = kOptionPm;
          } else {
            move.SelectOption = kOptionAm;
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
          if (fields.Option1Index == kOptionAm) {
            move.SelectOption = kOptionPm;
            m.Day -= 1;
          } else {
            move.SelectOption = kOptionAm;
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

  if (move.SelectOption >= 0) fields.Option1Index = move.SelectOption;
  if (date_changed) WriteDate(fields, m);
  fields.Text3[1] = std::to_string(m.Minute);
  fields.Text3[0] = std::to_string(m.Hour);
  fields.Text4[1] = FormatShortest(m.Day);
  move.Applied = true;
  return move;
}

}  // namespace skyvane

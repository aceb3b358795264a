// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/moment.h"

#include <cmath>
#include <limits>

#include "base/number_text.h"
#include "base/numbers.h"
#include "time/calendar.h"

namespace skyvane {
namespace {

// A field's leading number rounded down, or nothing when that leaves 16 bits.
std::optional<int32_t> Floor16(const std::string& text) {
  const double value = std::floor(ParseLeadingNumber(text));
  if (!Fits16(value)) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t InRangeOr(std::optional<int32_t> value, int32_t lo, int32_t hi, int32_t fallback) {
  return value && *value >= lo && *value <= hi ? *value : fallback;
}

}  // namespace

int32_t TwentyFourHour(int32_t hour, int mode, bool past_noon_as_typed) {
  if (mode == kClock24) return hour;
  if (hour == 12) hour = 0;
  if (mode == kClockPm && !(past_noon_as_typed && hour > 12)) hour += 12;
  return hour;
}

std::string HourText(int32_t hour, int mode) {
  if (mode == kClock24) return std::to_string(hour);
  const int32_t h = hour % 12;
  return std::to_string(h == 0 ? 12 : h);
}

std::optional<std::string> ConvertHourText(const std::string& text, int from, int to) {
  const std::optional<int32_t> hour = Floor16(text);
  if (!hour) return std::nullopt;
  const bool twelve_from = from == kClockAm || from == kClockPm;
  const bool twelve_to = to == kClockAm || to == kClockPm;
  if (twelve_to && from == kClock24) return HourText(*hour, to);
  if (to == kClock24 && twelve_from) {
    const int32_t converted = TwentyFourHour(*hour, from, false);
    if (Fits16(converted)) return HourText(converted, kClock24);
  }
  return std::nullopt;
}

Moment ReadValidMoment(const SettingsFields& f) {
  Moment m;
  // The bounds come before the narrowing to single precision, which has no
  // value for a number as large as 1e300.
  double year = std::floor(ParseLeadingNumber(f.Date[2]));
  if (!(year >= kFirstYear)) year = kFirstYear;
  if (!(year <= kLastYear)) year = kLastYear;
  m.Year = static_cast<float>(year);

  std::optional<int32_t> hour = Floor16(f.Time[0]);
  if (hour) hour = TwentyFourHour(*hour, f.ClockMode, true);
  m.Second = InRangeOr(Floor16(f.Time[2]), 0, 59, 0);
  m.Minute = InRangeOr(Floor16(f.Time[1]), 0, 59, 0);
  m.Hour = InRangeOr(hour, 0, 23, 0);
  m.Month = InRangeOr(Floor16(f.Date[0]), 1, 12, 1);
  m.Day = std::floor(ParseLeadingNumber(f.Date[1]));
  if (!(m.Day >= 1 && m.Day <= MonthLength(m.Month, m.Year))) m.Day = 1;
  return m;
}

bool ReadRoundedTime(const std::string& text, int32_t& out) {
  const double value = RoundHalfEven(ParseLeadingNumber(text));
  if (!Fits16(value)) return false;
  out = static_cast<int32_t>(value);
  return true;
}

bool ReadStrictDate(const SettingsFields& f, std::string_view separator, Moment& m) {
  double month, day, year;
  if (!ParseStrictNumber(f.Date[0], separator, month) ||
      !ParseStrictNumber(f.Date[1], separator, day) ||
      !ParseStrictNumber(f.Date[2], separator, year)) {
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

void WriteMoment(const Moment& m, SettingsFields& f) {
  f.Time[2] = FormatTwoDigits(m.Second);
  f.Time[1] = FormatTwoDigits(m.Minute);
  f.Time[0] = HourText(m.Hour, f.ClockMode);
  WriteDate(m, f);
}

void WriteDate(const Moment& m, SettingsFields& f) {
  f.Date[0] = std::to_string(m.Month);
  f.Date[1] = FormatShortest(m.Day);
  f.Date[2] = FormatSingle(m.Year);
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// The observer's place and moment as the settings fields hold them, and the
// one model of the moment that the pass, tracking steps, fast play and the
// clock-mode choice read from those fields and write back into them.
//
// The fields stay the only record of the moment: a Moment is built from
// them, changed and written back, never kept from one pass to the next.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skyvane {

// How the hour field is read.
inline constexpr int kClockAm = 0;
inline constexpr int kClockPm = 1;
inline constexpr int kClock24 = 2;

// The settings fields as text.
struct SettingsFields {
  std::string Latitude, Longitude;  // decimal degrees, north and east positive
  int ZoneIndex = 7;                // time-zone list index (time/zones.h); -1 none
  // The zone's offset from universal time in seconds, east positive, when it
  // comes from the computer's own zone rules rather than the list.
  std::optional<int> ZoneSeconds;
  std::array<std::string, 3> Date;  // month, day, year
  std::array<std::string, 3> Time;  // hour, minute, second
  int ClockMode = -1;               // kClockAm, kClockPm, kClock24; -1 before the first choice
};

// A moment of the civil calendar. Whole numbers are kept in 32 bits so that a
// value leaving the fields' 16-bit range is noticed instead of wrapping.
struct Moment {
  int32_t Month = 1;
  double Day = 1;  // may hold a fraction typed into the field
  float Year = 0;
  int32_t Hour = 0;  // 24-hour form
  int32_t Minute = 0, Second = 0;
};

// The years for which the day arithmetic stays within its 32-bit intermediates.
inline constexpr float kFirstYear = -1474000;
inline constexpr float kLastYear = 1465000;

// The 24-hour form of an hour read in `mode`. Outside "24", 12 is the first
// hour of the half day and "PM" adds twelve hours. With `past_noon_as_typed`
// (the pass) an hour above 12 under "PM" is taken as a 24-hour hour; a step
// adds the twelve hours to it all the same and carries into the next day.
int32_t TwentyFourHour(int32_t hour, int mode, bool past_noon_as_typed);

// The hour field's text of a 24-hour `hour`: "1".."12" outside "24", the hour
// itself in "24".
std::string HourText(int32_t hour, int mode);

// The text of the hour field after the clock mode changes from `from` to
// `to`, or nothing when the text stays as it is.
std::optional<std::string> ConvertHourText(const std::string& text, int from, int to);

// The pass's reading: each field's leading number rounded down, the clock
// mode applied, and every value out of range replaced (second, minute and
// hour by 0, month and day by 1); the year is held within its span.
Moment ReadValidMoment(const SettingsFields& fields);

// The reading of steps and ticks, which must not guess: a time field's
// leading number rounded half to even into 16 bits, and the date with strict
// conversions in the user's format (`separator` or the period). False when a
// value cannot be read; `out` may then be partly written.
bool ReadRoundedTime(const std::string& text, int32_t& out);
bool ReadStrictDate(const SettingsFields& fields, std::string_view separator, Moment& out);

// Whether every whole number still fits the fields' 16 bits and the year is
// a number.
bool InRange16(const Moment& m);

// The canonical forms: two-digit minute and second, the hour by the clock
// mode, the month, the day in its shortest form, the year in single
// precision.
void WriteMoment(const Moment& m, SettingsFields& fields);
void WriteDate(const Moment& m, SettingsFields& fields);

}  // namespace skyvane

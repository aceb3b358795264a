// SPDX-License-Identifier: GPL-3.0-or-later
// Calendar pieces shared by the pass, the tracking steps and fast play.
#pragma once

#include <array>
#include <cstdint>

#include "time/moment.h"

namespace skyvane {

// Month lengths, index 1..12; index 0 reads as a length of 0.
inline constexpr std::array<int16_t, 13> MonthDays = {0,  31, 28, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};

// Gregorian leap years: divisible by 4, centuries only when divisible by 400.
// Year 0 is a leap year. `year` holds a whole number.
bool IsLeapYear(double year);

// Days in `month` of `year`: the table's value, with February's leap day
// added here and nowhere else. `month` must lie in 0..12.
int MonthLength(int month, double year);

// Julian day number of a civil date, with the truncating integer divisions of
// the classic integer formula. `year` must lie in kFirstYear..kLastYear (time/moment.h) and
// `month` in 1..12.
int32_t JulianDayNumber(float year, int16_t month);

// The moment `seconds` (rounded to whole seconds, a few days at most)
// after `from`, whose
// fields hold whole, valid values, carried through the calendar.
Moment MomentAfter(const Moment& from, double seconds);

}  // namespace skyvane

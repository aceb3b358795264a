// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the moment held in the settings fields: tracking steps and the
// ticks of fast play.
#pragma once

#include <string_view>

#include "time/moment.h"

namespace skyvane {

struct TimeMove {
  // False when the fields could not be read or a value would leave its
  // range; the fields are then untouched.
  bool Applied = false;
  // Clock mode to choose (kClockAm, kClockPm) before the fields are shown,
  // or -1 for none.
  int SelectClockMode = -1;
};

// Step units of the list: "Sec.", "Min.", "Hr.", "Day", "Mo.", "Yr.".
inline constexpr int kUnitSecond = 0, kUnitMinute = 1, kUnitHour = 2, kUnitDay = 3, kUnitMonth = 4,
                     kUnitYear = 5;

// One tracking step of one `unit`: `direction` -1 back, 1 forwards.
// `decimal_separator` is the user's regional one, for the date fields.
TimeMove TrackStep(SettingsFields& fields, int unit, int direction,
                   std::string_view decimal_separator);

// One tick of fast play: `direction` 1 forwards, -1 backwards (0 does
// nothing), by `rate` minutes.
TimeMove PlayTick(SettingsFields& fields, int direction, int rate,
                  std::string_view decimal_separator);

}  // namespace skyvane

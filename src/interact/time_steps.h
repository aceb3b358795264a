// Moving the moment held in the settings fields: tracking steps and the
// ticks of fast play.
#pragma once

#include <string_view>

#include "sky/sky_pass.h"

namespace skyvane {

struct TimeMove {
  // False when the fields could not be read or a value would leave its
  // range; the fields are then untouched.
  bool Applied = false;
  // Clock-mode option to choose (kOptionAm, kOptionPm) before the fields are
  // shown, or -1 for none.
  int SelectOption = -1;
};

// Step units of the list: "Sec.", "Min.", "Hr.", "Day", "Mo.", "Yr.".
inline constexpr int kUnitSecond = 0, kUnitMinute = 1, kUnitHour = 2, kUnitDay = 3, kUnitMonth = 4,
                     kUnitYear = 5;

// One tracking step: index 0 steps back, 1 forwards, by one `unit`.
// `decimal_separator` is the user's regional one, for the date fields.
TimeMove TrackStep(SettingsFields& fields, int unit, int index, std::string_view decimal_separator);

// One tick of fast play: `direction` 1 forwards, -1 backwards (0 does
// nothing), by `rate` minutes.
TimeMove PlayTick(SettingsFields& fields, int direction, int rate,
                  std::string_view decimal_separator);

}  // namespace skyvane

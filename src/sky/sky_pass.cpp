// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/sky_pass.h"

#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "sky/angles.h"
#include "sky/horizontal.h"
#include "sky/sun.h"
#include "time/calendar.h"
#include "time/zones.h"

namespace skyvane {

void ComputeSky(SettingsFields& fields, SkyState& sky, SourceTable& table,
                PositionsOfDate* of_date) {
  sky.Latitude = ParseLeadingNumber(fields.Latitude);
  sky.Longitude = ParseLeadingNumber(fields.Longitude);
  sky.ZoneHours =
      fields.ZoneSeconds ? *fields.ZoneSeconds / 3600.0 : ZoneMinutes(fields.ZoneIndex) / 60.0;
  const Moment m = ReadValidMoment(fields);
  WriteMoment(m, fields);
  sky.At = m;

  sky.UtHours = ((m.Minute / 60.0 + m.Hour) + m.Second / 3600.0) - sky.ZoneHours;
  sky.UtFromNoon = sky.UtHours - 12;
  const int32_t jdn = JulianDayNumber(m.Year, static_cast<int16_t>(m.Month));
  sky.DayNumber = ((jdn + m.Day - 32075) + sky.UtFromNoon / 24) - 2451545.0;
  sky.LocalSidereal =
      Wrap360(((sky.DayNumber * 0.985647 + 100.46) + sky.Longitude) + sky.UtHours * 15);

  const auto sun_row = static_cast<int>(RoundHalfEven(table.SunRow));
  const bool has_sun = sun_row >= 0 && sun_row < table.RowCount();
  if (has_sun) {
    const SunPosition sun = ComputeSunPosition(sky.DayNumber);
    table.RaDec[sun_row] = {sun.Ra, sun.Dec};
    table.UpdateDeclinationCache(sun_row);
  }

  const double lat = sky.Latitude * kDegree;
  const int rows =
      std::min<int>(static_cast<int16_t>(RoundHalfEven(table.LastRow)) + 1, table.RowCount());
  if (rows > 0 && of_date) {
    of_date->Update(table, 2451545.0 + sky.DayNumber);
    ToHorizontalRows(of_date->RaDec(), of_date->SinDec(), of_date->CosDec(), rows, std::sin(lat),
                     std::cos(lat), sky.LocalSidereal, table.AzAlt.data());
  } else if (rows > 0) {
    ToHorizontalRows(table.RaDec.data(), table.SinDec.data(), table.CosDec.data(), rows,
                     std::sin(lat), std::cos(lat), sky.LocalSidereal, table.AzAlt.data());
  }
  if (has_sun && sun_row < rows) sky.SunAltitude = table.AzAlt[sun_row][1];
}

}  // namespace skyvane

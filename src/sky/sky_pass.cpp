#include "sky/sky_pass.h"

#include <algorithm>
#include <cmath>

#include "catalogue/number_text.h"
#include "sky/angles.h"
#include "sky/calendar.h"
#include "sky/horizontal.h"
#include "sky/sun.h"

namespace skyvane {
namespace {

// floor of the field's number as a 16-bit value; `fits` tells whether it did.
int16_t Floor16(const std::string& text, bool& fits) {
  const double value = std::floor(ParseLeadingNumber(text));
  fits = Fits16(value);
  return fits ? static_cast<int16_t>(value) : 0;
}

void ReadAndValidate(SettingsFields& f, SkyState& sky) {
  sky.Latitude = ParseLeadingNumber(f.Text2[0]);
  sky.Longitude = ParseLeadingNumber(f.Text2[1]);
  sky.ZoneHours = static_cast<int16_t>(f.Combo1Index - 12);

  // A year outside the supported span (or infinite) is held at its nearest
  // end and written back, like the other fields' replacements.
  // The bounds are applied before the narrowing to single precision, which
  // has no value for a number as large as 1e300.
  double year = std::floor(ParseLeadingNumber(f.Text4[2]));
  if (!(year >= kFirstYear)) year = kFirstYear;
  if (!(year <= kLastYear)) year = kLastYear;
  sky.Year = static_cast<float>(year);

  bool month_fits, hour_fits, minute_fits, second_fits;
  sky.Month = Floor16(f.Text4[0], month_fits);
  sky.Day = std::floor(ParseLeadingNumber(f.Text4[1]));
  sky.Hour = Floor16(f.Text3[0], hour_fits);
  sky.Minute = Floor16(f.Text3[1], minute_fits);
  sky.Second = Floor16(f.Text3[2], second_fits);

  if (sky.Hour == 12 && f.Option1Index == kOptionAm) sky.Hour = 0;
  if (f.Option1Index == kOptionPm && sky.Hour < 12) sky.Hour += 12;

  if (!second_fits || sky.Second < 0 || sky.Second > 59) sky.Second = 0;
  if (!minute_fits || sky.Minute < 0 || sky.Minute > 59) sky.Minute = 0;
  if (!hour_fits || sky.Hour < 0 || sky.Hour > 23) sky.Hour = 0;
  if (!month_fits || sky.Month < 1 || sky.Month > 12) sky.Month = 1;
  if (!(sky.Day >= 1 && sky.Day <= MonthLength(sky.Month, sky.Year))) sky.Day = 1;

  f.Text3[2] = FormatTwoDigits(sky.Second);
  f.Text3[1] = FormatTwoDigits(sky.Minute);
  if (f.Option1Index != kOption24) {
    const int h = sky.Hour % 12;
    f.Text3[0] = std::to_string(h == 0 ? 12 : h);
  } else {
    f.Text3[0] = std::to_string(sky.Hour);
  }
  f.Text4[0] = std::to_string(sky.Month);
  f.Text4[1] = FormatShortest(sky.Day);
  f.Text4[2] = FormatSingle(sky.Year);
}

}  // namespace

void ComputeSky(SettingsFields& fields, SkyState& sky, SourceTable& table) {
  ReadAndValidate(fields, sky);

  sky.UtHours = ((sky.Minute / 60.0 + sky.Hour) + sky.Second / 3600.0) - sky.ZoneHours;
  sky.UtFromNoon = sky.UtHours - 12;
  const int32_t jdn = JulianDayNumber(sky.Year, sky.Month);
  sky.DayNumber = ((jdn + sky.Day - 32075) + sky.UtFromNoon / 24) - 2451545.0;
  sky.LocalSidereal =
      Wrap360(((sky.DayNumber * 0.985647 + 100.46) + sky.Longitude) + sky.UtHours * 15);

  const auto sun_row = static_cast<int>(RoundHalfEven(table.SunRow));
  if (sun_row >= 0 && sun_row < table.RowCount()) {
    const SunPosition sun = ComputeSunPosition(sky.DayNumber);
    table.RaDec[sun_row] = {sun.Ra, sun.Dec};
    table.UpdateDeclinationCache(sun_row);
  }

  const auto n = static_cast<int16_t>(RoundHalfEven(table.LastRow));
  const double lat = sky.Latitude * kDegree;
  const double sin_lat = std::sin(lat);
  const double cos_lat = std::cos(lat);
  const int rows = std::min<int>(n + 1, table.RowCount());
  if (rows > 0) {
    const Horizontal last =
        ToHorizontalRows(table.RaDec.data(), table.SinDec.data(), table.CosDec.data(), rows,
                         sin_lat, cos_lat, sky.LocalSidereal, table.AzAlt.data());
    sky.HourAngle = last.HourAngle;
    sky.Altitude = last.Altitude;
    sky.Azimuth = last.Azimuth;
  }
  sky.SourceIndex = static_cast<int16_t>(n + 1);
}

}  // namespace skyvane

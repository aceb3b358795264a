// The computing half of the chart update pass: from the settings fields'
// texts to the position of every row of the source table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "catalogue/source_table.h"

namespace skyvane {

// The settings fields as text, the only record of the observer's place and
// moment. Indexes follow the window's control arrays.
struct SettingsFields {
  std::array<std::string, 2> Text2;  // latitude, longitude
  int Combo1Index = 7;               // time-zone list index (-1: nothing chosen)
  std::array<std::string, 3> Text4;  // month, day, year
  std::array<std::string, 3> Text3;  // hour, minute, second
  int Option1Index = -1;             // clock mode chosen: 0 "AM", 1 "PM", 2 "24"
};

inline constexpr int kOptionAm = 0;
inline constexpr int kOptionPm = 1;
inline constexpr int kOption24 = 2;

// What the last pass computed.
struct SkyState {
  double Latitude = 0, Longitude = 0, ZoneHours = -5;
  float Year = 0;
  int16_t Month = 0, Hour = 0, Minute = 0, Second = 0;
  double Day = 0;
  double UtHours = 0, UtFromNoon = 0, DayNumber = 0, LocalSidereal = 0;
  double HourAngle = 0, Altitude = 0, Azimuth = 0;  // of the last row converted
  int16_t SourceIndex = 0;
};

// Reads and validates the fields, writes them back in canonical form and
// converts every row 0..LastRow (the Sun's included) into `table.AzAlt`.
void ComputeSky(SettingsFields& fields, SkyState& sky, SourceTable& table);

}  // namespace skyvane

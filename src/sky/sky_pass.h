// SPDX-License-Identifier: GPL-3.0-or-later
// The computing half of the chart update pass: from the settings fields'
// texts to the position of every row of the source table.
#pragma once

#include "catalogue/source_table.h"
#include "sky/positions_of_date.h"
#include "time/moment.h"

namespace skyvane {

// What the last pass computed.
struct SkyState {
  double Latitude = 0, Longitude = 0;  // degrees, north and east positive
  double ZoneHours = -5;               // hours east of universal time
  Moment At;                           // the validated moment, local time
  double UtHours = 0, UtFromNoon = 0;
  double DayNumber = 0;      // days since J2000.0, fraction included
  double LocalSidereal = 0;  // degrees, 0..360
  double SunAltitude = 0;    // degrees; the ground follows it
};

// Reads and validates the fields, writes them back in canonical form and
// converts every row 0..LastRow (the Sun's included) into `table.AzAlt`.
// With `of_date` the rows are taken at their places for the pass's moment
// instead of the catalogue's.
void ComputeSky(SettingsFields& fields, SkyState& sky, SourceTable& table,
                PositionsOfDate* of_date = nullptr);

}  // namespace skyvane

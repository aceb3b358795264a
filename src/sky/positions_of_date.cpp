// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/positions_of_date.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>
#include <limits>

#include "base/numbers.h"

namespace skyvane {

void PositionsOfDate::Prepare(const SourceTable& table) {
  const int rows = table.RowCount();
  const int sun = static_cast<int>(RoundHalfEven(table.SunRow));
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  j2000_.assign(rows, {kNaN, kNaN, kNaN});
  turned_for_ = kNaN;
  for (int r = 0; r < rows; ++r) {
    if (r == sun) continue;
    double ra = table.RaDec[r][0] * ERFA_DD2R, dec = table.RaDec[r][1] * ERFA_DD2R;
    if (!table.J2000[r]) eraFk45z(ra, dec, 1950.0, &ra, &dec);
    eraS2c(ra, dec, j2000_[r].data());
  }
}

void PositionsOfDate::Update(const SourceTable& table, double julian_date) {
  const int rows = table.RowCount();
  const int prepared = static_cast<int>(j2000_.size());
  // Within an hour the places move by less than a ten-thousandth of a
  // degree: passes that close together (the clock, slow play) share one
  // rotation, and only the rows copied from the table are refreshed.
  if (std::fabs(julian_date - turned_for_) < 1.0 / 24 && static_cast<int>(ra_dec_.size()) == rows) {
    for (int r = 0; r < rows; ++r) {
      if (r < prepared && !std::isnan(j2000_[r][0])) continue;
      ra_dec_[r] = table.RaDec[r];
      sin_dec_[r] = table.SinDec[r];
      cos_dec_[r] = table.CosDec[r];
    }
    return;
  }
  turned_for_ = julian_date;
  ra_dec_.resize(rows);
  sin_dec_.resize(rows);
  cos_dec_.resize(rows);
  double rnpb[3][3];
  eraPnm06a(ERFA_DJ00, julian_date - ERFA_DJ00, rnpb);
  for (int r = 0; r < rows; ++r) {
    const auto& v = r < prepared ? j2000_[r] : std::array<double, 3>{};
    if (r >= prepared || std::isnan(v[0])) {
      ra_dec_[r] = table.RaDec[r];
      sin_dec_[r] = table.SinDec[r];
      cos_dec_[r] = table.CosDec[r];
      continue;
    }
    const double x = rnpb[0][0] * v[0] + rnpb[0][1] * v[1] + rnpb[0][2] * v[2];
    const double y = rnpb[1][0] * v[0] + rnpb[1][1] * v[1] + rnpb[1][2] * v[2];
    const double z = rnpb[2][0] * v[0] + rnpb[2][1] * v[1] + rnpb[2][2] * v[2];
    // A unit vector: the sine of the declination is z itself.
    const double cos_dec = std::sqrt(x * x + y * y);
    double ra = std::atan2(y, x) / ERFA_DD2R;
    if (ra < 0) ra += 360;
    ra_dec_[r] = {ra, std::atan2(z, cos_dec) / ERFA_DD2R};
    sin_dec_[r] = z;
    cos_dec_[r] = cos_dec;
  }
}

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogue positions for the observing date: the catalogue's places (FK4,
// equinox B1950) converted once to FK5 J2000, then turned each pass to the
// true equator and equinox of the pass's moment.
#pragma once

#include <array>
#include <limits>
#include <vector>

#include "catalogue/source_table.h"

namespace skyvane {

class PositionsOfDate {
 public:
  // Takes every row but the Sun's to J2000: the catalogue format's B1950
  // places are converted (eraFk45z, epoch 1950), J2000 ones taken as they
  // are. A position that is not finite stays not finite.
  void Prepare(const SourceTable& table);

  // The right ascension and declination (degrees) of every row for the
  // moment `julian_date` (UT, taken as TT), with the sine and cosine of each
  // declination. The Sun's row, and rows added since Prepare, are copied
  // from the table as they stand. Moments less than an hour apart share
  // one turn of the catalogue rows.
  void Update(const SourceTable& table, double julian_date);

  const std::array<double, 2>* RaDec() const { return ra_dec_.data(); }
  const double* SinDec() const { return sin_dec_.data(); }
  const double* CosDec() const { return cos_dec_.data(); }

 private:
  std::vector<std::array<double, 3>> j2000_;  // unit vectors; NaN for the Sun's row
  std::vector<std::array<double, 2>> ra_dec_;
  std::vector<double> sin_dec_, cos_dec_;
  double turned_for_ = std::numeric_limits<double>::quiet_NaN();  // the Julian date the rows were
                                                                  // last turned to; NaN: never
};

}  // namespace skyvane

// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a row of the source table by what a user types: a name, a
// designation with or without its catalogue's prefix, a common name of the
// brightest sources, or a place in the sky.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/source_table.h"

namespace skyvane {

// A name reduced for matching: lower case, without blanks or underscores.
std::string MatchKey(std::string_view text);

// The rows whose name or designation match `query`, without regard to case,
// blanks or a leading catalogue prefix ("3C405", "3c 405", "4C +40.40",
// "+40.40"); a common name ("Cyg A", "Cas A") stands for its 3C number.
// Rows matching in full come first, then those that begin with the query.
// The Sun's row is found by "Sun".
std::vector<int> FindRows(const SourceTable& table, std::string_view query);

// A right ascension and declination typed as "12 30 49 +12 23 28",
// "12:30:49.2 -05:07:00", "12h30m49s +12d23m28s" (hours, then degrees) or
// "187.70 12.39" (decimal degrees): degrees, equinox J2000. Nothing when the
// text is not a place.
std::optional<std::array<double, 2>> ReadPlace(std::string_view text);

// The row nearest the J2000 place `ra_dec` within `radius` degrees (the
// catalogue's B1950 places taken to J2000 for the comparison), or 0.
int NearestRow(const SourceTable& table, const std::array<double, 2>& ra_dec, double radius);

// The texts completion offers: each row's name and designation, once each.
std::vector<std::string> CompletionTexts(const SourceTable& table);

}  // namespace skyvane
